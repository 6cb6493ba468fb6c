// The player actions a view or the lock screen can raise. Every requirement
// has an empty default, so a conforming type implements only what it handles.
// Held weakly by whoever raises the actions; called on the main thread.
#pragma once

#include <functional>

namespace orvane {

class OVPlayerUserActionDelegate {
public:
    virtual ~OVPlayerUserActionDelegate() = default;
    virtual void didTapBackward() {}
    virtual void didTapPlay() {}
    virtual void didTapPause() {}
    virtual void didTapForward() {}
    // A new position in seconds; the completion, when given, receives whether
    // the seek finished.
    virtual void didChangeSlider(float /*value*/, std::function<void(bool)> /*completionHandler*/) {}
    virtual void didTogglePlayPause() {}
};

}  // namespace orvane
