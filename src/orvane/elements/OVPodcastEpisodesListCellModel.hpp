// The podcast episodes list's sections and the style record its presenter
// gives the list cell. Plain values; main thread only.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane {

// The inner table's sections, by index: the episodes the listener saved,
// then the podcast's other episodes.
enum class OVPodcastEpisodesListSection { savedEpisodes = 0, otherEpisodes = 1 };

struct OVPodcastEpisodesListCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color headerTextColor;
        platform::graphics::Color separatorColor;
    };
};

}  // namespace orvane
