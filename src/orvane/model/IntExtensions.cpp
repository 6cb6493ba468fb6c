#include "orvane/model/IntExtensions.hpp"

namespace orvane {

namespace {
void appendTwoDigits(std::string& out, std::uint64_t value) {
    if (value <= 9) out += '0';
    out += std::to_string(value);
}
}  // namespace

std::string hoursMinutesSecondsString(std::int64_t seconds) {
    std::string out;
    // The magnitude in unsigned arithmetic: negating the most negative value
    // as a signed number would overflow.
    std::uint64_t magnitude = static_cast<std::uint64_t>(seconds);
    if (seconds < 0) {
        out += '-';
        magnitude = std::uint64_t{0} - magnitude;
    }
    const std::uint64_t hours = magnitude / 3600;
    const std::uint64_t minutes = (magnitude % 3600) / 60;
    const std::uint64_t secs = (magnitude % 3600) % 60;
    if (hours == 0) {
        out += std::to_string(minutes);
        out += ':';
    } else {
        out += std::to_string(hours);
        out += ':';
        appendTwoDigits(out, minutes);
        out += ':';
    }
    appendTwoDigits(out, secs);
    return out;
}

}  // namespace orvane
