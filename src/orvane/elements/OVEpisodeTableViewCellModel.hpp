// The records an episode row's presenter builds and the row applies, one per
// input: its colours (`Style`), what it shows of the episode (`Data`),
// whether it is the current episode (`CurrentTrack`), whether its equalizer
// moves (`AudioStatus`), the width of the save area (`AuxiliaryView`),
// and whether the save button shows (`Save`). Plain values.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

struct OVEpisodeTableViewCellModel {
    struct Style {
        platform::graphics::Color dateTextColor;
        platform::graphics::Color equalizerAnimationColor;
        platform::graphics::Color spinAnimationColor;
        platform::graphics::Color episodeTextColor;
        platform::graphics::Color podcastTextColor;
        platform::graphics::Color detailsButtonTextColor;
        platform::graphics::Color suscribeButtonTintColor;
    };
    struct Data {
        std::string date;
        std::optional<platform::core::URL> image;
        platform::ui::AttributedString episode;
        std::optional<std::string> podcast;
    };
    struct CurrentTrack {
        bool imageOverlayIsHidden;
        bool equalizerAnimationViewIsHidden;
    };
    struct AudioStatus {
        bool equalizerAnimationsIsPlaying;
    };
    struct AuxiliaryView {
        double auxiliaryViewWidth;
    };
    struct Save {
        bool saveButtonIsHidden;
    };
};

}  // namespace orvane
