// Image helpers of the interface kit used across the component.
//
// cachedImage: the image the disk image cache holds for an address, found
// under the address's last path component. Never touches the network; runs
// synchronously on the calling thread (any thread).
#pragma once

#include <optional>

#include "platform/core/URL.hpp"
#include "platform/ui/Image.hpp"

namespace orvane {

// None when there is no address or the image cache holds no image for it.
std::optional<platform::ui::Image> cachedImage(const std::optional<platform::core::URL>& url);

}  // namespace orvane
