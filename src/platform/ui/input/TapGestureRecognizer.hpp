// Recognises taps: `numberOfTapsRequired` touch-downs and lift-offs near the
// first one, each following the last within 0.35 s, with no more than 10
// points of movement. Discrete: it ends (recognised) on the last lift-off and
// fails on too much movement, a late tap or a cancelled touch.
#pragma once

#include "platform/ui/input/GestureRecognizer.hpp"

namespace platform::ui {

class TapGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<TapGestureRecognizer> create();
    template <class T, class Action>
    static std::shared_ptr<TapGestureRecognizer> create(const std::shared_ptr<T>& target, Action action) {
        auto r = create();
        r->addTarget(target, action);
        return r;
    }

    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps < 1 ? 1 : taps; }

    static constexpr double allowableMovement = 10;
    static constexpr double maximumTapInterval = 0.35;

protected:
    TapGestureRecognizer() = default;
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void reset() override;

private:
    void scheduleTimeout();

    int tapsRequired_ = 1;
    int tapsSeen_ = 0;
    Point start_;
    unsigned generation_ = 0;
};

}  // namespace platform::ui
