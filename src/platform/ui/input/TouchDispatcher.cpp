#include "platform/ui/input/TouchDispatcher.hpp"

#include <algorithm>
#include <cmath>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/GestureRecognizer.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {
constexpr double multiTapInterval = 0.35;
constexpr double multiTapDistance = 45;
}  // namespace

void TouchDispatcher::send(int identifier, TouchPhase phase, Point location, std::optional<double> timestamp) {
    const double clock = core::RunLoop::main().now();
    auto found = touches_.find(identifier);
    double now = timestamp && std::isfinite(*timestamp) ? std::min(*timestamp, clock) : clock;
    if (found != touches_.end() && phase != TouchPhase::began) now = std::max(now, found->second->timestamp_);
    if (phase == TouchPhase::began) {
        if (found != touches_.end()) send(identifier, TouchPhase::ended, found->second->locationInWindow(), now);
        window_.layoutIfNeeded();
        auto hit = window_.hitTest(location);
        if (!hit) return;
        auto touch = std::make_shared<Touch>();
        touch->identifier_ = identifier;
        touch->phase_ = TouchPhase::began;
        touch->timestamp_ = now;
        touch->location_ = touch->previousLocation_ = location;
        touch->view_ = hit;
        const bool repeat = lastTapTime_ >= 0 && now - lastTapTime_ <= multiTapInterval &&
                            std::hypot(location.x - lastTapLocation_.x, location.y - lastTapLocation_.y) <=
                                multiTapDistance;
        touch->tapCount_ = repeat ? lastTapCount_ + 1 : 1;
        for (auto v = hit; v; v = v->superview()) {
            for (const auto& r : v->gestureRecognizers()) {
                if (r->shouldReceive(*touch)) touch->recognizers_.push_back(r);
            }
        }
        touches_[identifier] = touch;
        for (const auto& r : std::vector(touch->recognizers_)) r->beginTouch(touch);
        if (touch->deliversToView_) hit->touchesBegan(*touch);
        return;
    }
    if (found == touches_.end()) return;
    auto touch = found->second;
    if (phase == TouchPhase::ended || phase == TouchPhase::cancelled) touches_.erase(found);
    touch->previousLocation_ = touch->location_;
    touch->location_ = location;
    touch->timestamp_ = now;
    touch->phase_ = phase;
    const auto recognizers = touch->recognizers_;
    for (const auto& r : recognizers) {
        switch (phase) {
            case TouchPhase::moved:
            case TouchPhase::stationary: r->moveTouch(touch); break;
            case TouchPhase::ended: r->endTouch(touch); break;
            case TouchPhase::cancelled: r->cancelTouch(touch); break;
            case TouchPhase::began: break;
        }
    }
    if (touch->deliversToView_) {
        switch (phase) {
            case TouchPhase::moved:
            case TouchPhase::stationary: touch->view_->touchesMoved(*touch); break;
            case TouchPhase::ended: touch->view_->touchesEnded(*touch); break;
            case TouchPhase::cancelled: touch->view_->touchesCancelled(*touch); break;
            case TouchPhase::began: break;
        }
    }
    if (phase == TouchPhase::ended) {
        lastTapTime_ = now;
        lastTapLocation_ = location;
        lastTapCount_ = touch->tapCount_;
    }
    if (phase == TouchPhase::ended || phase == TouchPhase::cancelled) touch->recognizers_.clear();
}

void TouchDispatcher::cancel(int identifier) {
    if (auto found = touches_.find(identifier); found != touches_.end())
        send(identifier, TouchPhase::cancelled, found->second->locationInWindow());
}

void TouchDispatcher::recognized(GestureRecognizer& recognizer, const std::vector<std::shared_ptr<Touch>>& touches) {
    for (const auto& touch : std::vector(touches)) {
        for (const auto& other : std::vector(touch->recognizers_)) {
            if (other.get() == &recognizer) continue;
            auto together = [](GestureRecognizer& a, GestureRecognizer& b) {
                const auto d = a.delegate();
                return d && d->gestureRecognizerShouldRecognizeSimultaneously(a, b);
            };
            if (together(*other, recognizer) || together(recognizer, *other)) continue;
            other->failIfPossible();
        }
        if (recognizer.cancelsTouchesInView() && touch->deliversToView_) {
            touch->deliversToView_ = false;
            const TouchPhase phase = touch->phase_;
            touch->phase_ = TouchPhase::cancelled;
            touch->view_->touchesCancelled(*touch);
            touch->phase_ = phase;
        }
    }
}

void TouchDispatcher::detach(GestureRecognizer& recognizer, Touch& touch) {
    std::erase_if(touch.recognizers_,
                  [&](const std::shared_ptr<GestureRecognizer>& r) { return r.get() == &recognizer; });
}

}  // namespace platform::ui

namespace platform::ui {

Point Touch::location(const View* view) const { return view ? view->convertPointFrom(location_, nullptr) : location_; }

Point Touch::previousLocation(const View* view) const {
    return view ? view->convertPointFrom(previousLocation_, nullptr) : previousLocation_;
}

}  // namespace platform::ui
