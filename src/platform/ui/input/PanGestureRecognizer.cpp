#include "platform/ui/input/PanGestureRecognizer.hpp"

#include <cmath>

#include "platform/ui/views/View.hpp"

namespace platform::ui {

using State = GestureRecognizerState;

namespace {
struct MakeShared : PanGestureRecognizer {};

// A window-space vector expressed along `view`'s axes.
Point vectorIn(Point v, const View* view) {
    if (!view) return v;
    const Point a = view->convertPointFrom(Point{0, 0}, nullptr);
    const Point b = view->convertPointFrom(v, nullptr);
    return {b.x - a.x, b.y - a.y};
}
Point vectorFrom(Point v, const View* view) {
    if (!view) return v;
    const Point a = view->convertPoint(Point{0, 0}, nullptr);
    const Point b = view->convertPoint(v, nullptr);
    return {b.x - a.x, b.y - a.y};
}
}  // namespace

std::shared_ptr<PanGestureRecognizer> PanGestureRecognizer::create() { return std::make_shared<MakeShared>(); }

Point PanGestureRecognizer::translation(const View* view) const {
    return vectorIn(Point{centroid_.x - origin_.x, centroid_.y - origin_.y}, view);
}

void PanGestureRecognizer::setTranslation(Point translation, const View* view) {
    const Point t = vectorFrom(translation, view);
    origin_ = {centroid_.x - t.x, centroid_.y - t.y};
}

Point PanGestureRecognizer::velocity(const View* view) const {
    if (samples_.size() < 2) return {};
    const Sample& last = samples_.back();
    // The oldest sample within the window, or the one just before the last.
    const Sample* first = &samples_[samples_.size() - 2];
    for (const auto& s : samples_) {
        if (last.time - s.time <= velocityWindow + 1e-9) {
            if (&s != &last) first = &s;
            break;
        }
    }
    const double dt = last.time - first->time;
    if (!(dt > 0)) return {};
    return vectorIn(Point{(last.location.x - first->location.x) / dt, (last.location.y - first->location.y) / dt},
                    view);
}

void PanGestureRecognizer::addSample(Point location, double t) {
    if (!samples_.empty() && samples_.back().time >= t) {
        samples_.back().location = location;
        if (samples_.size() == 1) return;
    } else {
        samples_.push_back({t, location});
    }
    while (samples_.size() > 2 && t - samples_[1].time > velocityWindow) samples_.pop_front();
}

void PanGestureRecognizer::touchesBegan(const Touch& touch) {
    const Point c = location(nullptr);
    if (touches().size() == 1) {
        origin_ = centroid_ = c;
        samples_.clear();
        addSample(c, touch.timestamp());
        return;
    }
    if (state() != State::possible && touches().size() > maximumTouches_) {
        setState(State::ended);
        return;
    }
    // A new finger moves the centroid: keep translation and velocity
    // continuous.
    const Point shift{c.x - centroid_.x, c.y - centroid_.y};
    origin_ = {origin_.x + shift.x, origin_.y + shift.y};
    for (auto& sample : samples_) sample.location = {sample.location.x + shift.x, sample.location.y + shift.y};
    centroid_ = c;
}

void PanGestureRecognizer::touchesMoved(const Touch& touch) {
    centroid_ = location(nullptr);
    addSample(centroid_, touch.timestamp());
    const std::size_t n = touches().size();
    if (state() == State::possible) {
        if (n < minimumTouches_ || n > maximumTouches_) return;
        if (std::hypot(centroid_.x - origin_.x, centroid_.y - origin_.y) <= hysteresis) return;
        setState(shouldBeginMoving() ? State::began : State::failed);
    } else if (state() == State::began || state() == State::changed) {
        setState(State::changed);
    }
}

void PanGestureRecognizer::touchesEnded(const Touch& touch) {
    const std::size_t n = touches().size();
    if (n > 1) {
        // The fingers left behind keep the translation where it was.
        Point sum{};
        for (const auto& t : touches()) {
            if (t.get() == &touch) continue;
            sum.x += t->locationInWindow().x;
            sum.y += t->locationInWindow().y;
        }
        const Point c{sum.x / static_cast<double>(n - 1), sum.y / static_cast<double>(n - 1)};
        const Point shift{c.x - centroid_.x, c.y - centroid_.y};
        origin_ = {origin_.x + shift.x, origin_.y + shift.y};
        centroid_ = c;
        for (auto& sample : samples_) sample.location = {sample.location.x + shift.x, sample.location.y + shift.y};
    }
    if (state() == State::began || state() == State::changed) {
        if (touches().size() <= 1) {
            centroid_ = touch.locationInWindow();
            addSample(centroid_, touch.timestamp());
            setState(State::ended);
        } else if (touches().size() - 1 < minimumTouches_) {
            setState(State::ended);
        }
    } else if (state() == State::possible && touches().size() <= 1) {
        setState(State::failed);
    }
}

void PanGestureRecognizer::reset() { samples_.clear(); }

}  // namespace platform::ui
