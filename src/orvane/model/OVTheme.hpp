// The two looks of the interface, light and dark (raw texts "light",
// "dark"). The colours, fonts and images of each come with the view toolkit.
#pragma once

#include "orvane/model/RawEnum.hpp"

#include <array>
#include <string_view>
#include <utility>

namespace orvane {

enum class OVTheme { light, dark };

template <>
struct EnumTraits<OVTheme> {
    static constexpr std::array<std::pair<OVTheme, std::string_view>, 2> table{{
        {OVTheme::light, "light"},
        {OVTheme::dark, "dark"},
    }};
};

}  // namespace orvane
