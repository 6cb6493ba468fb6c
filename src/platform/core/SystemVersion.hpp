// The version of the platform the component believes it runs on. Some
// behaviour depends on it (now-playing elapsed time, the change-position
// command). Defaults to the newest behaviour; tests and hosts may set an older
// version. Thread-safe.
#pragma once

#include <compare>

namespace platform::core {

struct SystemVersion {
    int major = 17;
    int minor = 0;

    static SystemVersion current();
    static void setCurrent(SystemVersion version);
    // True when the current version is `major.minor` or later.
    static bool isAtLeast(int major, int minor = 0);

    friend auto operator<=>(const SystemVersion&, const SystemVersion&) = default;
};

}  // namespace platform::core
