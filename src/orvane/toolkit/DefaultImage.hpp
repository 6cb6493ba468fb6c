// The placeholder artwork: made on first use from the module bundle's image
// "OrvaneDefaultImage" (none when the bundle lacks it); the facade replaces
// it with the host configuration's image. Readable and writable from any
// thread.
#pragma once

#include "platform/ui/Image.hpp"

#include <optional>

namespace orvane {

std::optional<platform::ui::Image> defaultImage();
void setDefaultImage(std::optional<platform::ui::Image> image);

}  // namespace orvane
