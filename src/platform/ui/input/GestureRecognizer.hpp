// The base of the gesture recognisers (tap, pan, long press): attached to a
// view, it receives the touches that go down on that view or its descendants
// before the hit view does, and reports through weak target-action pairs as
// it moves through its states. Continuous gestures go possible -> began ->
// changed... -> ended (or cancelled); discrete ones go possible -> ended
// (recognised) or failed. After an end, cancel or failure it returns to
// possible once its touches are gone. A weak delegate may refuse the start
// or single touches. Turning `isEnabled` off while active sends cancelled.
// Recognising, with `cancelsTouchesInView`, cancels the hit view's touches;
// it also fails the other recognisers still possible on the same touches.
//
// Owned by its view (shared); keeps its view weakly. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/input/TargetAction.hpp"
#include "platform/ui/input/Touch.hpp"

namespace platform::ui {

class View;
class GestureRecognizer;

enum class GestureRecognizerState { possible, began, changed, ended, cancelled, failed };

class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& /*recognizer*/) { return true; }
    virtual bool gestureRecognizerShouldReceive(GestureRecognizer& /*recognizer*/, const Touch& /*touch*/) {
        return true;
    }
    // Whether `recognizer` goes on together with `other`, which recognised
    // first on the same touches, instead of failing (asked of the delegates
    // of both; either may allow it).
    virtual bool gestureRecognizerShouldRecognizeSimultaneously(GestureRecognizer& /*recognizer*/,
                                                                GestureRecognizer& /*other*/) {
        return false;
    }
};

class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    virtual ~GestureRecognizer() = default;
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    // ---- Target-action (targets held weakly; a pair counts once) ----
    template <class T, class Action>
    void addTarget(const std::shared_ptr<T>& target, Action action) {
        targets_.add(target, action);
    }
    template <class T, class Action>
    void removeTarget(const T* target, Action action) {
        targets_.remove(target, action);
    }
    std::size_t targetCount() const { return targets_.liveCount(); }

    GestureRecognizerState state() const { return state_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    std::shared_ptr<View> view() const { return view_.lock(); }
    std::shared_ptr<GestureRecognizerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<GestureRecognizerDelegate> delegate) { delegate_ = std::move(delegate); }
    // Recognising cancels the touches of the hit view (true by default).
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool value) { cancelsTouchesInView_ = value; }

    // The centroid of the touches held, in `view`'s coordinates (null: the
    // window's); the last known one once they are gone.
    Point location(const View* view) const;
    std::size_t numberOfTouches() const { return touches_.size(); }

    // ---- Called by the window's touch dispatch ----
    void attachToView(const std::shared_ptr<View>& view) { view_ = view; }
    bool shouldReceive(const Touch& touch);
    void beginTouch(const std::shared_ptr<Touch>& touch);
    void moveTouch(const std::shared_ptr<Touch>& touch);
    void endTouch(const std::shared_ptr<Touch>& touch);
    void cancelTouch(const std::shared_ptr<Touch>& touch);
    // Another recogniser on the same touches has recognised.
    void failIfPossible();

protected:
    GestureRecognizer() = default;

    // What each kind does with its touches.
    virtual void touchesBegan(const Touch& touch) = 0;
    virtual void touchesMoved(const Touch& touch) = 0;
    virtual void touchesEnded(const Touch& touch) = 0;
    virtual void touchesCancelled(const Touch& touch);
    // Back to possible: drop per-gesture data.
    virtual void reset() {}

    // Moves to `state`, sending the actions for began, changed, ended and
    // cancelled. Leaving possible for began or ended asks the delegate and
    // the views between the hit view and this one first; a refusal fails.
    void setState(GestureRecognizerState state);
    const std::vector<std::shared_ptr<Touch>>& touches() const { return touches_; }
    double now() const;

private:
    bool mayBegin();
    bool holds(const Touch& touch) const;
    void finishIfDone();
    void removeTouch(const Touch& touch);

    TargetActionList<GestureRecognizer> targets_;
    GestureRecognizerState state_ = GestureRecognizerState::possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    std::weak_ptr<View> view_;
    std::weak_ptr<GestureRecognizerDelegate> delegate_;
    std::vector<std::shared_ptr<Touch>> touches_;
    Point lastLocation_;
};

}  // namespace platform::ui
