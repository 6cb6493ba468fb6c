// The time zone that dates are shown in: an Olson identifier
// ("Europe/Paris", "America/New_York", "UTC"). The current zone is the
// process's (TZ, else the system's) unless a host or a test sets one. Plain
// value; the current zone is safe to read and set from any thread.
#pragma once

#include <optional>
#include <string>

namespace platform::ui {

struct TimeZone {
    std::string identifier;

    // The zone set with `setCurrent`, else the process's.
    static TimeZone current();
    // None goes back to the process's zone.
    static void setCurrent(std::optional<TimeZone> zone);

    friend bool operator==(const TimeZone&, const TimeZone&) = default;
};

}  // namespace platform::ui
