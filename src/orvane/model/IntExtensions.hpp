// A number of seconds as a clock time for the player's time labels:
// "0:05", "1:05", "59:59", "1:00:00", "-1:05". Pure; thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// Hours only from 3600 s on; minutes on two digits only when hours show;
// seconds always on two digits; a negative value is "-" and the text of its
// magnitude (the most negative value included).
std::string hoursMinutesSecondsString(std::int64_t seconds);

}  // namespace orvane
