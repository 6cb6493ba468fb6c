// The view models of the content identity element: what its interactor
// computes and its cell applies. Plain values; main thread, as the element.
#pragma once

#include <optional>
#include <string>

#include "platform/core/URL.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVContentIdentityCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color mainColor;
        platform::graphics::Color podcastTextColor;  // the title
        platform::graphics::Color editorTextColor;   // the subtitle
    };
    struct ContentData {
        std::optional<platform::core::URL> image;  // an http or https address, or none
        std::optional<std::string> title;
        std::optional<std::string> subtitle;
    };
};

}  // namespace orvane
