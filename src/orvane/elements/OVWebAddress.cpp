#include "orvane/elements/OVWebAddress.hpp"

#include <string>

#include "orvane/model/StringExtensions.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

bool isWebAddress(const platform::core::URL& address) {
    return (address.scheme() == "http" || address.scheme() == "https") && !address.host().empty();
}

bool isWebAddress(std::string_view address) {
    const auto parsed = url(address);
    return parsed && isWebAddress(*parsed);
}

std::optional<platform::core::URL> webURL(const std::optional<std::string>& address, std::string_view what) {
    if (!address) return std::nullopt;
    if (!isWebAddress(*address)) {
        platform::core::debugPrint("Refused " + std::string(what) + " address (only http and https are opened): " + *address);
        return std::nullopt;
    }
    return url(*address);
}

}  // namespace orvane
