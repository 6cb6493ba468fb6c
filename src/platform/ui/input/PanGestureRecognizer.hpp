// Recognises a drag: it begins once the touches have moved more than 10
// points from where they went down (with between the minimum and maximum
// number of touches), changes with every move and ends on lift-off.
// `translation` is measured from the touch-down point (or from where
// `setTranslation` last put it); `velocity` is points per second over the
// moves of the last 0.1 s, by the touches' timestamps (when the events
// happened, not when they were delivered).
#pragma once

#include <deque>
#include <limits>

#include "platform/ui/input/GestureRecognizer.hpp"

namespace platform::ui {

class PanGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<PanGestureRecognizer> create();
    template <class T, class Action>
    static std::shared_ptr<PanGestureRecognizer> create(const std::shared_ptr<T>& target, Action action) {
        auto r = create();
        r->addTarget(target, action);
        return r;
    }

    // In the coordinates of `view` (null: the window's): its axes, not its
    // origin, matter.
    Point translation(const View* view) const;
    void setTranslation(Point translation, const View* view);
    Point velocity(const View* view) const;

    std::size_t minimumNumberOfTouches() const { return minimumTouches_; }
    void setMinimumNumberOfTouches(std::size_t n) { minimumTouches_ = n < 1 ? 1 : n; }
    std::size_t maximumNumberOfTouches() const { return maximumTouches_; }
    void setMaximumNumberOfTouches(std::size_t n) { maximumTouches_ = n; }

    static constexpr double hysteresis = 10;
    static constexpr double velocityWindow = 0.1;

protected:
    PanGestureRecognizer() = default;
    // Asked once the touches have moved past the hysteresis, before the pan
    // begins: false fails it instead (for kinds that take only some
    // directions). `translation` reads the movement so far.
    virtual bool shouldBeginMoving() { return true; }
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void reset() override;

private:
    struct Sample {
        double time;
        Point location;
    };
    void addSample(Point location, double time);

    std::size_t minimumTouches_ = 1;
    std::size_t maximumTouches_ = std::numeric_limits<std::size_t>::max();
    Point origin_;          // window point where translation is zero
    Point centroid_;        // last window centroid
    std::deque<Sample> samples_;
};

}  // namespace platform::ui
