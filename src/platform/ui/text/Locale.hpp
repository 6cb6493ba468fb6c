// The locale that text is formatted and cased for: an ICU locale identifier
// ("fr_FR", "en_US"). The current locale is the process's (from its
// environment, LANG and LC_ALL, as ICU reads it) unless a host or a test sets
// one. Also the locale-aware upper-casing of text (ICU's full case mapping:
// "ß" becomes "SS", Turkish "i" becomes "İ"). Plain value; the current
// locale is safe to read and set from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::ui {

struct Locale {
    std::string identifier;

    // The locale set with `setCurrent`, else the process's.
    static Locale current();
    // None goes back to the process's locale.
    static void setCurrent(std::optional<Locale> locale);

    friend bool operator==(const Locale&, const Locale&) = default;
};

// `text` (UTF-8) upper-cased by the rules of `locale`; text that is not
// valid UTF-8 is returned as it is.
std::string uppercased(std::string_view text, const Locale& locale = Locale::current());

}  // namespace platform::ui
