// The record the library list's presenter builds from the theme and the list
// cell applies: its background. Plain value.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVLibraryPodcastsListCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
    };
};

}  // namespace orvane
