#include "platform/ui/input/GestureRecognizer.hpp"

#include <algorithm>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/TouchDispatcher.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

using State = GestureRecognizerState;

double GestureRecognizer::now() const { return core::RunLoop::main().now(); }

void GestureRecognizer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (enabled) return;
    // Let go of the touches; an active gesture reports its cancellation.
    auto keepAlive = shared_from_this();
    if (state_ == State::began || state_ == State::changed) {
        setState(State::cancelled);
    } else if (state_ == State::possible) {
        state_ = State::failed;
    }
    for (const auto& touch : touches_) TouchDispatcher::detach(*this, *touch);
    touches_.clear();
    finishIfDone();
}

Point GestureRecognizer::location(const View* view) const {
    Point p = lastLocation_;
    if (!touches_.empty()) {
        p = {};
        for (const auto& t : touches_) {
            p.x += t->locationInWindow().x;
            p.y += t->locationInWindow().y;
        }
        p.x /= static_cast<double>(touches_.size());
        p.y /= static_cast<double>(touches_.size());
    }
    return view ? view->convertPointFrom(p, nullptr) : p;
}

bool GestureRecognizer::shouldReceive(const Touch& touch) {
    if (!enabled_) return false;
    if (auto d = delegate()) return d->gestureRecognizerShouldReceive(*this, touch);
    return true;
}

void GestureRecognizer::beginTouch(const std::shared_ptr<Touch>& touch) {
    touches_.push_back(touch);
    lastLocation_ = location(nullptr);
    if (state_ == State::failed || state_ == State::ended || state_ == State::cancelled) return;
    touchesBegan(*touch);
}

bool GestureRecognizer::holds(const Touch& touch) const {
    return std::any_of(touches_.begin(), touches_.end(), [&](const auto& t) { return t.get() == &touch; });
}

void GestureRecognizer::moveTouch(const std::shared_ptr<Touch>& touch) {
    if (!holds(*touch)) return;  // let go of it (disabled) meanwhile
    lastLocation_ = location(nullptr);
    if (state_ == State::failed || state_ == State::ended || state_ == State::cancelled) return;
    touchesMoved(*touch);
}

void GestureRecognizer::endTouch(const std::shared_ptr<Touch>& touch) {
    if (!holds(*touch)) return;
    lastLocation_ = location(nullptr);
    auto keepAlive = shared_from_this();
    if (state_ != State::failed && state_ != State::ended && state_ != State::cancelled) touchesEnded(*touch);
    removeTouch(*touch);
    finishIfDone();
}

void GestureRecognizer::cancelTouch(const std::shared_ptr<Touch>& touch) {
    if (!holds(*touch)) return;
    auto keepAlive = shared_from_this();
    if (state_ != State::failed && state_ != State::ended && state_ != State::cancelled) touchesCancelled(*touch);
    removeTouch(*touch);
    finishIfDone();
}

void GestureRecognizer::touchesCancelled(const Touch&) {
    if (state_ == State::began || state_ == State::changed) {
        setState(State::cancelled);
    } else if (state_ == State::possible) {
        setState(State::failed);
    }
}

void GestureRecognizer::failIfPossible() {
    if (state_ == State::possible && !touches_.empty()) setState(State::failed);
}

void GestureRecognizer::removeTouch(const Touch& touch) {
    std::erase_if(touches_, [&](const std::shared_ptr<Touch>& t) { return t.get() == &touch; });
}

void GestureRecognizer::finishIfDone() {
    if (!touches_.empty()) return;
    if (state_ == State::ended || state_ == State::cancelled || state_ == State::failed) {
        state_ = State::possible;
        reset();
    }
}

bool GestureRecognizer::mayBegin() {
    if (auto d = delegate(); d && !d->gestureRecognizerShouldBegin(*this)) return false;
    // The views from the hit view up to (not including) this recogniser's
    // view may claim the gesture for themselves (controls take taps).
    auto mine = view();
    for (const auto& touch : touches_) {
        for (auto v = touch->view(); v && v != mine; v = v->superview()) {
            if (!v->gestureRecognizerShouldBegin(*this)) return false;
        }
    }
    return true;
}

void GestureRecognizer::setState(State state) {
    if (state == state_) {
        if (state == State::changed) targets_.send(*this);
        return;
    }
    auto keepAlive = shared_from_this();
    const bool recognising = state_ == State::possible && (state == State::began || state == State::ended);
    if (recognising && !mayBegin()) state = State::failed;
    state_ = state;
    if (recognising && state != State::failed) TouchDispatcher::recognized(*this, touches_);
    if (state != State::failed && state != State::possible) targets_.send(*this);
    finishIfDone();
}

}  // namespace platform::ui
