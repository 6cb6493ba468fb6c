// The records the headline carousel item's presenter builds and the item
// applies: its two text colours (`Style`) and what it shows of a podcast
// (`Data`). Plain values.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVRecommendationHeadlinesPodcastCellModel {
    struct Style {
        platform::graphics::Color podcastTextColor;
        platform::graphics::Color editorTextColor;
    };
    struct Data {
        std::optional<platform::core::URL> image;
        std::optional<std::string> podcast;
        std::optional<std::string> editor;
    };
};

}  // namespace orvane
