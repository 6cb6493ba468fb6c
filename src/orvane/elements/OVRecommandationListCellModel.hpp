// The record the recommendation list's presenter builds from the theme and
// the list cell applies: its background, its header's text colour and the
// colour of the lines between its rows. Plain value.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVRecommandationListCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color headerTextColor;
        platform::graphics::Color separatorColor;
    };
};

}  // namespace orvane
