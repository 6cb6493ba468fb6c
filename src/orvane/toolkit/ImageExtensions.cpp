#include "orvane/toolkit/ImageExtensions.hpp"

#include "orvane/playback/OVCacheManager.hpp"

namespace orvane {

std::optional<platform::ui::Image> cachedImage(const std::optional<platform::core::URL>& url) {
    if (!url) return std::nullopt;
    return OVImageCache::find(url->lastPathComponent());
}

}  // namespace orvane
