// The pages' shared static configuration: the arrow images of the buttons
// that lead back to the main page (the left one read by the discover page,
// the right one by the library page). The facade fills it when it is made.
// Main thread only.
#pragma once

#include <optional>

#include "platform/ui/Image.hpp"

namespace orvane {

class OVPage {
public:
    struct Config {
        std::optional<platform::ui::Image> navigationToMainPageLeftArrow;
        std::optional<platform::ui::Image> navigationToMainPageRightArrow;
    };
    // The one configuration of every page.
    static Config& config();
};

}  // namespace orvane
