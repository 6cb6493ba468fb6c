// The service's REST base address: every request goes to it followed by a
// path. Plain value; thread-safe.
#pragma once

#include <array>
#include <string_view>
#include <utility>

#include "orvane/model/RawEnum.hpp"

namespace orvane {

enum class OVRestConstants { baseURL };

template <>
struct EnumTraits<OVRestConstants> {
    static constexpr std::array<std::pair<OVRestConstants, std::string_view>, 1> table{{
        {OVRestConstants::baseURL, "https://api.orvane.example/sites"},
    }};
};

}  // namespace orvane
