#include "orvane/toolkit/OVConfigurations.hpp"

#include "orvane/toolkit/ImageExtensions.hpp"

namespace orvane {

OVConfigurations::OVConfigurations(std::string apiKey, std::optional<platform::graphics::Image> defaultImage,
                                   Point chipPosition)
    : apiKey(std::move(apiKey)),
      defaultImage(defaultImage ? std::move(defaultImage) : orvane::defaultImage()),
      chipPosition(chipPosition) {}

}  // namespace orvane
