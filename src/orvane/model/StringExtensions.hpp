// Text helpers: a text as an address, and a text as a key of the module's
// localized "Strings" table. Thread-safe.
#pragma once

#include "platform/core/URL.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The text as an address, or none when the address parser refuses it.
std::optional<platform::core::URL> url(std::string_view text);

// The localized text of the key in the module bundle's "Strings" table; the
// key itself when the table lacks it.
std::string localized(std::string_view key);

}  // namespace orvane
