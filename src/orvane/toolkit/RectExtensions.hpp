// Rectangle helpers of the toolkit. Any thread.
#pragma once

#include <cmath>

#include "platform/graphics/Geometry.hpp"

namespace orvane {

// The centre of `rect` in its own coordinate space: (|width| / 2,
// |height| / 2); the origin is not added (the blur views use it on bounds).
inline platform::graphics::Point center(const platform::graphics::Rect& rect) {
    return {std::abs(rect.size.width) / 2, std::abs(rect.size.height) / 2};
}

}  // namespace orvane
