#include "platform/ui/controls/Control.hpp"

#include "platform/ui/input/TapGestureRecognizer.hpp"

namespace platform::ui {

std::shared_ptr<Control> Control::create(const Rect& frame) {
    return std::make_shared<Control>(ConstructorKey{}, frame);
}

Control::Control(ConstructorKey key, const Rect& frame) : View(key, frame) {}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled && tracking_) {
        auto keepAlive = shared_from_this();
        tracking_ = false;
        trackedTouch_ = -1;
        highlighted_ = false;
        cancelTracking();
    }
    stateDidChange();
}

void Control::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateDidChange();
}

ControlState Control::state() const {
    auto s = static_cast<std::uint32_t>(ControlState::normal);
    if (highlighted_) s |= static_cast<std::uint32_t>(ControlState::highlighted);
    if (!enabled_) s |= static_cast<std::uint32_t>(ControlState::disabled);
    if (selected_) s |= static_cast<std::uint32_t>(ControlState::selected);
    return static_cast<ControlState>(s);
}

void Control::sendActions(ControlEvents events) {
    auto keepAlive = shared_from_this();
    targets_.send(*this, [events](const ControlEvents& registered) { return intersects(registered, events); });
}

bool Control::beginTracking(const Touch&) { return true; }
bool Control::continueTracking(const Touch&) { return true; }
void Control::endTracking(const Touch*) {}
void Control::cancelTracking() {}

bool Control::isInside(const Touch& touch) const { return pointInside(touch.location(this)); }

bool Control::gestureRecognizerShouldBegin(GestureRecognizer& recognizer) {
    // An enabled control takes the taps made on it from its ancestors.
    if (enabled_ && dynamic_cast<TapGestureRecognizer*>(&recognizer) && recognizer.view().get() != this) return false;
    return true;
}

void Control::touchesBegan(const Touch& touch) {
    if (!enabled_ || tracking_) return;
    auto keepAlive = shared_from_this();
    trackedTouch_ = touch.identifier();
    touchInside_ = true;
    setHighlighted(true);
    tracking_ = beginTracking(touch);
    if (!tracking_) trackedTouch_ = -1;
    sendActions(touch.tapCount() > 1 ? ControlEvents::touchDown | ControlEvents::touchDownRepeat
                                     : ControlEvents::touchDown);
}

void Control::touchesMoved(const Touch& touch) {
    if (!enabled_ || touch.identifier() != trackedTouch_) return;
    auto keepAlive = shared_from_this();
    touchInside_ = isInside(touch);
    setHighlighted(touchInside_);
    if (tracking_ && !continueTracking(touch)) {
        tracking_ = false;
        endTracking(&touch);
    }
    sendActions(touchInside_ ? ControlEvents::touchDragInside : ControlEvents::touchDragOutside);
}

void Control::touchesEnded(const Touch& touch) {
    if (touch.identifier() != trackedTouch_) return;
    auto keepAlive = shared_from_this();
    touchInside_ = isInside(touch);
    trackedTouch_ = -1;
    setHighlighted(false);
    if (tracking_) {
        tracking_ = false;
        endTracking(&touch);
    }
    if (enabled_) sendActions(touchInside_ ? ControlEvents::touchUpInside : ControlEvents::touchUpOutside);
    touchInside_ = false;
}

void Control::touchesCancelled(const Touch& touch) {
    if (touch.identifier() != trackedTouch_) return;
    auto keepAlive = shared_from_this();
    trackedTouch_ = -1;
    touchInside_ = false;
    setHighlighted(false);
    if (tracking_) {
        tracking_ = false;
        cancelTracking();
    }
    if (enabled_) sendActions(ControlEvents::touchCancel);
}

}  // namespace platform::ui
