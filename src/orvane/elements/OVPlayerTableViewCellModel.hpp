// The view models of the player element, computed by its presenter and
// applied by the cell: the looks, the episode shown, the position (labels
// and played fraction) and whether the position may be changed. Plain values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orvane/model/OVTheme.hpp"
#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVPlayerTableViewCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color mainColor;
        platform::graphics::Color episodeTextColor;
        platform::graphics::Color podcastTextColor;
        platform::graphics::Color trackLabelColor;
        platform::graphics::Color spinAnimationColor;
        std::vector<OVTheme::GradientStop> gradientColors;
        platform::graphics::Color maximumTrackTintColor;
    };
    struct Media {
        std::optional<platform::core::URL> image;  // the artwork
        std::optional<std::string> edpiode;         // the episode's title
        std::optional<std::string> podcast;         // the podcast line
    };
    struct PositionCanBeChanged {
        bool sliderPositionCanBeChanged = false;
    };
    struct AudioPosition {
        std::string leftLabelText;   // elapsed
        std::string rightLabelText;  // total duration
        float progressValue = 0;     // played fraction, 0 to 1
        friend bool operator==(const AudioPosition&, const AudioPosition&) = default;
    };
};

}  // namespace orvane
