// Image helpers of the interface kit used across the component.
//
// cachedImage: the image the disk image cache holds for an address, found
// under the address's last path component. Never touches the network; runs
// synchronously on the calling thread (any thread).
//
// defaultImage: the placeholder artwork, the bundle image "OrvaneDefaultImage"
// until the host replaces it. Readable and writable from any thread.
//
// getImageTask: a new, valid remote-image load for an address (nothing starts
// until its continueWithHandler).
#pragma once

#include <memory>
#include <optional>

#include "platform/core/URL.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {
class GetImageTask;
}

namespace orvane {

// None when there is no address or the image cache holds no image for it.
std::optional<platform::graphics::Image> cachedImage(const std::optional<platform::core::URL>& url);

// None only when the bundle lacks the image and the host set none.
std::optional<platform::graphics::Image> defaultImage();
void setDefaultImage(std::optional<platform::graphics::Image> image);

std::shared_ptr<GetImageTask> getImageTask(const std::optional<platform::core::URL>& url);

}  // namespace orvane
