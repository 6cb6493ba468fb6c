// Where fetched images are kept on disk: the image cache. It belongs to the
// playback layer, above the toolkit; the toolkit's image loading reaches it
// only through this protocol, which the playback layer implements; the
// facade installs it when it is made (`installLayerHooks()`). Without an
// installed store (the toolkit on its own) no image is found or kept.
//
// Any thread, like the image cache itself.
#pragma once

#include <optional>
#include <string_view>

#include "platform/graphics/Image.hpp"

namespace orvane {

class OVImageStore {
public:
    virtual ~OVImageStore() = default;

    virtual std::optional<platform::graphics::Image> find(std::string_view key) const = 0;
    virtual void cache(const platform::graphics::Image& image, std::string_view key) const = 0;

    // The store in use; none until one is installed.
    static const OVImageStore* installed();
    // Makes `store` the store in use. `store` must never be destroyed.
    static void install(const OVImageStore& store);
};

}  // namespace orvane
