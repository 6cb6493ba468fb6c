// The view models of the transport buttons, computed by their presenter and
// applied by the view: the looks (themed images, spinner colour), what the
// player status shows, and whether the skip buttons take taps. Plain values.
#pragma once

#include <optional>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {

struct OVPlayerTrackButtonsModel {
    struct Style {
        std::optional<platform::graphics::Image> backwardButton;
        std::optional<platform::graphics::Image> playButtonImage;
        std::optional<platform::graphics::Image> pauseButtonImage;
        std::optional<platform::graphics::Image> forwardButton;
        platform::graphics::Color spinAnimationColor;
    };
    struct AudioStatus {
        bool playButtonIsDisplayed = false;
        bool pauseButtonIsDisplayed = false;
        bool spinAnimationViewIsRunning = false;
        bool spinAnimationViewIsDisplayed = false;
        friend bool operator==(const AudioStatus&, const AudioStatus&) = default;
    };
    struct PositionCanBeChanged {
        bool backwardButtonIsEnabled = false;
        bool forwardButtonIsEnabled = false;
    };
};

}  // namespace orvane
