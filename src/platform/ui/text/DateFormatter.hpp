// Shows dates as text, through ICU: by an explicit pattern ("dd MMMM yyyy",
// ICU's pattern letters) or by a skeleton of the fields wanted ("ddMMMM": day
// of the month and full month name), which becomes the pattern the locale
// prefers for those fields (ICU's date-time pattern generator, as the
// platform's localised format templates do). A formatter takes the current
// locale and time zone when made; both can be set. A skeleton or pattern ICU
// refuses leaves the formatter without a pattern, with a debug line, and it
// then gives empty text.
//
// Main thread, like the rest of the kit; one formatter is not to be shared
// between threads.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Date.hpp"
#include "platform/ui/text/Locale.hpp"
#include "platform/ui/text/TimeZone.hpp"

namespace platform::ui {

class DateFormatter {
public:
    DateFormatter();
    ~DateFormatter();
    DateFormatter(const DateFormatter&) = delete;
    DateFormatter& operator=(const DateFormatter&) = delete;

    const Locale& locale() const { return locale_; }
    // The pattern stays; a pattern made from a skeleton is not made again.
    void setLocale(Locale locale);
    const TimeZone& timeZone() const { return timeZone_; }
    // An identifier ICU does not know shows dates in GMT, with a debug line.
    void setTimeZone(TimeZone zone);

    const std::string& dateFormat() const { return pattern_; }
    void setDateFormat(std::string pattern);
    // The pattern the formatter's locale prefers for the fields of `skeleton`.
    void setLocalizedDateFormatFromTemplate(std::string_view skeleton);

    // The date in the pattern, locale and zone; empty without a pattern (or
    // for a date that is not finite).
    std::string string(core::Date date) const;

    // The pattern `locale` prefers for the fields of `skeleton`; empty when
    // ICU refuses the skeleton or the locale. Answers are kept by locale and
    // skeleton (thread-safe).
    static std::string bestPattern(std::string_view skeleton, const Locale& locale);

private:
    struct Impl;
    void rebuild();

    Locale locale_;
    TimeZone timeZone_;
    std::string pattern_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform::ui
