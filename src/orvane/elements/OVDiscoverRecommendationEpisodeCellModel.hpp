// The records the discover grid item's presenter builds and the item
// applies: its text colours (`Style`), what it shows of an episode
// (`Data`), whether it shows the current episode (`CurrentTrack`) and
// whether its equalizer moves (`AudioStatus`). Plain values.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVDiscoverRecommendationEpisodeCellModel {
    struct Style {
        platform::graphics::Color epdisodeTextColor;
        platform::graphics::Color podcastTextColor;
    };
    struct Data {
        std::optional<platform::core::URL> image;
        std::optional<std::string> epdisode;
        std::optional<std::string> podcast;
    };
    struct CurrentTrack {
        bool imageOverlayIsHidden = true;
        bool equalizerAnimationViewIsHidden = true;
    };
    struct AudioStatus {
        bool equalizerAnimationsIsPlaying = false;
    };
};

}  // namespace orvane
