// Date helpers of the content model: the widget's date format, day texts of
// the demo content and "days ago" of the library rows. Thread-safe.
#pragma once

#include "platform/core/Date.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The widget state's date format "yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ"
// (en_US_POSIX, ISO calendar, GMT): three fraction digits and a zone ("Z" or
// "+02:00") are required. One shared, immutable instance.
class ISO8601FullFormatter {
public:
    static constexpr std::string_view dateFormat = "yyyy-MM-dd'T'HH:mm:ss.SSSZZZZZ";
    std::optional<platform::core::Date> date(std::string_view from) const;
    std::string string(platform::core::Date from) const;
};

const ISO8601FullFormatter& iso8601Full();

// Midnight at the start of the day a "yyyy-MM-dd" text names, in the local
// time zone; none for any other layout.
std::optional<platform::core::Date> fromString(std::string_view text);

// Whole days from `date` to now (less than a day gives 0); none when the date
// is not earlier than now.
std::optional<std::int64_t> daysBeforeNow(platform::core::Date date);

}  // namespace orvane
