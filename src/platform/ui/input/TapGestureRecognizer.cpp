#include "platform/ui/input/TapGestureRecognizer.hpp"

#include <cmath>

#include "platform/core/RunLoop.hpp"

namespace platform::ui {

namespace {
struct MakeShared : TapGestureRecognizer {};
}  // namespace

std::shared_ptr<TapGestureRecognizer> TapGestureRecognizer::create() { return std::make_shared<MakeShared>(); }

void TapGestureRecognizer::touchesBegan(const Touch& touch) {
    ++generation_;  // the wait for this tap is over
    if (tapsSeen_ == 0) start_ = touch.locationInWindow();
    const Point p = touch.locationInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement || touches().size() > 1) {
        setState(GestureRecognizerState::failed);
    }
}

void TapGestureRecognizer::touchesMoved(const Touch& touch) {
    const Point p = touch.locationInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement) setState(GestureRecognizerState::failed);
}

void TapGestureRecognizer::touchesEnded(const Touch&) {
    if (++tapsSeen_ >= tapsRequired_) {
        setState(GestureRecognizerState::ended);
    } else {
        scheduleTimeout();
    }
}

void TapGestureRecognizer::scheduleTimeout() {
    const unsigned generation = ++generation_;
    std::weak_ptr<GestureRecognizer> weak = weak_from_this();
    core::RunLoop::main().asyncAfter(maximumTapInterval, [weak, generation] {
        auto self = std::static_pointer_cast<TapGestureRecognizer>(weak.lock());
        if (!self || self->generation_ != generation || self->state() != GestureRecognizerState::possible) return;
        self->setState(GestureRecognizerState::failed);
    });
}

void TapGestureRecognizer::reset() {
    tapsSeen_ = 0;
    ++generation_;
}

}  // namespace platform::ui
