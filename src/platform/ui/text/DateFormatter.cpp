#include "platform/ui/text/DateFormatter.hpp"

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <cmath>

#include <map>
#include <mutex>
#include <utility>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/NoDestructor.hpp"

namespace platform::ui {

namespace {

icu::UnicodeString unicodeOf(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::string utf8Of(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace

struct DateFormatter::Impl {
    std::unique_ptr<icu::SimpleDateFormat> format;
};

DateFormatter::DateFormatter()
    : locale_(Locale::current()), timeZone_(TimeZone::current()), impl_(std::make_unique<Impl>()) {}

DateFormatter::~DateFormatter() = default;

void DateFormatter::setLocale(Locale locale) {
    locale_ = std::move(locale);
    rebuild();
}

void DateFormatter::setTimeZone(TimeZone zone) {
    timeZone_ = std::move(zone);
    rebuild();
}

void DateFormatter::setDateFormat(std::string pattern) {
    pattern_ = std::move(pattern);
    rebuild();
}

void DateFormatter::setLocalizedDateFormatFromTemplate(std::string_view skeleton) {
    pattern_ = bestPattern(skeleton, locale_);
    rebuild();
}

std::string DateFormatter::bestPattern(std::string_view skeleton, const Locale& locale) {
    if (skeleton.empty()) return {};
    // Making ICU's pattern generator for a locale costs hundreds of
    // microseconds, and rows make a formatter each time they are handed out:
    // the answers are kept by locale and skeleton (a handful in practice).
    struct Kept {
        std::mutex mutex;
        std::map<std::pair<std::string, std::string>, std::string> patterns;
    };
    static core::NoDestructor<Kept> kept;
    const auto key = std::make_pair(locale.identifier, std::string(skeleton));
    {
        std::lock_guard lock(kept->mutex);
        if (auto it = kept->patterns.find(key); it != kept->patterns.end()) return it->second;
    }
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icu::Locale(locale.identifier.c_str()), status));
    if (U_FAILURE(status) || !generator) {
        core::debugPrint("DateFormatter: no patterns for the locale \"" + locale.identifier + "\"");
        return {};
    }
    const icu::UnicodeString pattern = generator->getBestPattern(unicodeOf(skeleton), status);
    if (U_FAILURE(status)) {
        core::debugPrint("DateFormatter: no pattern for the skeleton \"" + std::string(skeleton) + "\"");
        return {};
    }
    std::string found = utf8Of(pattern);
    std::lock_guard lock(kept->mutex);
    kept->patterns.emplace(key, found);
    return found;
}

void DateFormatter::rebuild() {
    impl_->format.reset();
    if (pattern_.empty()) return;
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(unicodeOf(pattern_), icu::Locale(locale_.identifier.c_str()),
                                                          status);
    if (U_FAILURE(status)) {
        core::debugPrint("DateFormatter: the pattern \"" + pattern_ + "\" is refused");
        return;
    }
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(unicodeOf(timeZone_.identifier)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        core::debugPrint("DateFormatter: unknown time zone \"" + timeZone_.identifier + "\"; dates are shown in GMT");
        zone.reset(icu::TimeZone::getGMT()->clone());
    }
    format->adoptTimeZone(zone.release());
    impl_->format = std::move(format);
}

std::string DateFormatter::string(core::Date date) const {
    if (!impl_->format || !std::isfinite(date.timeIntervalSince1970)) return {};
    icu::UnicodeString text;
    impl_->format->format(static_cast<UDate>(date.timeIntervalSince1970 * 1000.0), text);
    return utf8Of(text);
}

}  // namespace platform::ui
