// One load of a remote image: the disk image cache first (on a global
// user-interactive queue), then the shared URL session. A decoded download is
// stored in the image cache; the result is handed to the handler on the main
// queue, once, and only while the task is still valid. Invalidating a task
// suppresses its hand-over but neither cancels its transfer nor its store.
//
// Owners (image views, the now-playing artwork) hold the task on the main
// thread; `isValid` may be read from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "platform/core/URL.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {

class GetImageTask : public std::enable_shared_from_this<GetImageTask> {
public:
    using Handler = std::function<void(std::optional<platform::graphics::Image> image)>;

    // A valid task for `url`; nothing starts until continueWithHandler.
    static std::shared_ptr<GetImageTask> create(std::optional<platform::core::URL> url);

    bool isValid() const { return isValid_.load(std::memory_order_acquire); }
    void setIsValid(bool valid) { isValid_.store(valid, std::memory_order_release); }

    // Starts the load and returns at once; `handler` runs at most once, on
    // the main queue. With no address the handler is never called.
    void continueWithHandler(Handler handler);

private:
    explicit GetImageTask(std::optional<platform::core::URL> url) : url_(std::move(url)) {}
    void handOver(const Handler& handler, std::optional<platform::graphics::Image> image) const;

    const std::optional<platform::core::URL> url_;
    std::atomic<bool> isValid_{true};
};

}  // namespace orvane
