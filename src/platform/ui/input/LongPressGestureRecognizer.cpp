#include "platform/ui/input/LongPressGestureRecognizer.hpp"

#include <cmath>

#include "platform/core/RunLoop.hpp"

namespace platform::ui {

using State = GestureRecognizerState;

namespace {
struct MakeShared : LongPressGestureRecognizer {};
}  // namespace

std::shared_ptr<LongPressGestureRecognizer> LongPressGestureRecognizer::create() {
    return std::make_shared<MakeShared>();
}

void LongPressGestureRecognizer::touchesBegan(const Touch& touch) {
    if (state() != State::possible || touches().size() > 1) return;
    start_ = touch.locationInWindow();
    const unsigned generation = ++generation_;
    std::weak_ptr<GestureRecognizer> weak = weak_from_this();
    core::RunLoop::main().asyncAfter(minimumPressDuration_, [weak, generation] {
        auto self = std::static_pointer_cast<LongPressGestureRecognizer>(weak.lock());
        if (!self || self->generation_ != generation || self->state() != State::possible) return;
        if (self->touches().empty()) return;
        self->setState(State::began);
    });
}

void LongPressGestureRecognizer::touchesMoved(const Touch& touch) {
    if (state() == State::began || state() == State::changed) {
        setState(State::changed);
        return;
    }
    const Point p = touch.locationInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement_) setState(State::failed);
}

void LongPressGestureRecognizer::touchesEnded(const Touch&) {
    if (state() == State::began || state() == State::changed) {
        setState(State::ended);
    } else {
        setState(State::failed);
    }
}

}  // namespace platform::ui
