// One finger on the window, from touch-down to lift-off: where it is (kept in
// window coordinates), where it was, when it last changed (run loop clock:
// when the host's event happened),
// the view it went down on and the recognisers that receive it. The window's
// dispatch makes and updates touches; views, controls and recognisers read
// them. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/graphics/Geometry.hpp"

namespace platform::ui {

class View;
class GestureRecognizer;

enum class TouchPhase { began, moved, stationary, ended, cancelled };

class Touch {
public:
    int identifier() const { return identifier_; }
    TouchPhase phase() const { return phase_; }
    double timestamp() const { return timestamp_; }
    // How many touches went down near here in quick succession (1 for a
    // single tap).
    int tapCount() const { return tapCount_; }
    // The view hit at touch-down (kept even when it moves out of it).
    const std::shared_ptr<View>& view() const { return view_; }
    // In the coordinates of `view` (null: the window's).
    Point location(const View* view) const;
    Point previousLocation(const View* view) const;
    Point locationInWindow() const { return location_; }
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

private:
    friend class TouchDispatcher;
    int identifier_ = 0;
    TouchPhase phase_ = TouchPhase::began;
    double timestamp_ = 0;
    int tapCount_ = 1;
    Point location_;
    Point previousLocation_;
    std::shared_ptr<View> view_;
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
    bool deliversToView_ = true;
};

}  // namespace platform::ui
