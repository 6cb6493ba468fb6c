// Addresses that the header and description elements accept from remote
// data (description links, artwork): only http and https. Any other scheme
// (javascript:, file:, data:, app schemes...) is refused with one debug line,
// so nothing the widget or the network sends can make the component run a
// script, read a local file or hand a custom address to the system.
// Stateless; any thread.
#pragma once

#include <optional>
#include <string_view>

#include "platform/core/URL.hpp"

namespace orvane {

// Whether `address` is an absolute http or https address with a host (the
// scheme compared without regard to case).
bool isWebAddress(std::string_view address);
bool isWebAddress(const platform::core::URL& address);

// The address as a URL when it is a web address; none, with one debug line
// naming `what`, when it has another scheme or does not parse; none quietly
// when there is no address.
std::optional<platform::core::URL> webURL(const std::optional<std::string>& address, std::string_view what);

}  // namespace orvane
