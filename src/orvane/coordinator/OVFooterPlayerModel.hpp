// The records the footer player's interactor computes and the bar applies,
// one per input of the bar: its colours and button images (`Style`), the
// episode it shows (`Media`), which button shows and whether the equalizer
// moves (`AudioStatus`) and how far the progress bar is filled
// (`AudioPosition`). Plain values.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

struct OVFooterPlayerModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color progressTintColor;
        platform::graphics::Color trackTintColor;
        std::optional<platform::graphics::Image> playButtonImage;
        std::optional<platform::graphics::Image> pauseButtonImage;
        platform::graphics::Color episodeTextColor;
        platform::graphics::Color podcastTextColor;
    };
    struct Media {
        std::optional<platform::core::URL> image;
        platform::ui::AttributedString edpiode;
        std::optional<std::string> podcast;
    };
    struct AudioStatus {
        bool playButtonIsDisplayed;
        bool pauseButtonIsDisplayed;
        bool equalizerAnimationsIsPlaying;
    };
    struct AudioPosition {
        float progressValue;
    };
};

}  // namespace orvane
