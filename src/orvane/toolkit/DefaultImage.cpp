#include "orvane/toolkit/DefaultImage.hpp"

#include <mutex>

namespace orvane {

namespace {
struct Storage {
    std::mutex mutex;
    std::optional<platform::ui::Image> image = platform::ui::Image::named("OrvaneDefaultImage");
};
Storage& storage() {
    static Storage instance;
    return instance;
}
}  // namespace

std::optional<platform::ui::Image> defaultImage() {
    auto& s = storage();
    std::lock_guard lock(s.mutex);
    return s.image;
}

void setDefaultImage(std::optional<platform::ui::Image> image) {
    auto& s = storage();
    std::lock_guard lock(s.mutex);
    s.image = std::move(image);
}

}  // namespace orvane
