// The records the library row's presenter builds and the row applies: its
// look from the theme and main colour (`Style`), and what it shows of a
// podcast of the library (`Data`). Plain values.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {

struct OVLibraryPodcastCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color podcastTitleTextColor;
        platform::graphics::Color downloadedTextColor;
        platform::graphics::Color lastEpisodeTextColor;
        platform::graphics::Color separatorColor;
        // Drawn in the tint colour (the main colour).
        std::optional<platform::graphics::Image> startNotificationButtonImage;
        std::optional<platform::graphics::Color> startNotificationButtonTintColor;
        // Drawn in its own colours.
        std::optional<platform::graphics::Image> stopNotificationButtonImage;
    };

    struct Data {
        std::optional<platform::core::URL> image;
        std::optional<std::string> podcastTitle;
        std::string downloadedText;
        std::string lastEpisodeText;
        bool startNotificationButtonIsHidden = true;
        bool stopNotificationButtonIsHidden = true;
    };
};

}  // namespace orvane
