// An RAII registration: destroying (or invalidating) the token undoes the
// registration it stands for. Move-only.
#pragma once

#include <functional>
#include <utility>

namespace platform::core {

class ObservationToken {
public:
    ObservationToken() = default;
    explicit ObservationToken(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~ObservationToken() { invalidate(); }

    ObservationToken(ObservationToken&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    ObservationToken& operator=(ObservationToken&& other) noexcept {
        if (this != &other) {
            invalidate();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    ObservationToken(const ObservationToken&) = delete;
    ObservationToken& operator=(const ObservationToken&) = delete;

    void invalidate() {
        if (auto cancel = std::exchange(cancel_, nullptr)) cancel();
    }
    bool isValid() const { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

}  // namespace platform::core
