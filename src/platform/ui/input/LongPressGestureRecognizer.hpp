// Recognises a press held still: it begins on the run loop's clock once the
// touch has stayed down for `minimumPressDuration` (0.5 s) within
// `allowableMovement` (10 points), changes as it moves and ends on lift-off.
// Lifting or moving away earlier fails it: nothing is sent.
#pragma once

#include "platform/ui/input/GestureRecognizer.hpp"

namespace platform::ui {

class LongPressGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<LongPressGestureRecognizer> create();
    template <class T, class Action>
    static std::shared_ptr<LongPressGestureRecognizer> create(const std::shared_ptr<T>& target, Action action) {
        auto r = create();
        r->addTarget(target, action);
        return r;
    }

    double minimumPressDuration() const { return minimumPressDuration_; }
    void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds < 0 ? 0 : seconds; }
    double allowableMovement() const { return allowableMovement_; }
    void setAllowableMovement(double points) { allowableMovement_ = points; }

protected:
    LongPressGestureRecognizer() = default;
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void reset() override { ++generation_; }

private:
    double minimumPressDuration_ = 0.5;
    double allowableMovement_ = 10;
    Point start_;
    unsigned generation_ = 0;
};

}  // namespace platform::ui
