// The record the discover grid's presenter builds from the theme and the
// grid cell applies: its top line's colour, its background and its header's
// text colour. Plain value.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVDiscoverRecommendationsCellInputModel {
    struct Style {
        platform::graphics::Color separatorColor;
        platform::graphics::Color backgroundColor;
        platform::graphics::Color headerTextColor;
    };
};

}  // namespace orvane
