// The records the episode-play element's interactor hands its cell: the
// colours of a theme, and which of the play button and the playing label
// shows, with the button's title. Plain values; main thread.
#pragma once

#include <optional>
#include <string>

#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVEpisodePlayCellModel {
    struct Style {
        platform::graphics::Color playButtonColor;
        platform::graphics::Color infoLabelTextColor;
        platform::graphics::Color infoLabelBorderColor;
    };
    struct Status {
        bool playButtonIsHidden = false;
        bool infoLabelIsHidden = true;
        std::optional<std::string> playButtonText;
        friend bool operator==(const Status&, const Status&) = default;
    };
};

}  // namespace orvane
