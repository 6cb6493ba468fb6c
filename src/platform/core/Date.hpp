// Dates (seconds since 1970, as a double) and the date formats the component
// reads: the widget's ISO format "yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ"
// (en_US_POSIX, GMT; the zone is "Z" or "±HH:MM") and the day format
// "yyyy-MM-dd" read as midnight in the process's local time zone.
//
// `Date::now()` reads the main run loop's clock. Everything here is pure and
// thread-safe.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace platform::core {

struct Date {
    double timeIntervalSince1970 = 0;

    static Date now();
    Date addingTimeInterval(double seconds) const { return Date{timeIntervalSince1970 + seconds}; }
    double timeIntervalSince(Date other) const { return timeIntervalSince1970 - other.timeIntervalSince1970; }

    friend auto operator<=>(const Date&, const Date&) = default;
};

// Strict parse of "yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ": exactly three fraction
// digits and a zone are required; the calendar fields must be in range.
std::optional<Date> parseISO8601Full(std::string_view text);
// The same format, in GMT, ending with "Z".
std::string formatISO8601Full(Date date);

// "yyyy-MM-dd" as local midnight of that day; none for any other layout.
std::optional<Date> parseLocalDay(std::string_view text);

// Whole days from `date` to `now` in the local calendar (the day component of
// the difference); none when `date` is not earlier than `now`.
std::optional<long long> wholeDaysBetween(Date date, Date now);

}  // namespace platform::core
