// Colours from hexadecimal texts as the widget gives them ("#1A2B3C").
// Pure; thread-safe.
#pragma once

#include "platform/graphics/Color.hpp"

#include <optional>
#include <string_view>

namespace orvane {

// None exactly when `text` is none. The text is trimmed of white space and
// line breaks, upper-cased and stripped of one leading "#"; exactly six
// hexadecimal digits give that colour, anything else grey 0x999999.
std::optional<platform::graphics::Color> colorFromHex(std::optional<std::string_view> text, double alpha = 1.0);

}  // namespace orvane
