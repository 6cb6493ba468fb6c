// The listener's device as the service sees it: an optional identifier, the
// platform and the advertising identifier (read from PlatformInfo when the
// record is made). Plain value, never decoded or encoded.
#pragma once

#include <optional>
#include <string>

namespace orvane {

struct OVUser {
    std::optional<std::string> identifier;
    std::string platform = "iOS";
    std::optional<std::string> advertiserId;

    // Identifier none, platform "iOS", the device's advertising identifier.
    OVUser();
    OVUser(std::optional<std::string> identifier, std::string platform, std::optional<std::string> advertiserId)
        : identifier(std::move(identifier)), platform(std::move(platform)), advertiserId(std::move(advertiserId)) {}
};

}  // namespace orvane
