#include "platform/ui/text/Locale.hpp"

#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <limits>

#include <mutex>

#include "platform/core/NoDestructor.hpp"

namespace platform::ui {

namespace {

struct Current {
    std::mutex mutex;
    std::optional<Locale> locale;
};

Current& current() {
    static core::NoDestructor<Current> c;
    return *c;
}

}  // namespace

Locale Locale::current() {
    {
        auto& c = ui::current();
        std::lock_guard lock(c.mutex);
        if (c.locale) return *c.locale;
    }
    return Locale{icu::Locale::getDefault().getName()};
}

void Locale::setCurrent(std::optional<Locale> locale) {
    auto& c = ui::current();
    std::lock_guard lock(c.mutex);
    c.locale = std::move(locale);
}

std::string uppercased(std::string_view text, const Locale& locale) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) return std::string(text);
    // Only valid UTF-8 is cased; ICU would replace what is not.
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::string(text);
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string upper;
    unicode.toUpper(icu::Locale(locale.identifier.c_str())).toUTF8String(upper);
    return upper;
}

}  // namespace platform::ui
