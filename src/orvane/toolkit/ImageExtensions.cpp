#include "orvane/toolkit/ImageExtensions.hpp"

#include <mutex>

#include "orvane/toolkit/GetImageTask.hpp"
#include "orvane/toolkit/OVImageStore.hpp"
#include "platform/core/NoDestructor.hpp"

namespace orvane {

std::optional<platform::graphics::Image> cachedImage(const std::optional<platform::core::URL>& url) {
    const auto* store = OVImageStore::installed();
    if (!url || !store) return std::nullopt;
    return store->find(url->lastPathComponent());
}

namespace {

struct DefaultImageState {
    std::mutex mutex;
    std::optional<platform::graphics::Image> image = platform::graphics::Image::named("OrvaneDefaultImage");
};

DefaultImageState& defaultImageState() {
    static platform::core::NoDestructor<DefaultImageState> state;
    return *state;
}

}  // namespace

std::optional<platform::graphics::Image> defaultImage() {
    auto& state = defaultImageState();
    std::lock_guard lock(state.mutex);
    return state.image;
}

void setDefaultImage(std::optional<platform::graphics::Image> image) {
    auto& state = defaultImageState();
    std::lock_guard lock(state.mutex);
    state.image = std::move(image);
}

std::shared_ptr<GetImageTask> getImageTask(const std::optional<platform::core::URL>& url) {
    return GetImageTask::create(url);
}

}  // namespace orvane
