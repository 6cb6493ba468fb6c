// The host application's configuration of the component: its service key,
// an optional default artwork and a chip position. Built by the host and
// handed to the facade. Plain value.
#pragma once

#include "platform/graphics/Image.hpp"

#include <optional>
#include <string>

namespace orvane {

struct OVConfigurations {
    struct Point {
        double x = 0;
        double y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    std::string apiKey;
    std::optional<platform::graphics::Image> defaultImage;
    std::optional<Point> chipPosition;

    // Without an image, takes the toolkit's default image of the moment.
    OVConfigurations(std::string apiKey, std::optional<platform::graphics::Image> defaultImage, Point chipPosition);
};

}  // namespace orvane
