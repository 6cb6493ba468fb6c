// The record the headline carousel's presenter builds from the theme and
// the row cell applies: its background and its header's text colour.
// Plain value.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVRecommendationHeadlinesCellInputModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color headerTextColor;
    };
};

}  // namespace orvane
