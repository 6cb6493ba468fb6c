#include "orvane/toolkit/GetImageTask.hpp"

#include "orvane/model/OVURLSession.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/toolkit/OVImageStore.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"

namespace orvane {

using platform::core::DispatchQueue;
using platform::core::QualityOfService;
using platform::graphics::Image;

std::shared_ptr<GetImageTask> GetImageTask::create(std::optional<platform::core::URL> url) {
    return std::shared_ptr<GetImageTask>(new GetImageTask(std::move(url)));
}

void GetImageTask::handOver(const Handler& handler, std::optional<Image> image) const {
    if (!isValid()) return;
    DispatchQueue::main().async([handler, image = std::move(image)]() mutable { handler(std::move(image)); });
}

void GetImageTask::continueWithHandler(Handler handler) {
    DispatchQueue::global(QualityOfService::userInteractive).async([self = shared_from_this(), handler] {
        if (!self->url_) return;
        const std::string key = self->url_->lastPathComponent();
        if (auto cached = cachedImage(self->url_)) {
            self->handOver(handler, std::move(cached));
            return;
        }
        auto task = OVURLSession::custom()->dataTask(
            *self->url_, [self, handler, key](std::optional<platform::core::Data> data,
                                              std::optional<platform::net::URLResponse>,
                                              std::optional<platform::net::URLError> error) {
                if (error) platform::core::debugPrint(error->description());
                std::optional<Image> image;
                if (!data) {
                    image = defaultImage();
                } else {
                    image = Image::fromData(*data);
                    // Only a decoded image is stored: an error page never
                    // takes an image's place in the cache.
                    if (image) {
                        if (const auto* store = OVImageStore::installed()) store->cache(*image, key);
                    }
                }
                self->handOver(handler, std::move(image));
            });
        task->resume();
    });
}

}  // namespace orvane
