#include "orvane/elements/OVWebAddress.hpp"

#include <algorithm>
#include <cctype>
#include <string>

#include "orvane/model/StringExtensions.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

namespace {

bool hasWebScheme(std::string_view address) {
    const auto colon = address.find(':');
    if (colon == std::string_view::npos) return false;
    std::string scheme(address.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return scheme == "http" || scheme == "https";
}

}  // namespace

bool isWebAddress(std::string_view address) {
    if (!hasWebScheme(address)) return false;
    const auto parsed = url(address);
    return parsed && !parsed->host().empty();
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
