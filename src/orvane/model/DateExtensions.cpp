#include "orvane/model/DateExtensions.hpp"

namespace orvane {

std::optional<platform::core::Date> ISO8601FullFormatter::date(std::string_view from) const {
    return platform::core::parseISO8601Full(from);
}

std::string ISO8601FullFormatter::string(platform::core::Date from) const {
    return platform::core::formatISO8601Full(from);
}

const ISO8601FullFormatter& iso8601Full() {
    static const ISO8601FullFormatter formatter;
    return formatter;
}

std::optional<platform::core::Date> fromString(std::string_view text) { return platform::core::parseLocalDay(text); }

std::optional<std::int64_t> daysBeforeNow(platform::core::Date date) {
    auto days = platform::core::wholeDaysBetween(date, platform::core::Date::now());
    if (!days) return std::nullopt;
    return static_cast<std::int64_t>(*days);
}

}  // namespace orvane
