// The base of the controls (buttons, sliders): a view that tracks the touches
// going down on it and reports them through weak target-action pairs per
// event (touch down, drag inside and outside, up inside and outside, cancel,
// value changed). States: normal, highlighted (while a touch is down inside),
// disabled, selected. A disabled control tracks nothing and sends nothing.
// An enabled control takes the taps that go down on it: the tap recognisers
// of its ancestors do not begin. Subclasses refine the tracking through the
// begin / continue / end / cancel hooks. Main thread only.
#pragma once

#include <cstdint>

#include "platform/ui/input/TargetAction.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

enum class ControlState : std::uint32_t { normal = 0, highlighted = 1 << 0, disabled = 1 << 1, selected = 1 << 2 };
constexpr ControlState operator|(ControlState a, ControlState b) {
    return static_cast<ControlState>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class ControlEvents : std::uint32_t {
    touchDown = 1 << 0,
    touchDownRepeat = 1 << 1,
    touchDragInside = 1 << 2,
    touchDragOutside = 1 << 3,
    touchUpInside = 1 << 6,
    touchUpOutside = 1 << 7,
    touchCancel = 1 << 8,
    valueChanged = 1 << 12,
    allEvents = 0xFFFFFFFF,
};
constexpr ControlEvents operator|(ControlEvents a, ControlEvents b) {
    return static_cast<ControlEvents>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool intersects(ControlEvents a, ControlEvents b) {
    return (static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b)) != 0;
}

class Control : public View {
public:
    static std::shared_ptr<Control> create(const Rect& frame = {});
    Control(ConstructorKey key, const Rect& frame);

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    ControlState state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }

    // ---- Target-action: the pair counts once; adding it again adds events ----
    template <class T, class Action>
    void addTarget(const std::shared_ptr<T>& target, Action action, ControlEvents events) {
        if (auto* tag = targets_.tagOf(target.get(), action)) {
            *tag = *tag | events;
            return;
        }
        targets_.add(target, action, events);
    }
    // Removes `events` from the pair (the whole pair once none is left).
    template <class T, class Action>
    void removeTarget(const T* target, Action action, ControlEvents events = ControlEvents::allEvents) {
        if (auto* tag = targets_.tagOf(target, action)) {
            *tag = static_cast<ControlEvents>(static_cast<std::uint32_t>(*tag) & ~static_cast<std::uint32_t>(events));
            if (static_cast<std::uint32_t>(*tag) == 0) targets_.remove(target, action);
        }
    }
    // Calls the actions of every pair registered for one of `events`.
    void sendActions(ControlEvents events);

    // ---- Tracking hooks (the touch went down on this control) ----
    // Whether to track the touch; the base accepts it.
    virtual bool beginTracking(const Touch& touch);
    // Whether to keep tracking; the base does.
    virtual bool continueTracking(const Touch& touch);
    virtual void endTracking(const Touch* touch);
    virtual void cancelTracking();

    // ---- View ----
    bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer) override;
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void touchesCancelled(const Touch& touch) override;

protected:
    // Called after the enabled, selected or highlighted state changed.
    virtual void stateDidChange() {}
    bool isInside(const Touch& touch) const;

private:
    TargetActionList<Control, ControlEvents> targets_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    int trackedTouch_ = -1;
};

}  // namespace platform::ui
