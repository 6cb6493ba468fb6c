// Facts about the device that the host may set: the advertising identifier
// (its standard 36-character text form). Defaults to the all-zero identifier
// the platform gives when advertising tracking is not allowed. Thread-safe.
#pragma once

#include <string>

namespace platform::core {

class PlatformInfo {
public:
    static constexpr const char* zeroAdvertisingIdentifier = "00000000-0000-0000-0000-000000000000";

    static std::string advertisingIdentifier();
    static void setAdvertisingIdentifier(std::string identifier);
};

}  // namespace platform::core
