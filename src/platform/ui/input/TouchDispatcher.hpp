// The window's touch dispatch: a touch going down is hit-tested, handed to
// the enabled recognisers of the hit view and its ancestors (those the
// delegate lets receive it) and then to the hit view itself; its moves and
// lift-off follow the same path. A recogniser that recognises with
// `cancelsTouchesInView` cancels the hit view's touches, and fails the other
// recognisers still possible on them. Owned by its window; main thread only.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/input/Touch.hpp"

namespace platform::ui {

class Window;

class TouchDispatcher {
public:
    explicit TouchDispatcher(Window& window) : window_(window) {}

    // `location` in window points; `timestamp` on the run loop's clock, when
    // the event happened (now when not given; never later than now, nor
    // earlier than the touch's last change). A move, end or cancel of an
    // unknown touch is ignored; a second begin of a known one first ends
    // the old touch.
    void send(int identifier, TouchPhase phase, Point location, std::optional<double> timestamp = {});
    // Cancels a known touch where it last was.
    void cancel(int identifier);
    std::size_t activeTouchCount() const { return touches_.size(); }

    // A recogniser took its touches (called by GestureRecognizer).
    static void recognized(GestureRecognizer& recognizer, const std::vector<std::shared_ptr<Touch>>& touches);
    // A recogniser no longer receives this touch.
    static void detach(GestureRecognizer& recognizer, Touch& touch);

private:
    Window& window_;
    std::map<int, std::shared_ptr<Touch>> touches_;
    double lastTapTime_ = -1;
    Point lastTapLocation_;
    int lastTapCount_ = 0;
};

}  // namespace platform::ui
