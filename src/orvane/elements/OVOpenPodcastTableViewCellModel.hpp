// The view models of the open podcast element: what its interactor computes
// and its cell applies. Plain values; main thread, as the element.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVOpenPodcastTableViewCellModel {
    struct Style {
        platform::graphics::Color headerTextColor;
        platform::graphics::Color podcastTextColor;
        platform::graphics::Color editorTextColor;
        platform::graphics::Color separatorColor;
    };
    struct Podcast {
        std::optional<platform::core::URL> image;  // an http or https address, or none
        std::optional<std::string> podcast;        // the podcast's name
        std::optional<std::string> editor;         // its owner
    };
};

}  // namespace orvane
