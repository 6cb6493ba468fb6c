// The JSON value type used for message bodies, user-info dictionaries and
// decoding throughout the platform layer and the component.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <vector>

namespace platform::core {

using Json = nlohmann::json;

// A block of bytes (file contents, network bodies, cache payloads).
using Data = std::vector<std::uint8_t>;

}  // namespace platform::core
