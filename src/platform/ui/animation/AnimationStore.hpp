// The animations of one layer, and the values they give its properties.
//
// `add` keeps a copy of the animation under a key (adding under a key in use
// replaces the animation there, which stops unfinished); an animation whose
// begin time is 0 begins when added. `presentationValue` folds every
// animation that touches a property, in the order they were added, over its
// model value at a time of the run loop's clock: a non-additive animation
// replaces the value so far, an additive one adds to it.
//
// Ends are scheduled on the main run loop at the clock time they fall on, so
// a manual clock moved with `advance` ends them exactly (a tenth of a
// millisecond early, so that many small steps of the clock, each rounded at
// its magnitude, still reach the end): the animation's stop
// callback runs with true, it is removed when it is removed on completion, and
// the transactions and view animation blocks it belongs to are told. Removing
// an animation before its end (`remove`, `removeAll`, replacement, or the
// store going away) stops it with false on the next turn of the run loop. An
// animation that repeats for ever never ends by itself.
//
// One per layer, owned by it. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/animation/AnimatableValue.hpp"
#include "platform/ui/animation/Animation.hpp"

namespace platform::ui {

class AnimationCompletionGroup;

class AnimationStore {
public:
    AnimationStore() = default;
    ~AnimationStore();
    AnimationStore(const AnimationStore&) = delete;
    AnimationStore& operator=(const AnimationStore&) = delete;

    // An empty key adds an animation that no key can reach (not listed,
    // never replaced, removed only by `removeAll`). `allowsUserInteraction`
    // false makes `allowsUserInteraction()` false until it ends.
    void add(const Animation& animation, std::string key, bool allowsUserInteraction = true);
    // The copy kept under `key`, with its begin time resolved; null when none.
    std::shared_ptr<const Animation> animation(std::string_view key) const;
    // Keys in the order the animations were added.
    std::vector<std::string> animationKeys() const;
    void remove(std::string_view key);
    void removeAll();
    bool isEmpty() const { return entries_.empty(); }

    // The value the property at `keyPath` shows at `now` on the run loop's
    // clock (the frame's time, see FrameClock, when not given).
    AnimatableValue presentationValue(std::string_view keyPath, const AnimatableValue& modelValue, double now) const;
    AnimatableValue presentationValue(std::string_view keyPath, const AnimatableValue& modelValue) const;
    // Whether any animation touches `keyPath` (itself or a part of it).
    bool animates(std::string_view keyPath) const;
    // Whether an animation has yet to end (one that ended and stays, filling
    // forwards, no longer changes what is shown).
    bool isRunning() const;
    // Called before an animation is added or removed (not when one ends by
    // itself): what the store shows is about to change.
    void setWillChange(std::function<void()> handler) { willChange_ = std::move(handler); }
    // False while an animation added with `allowsUserInteraction` false runs.
    bool allowsUserInteraction() const;

private:
    struct Entry;
    void scheduleCallbacks(const std::shared_ptr<Entry>& entry, double now);
    void end(const std::shared_ptr<Entry>& entry);
    // Takes the entry out unfinished and tells everyone on the next turn.
    void stopUnfinished(const std::shared_ptr<Entry>& entry);
    static void deliverStop(const std::shared_ptr<Entry>& entry, bool finished);

    std::vector<std::shared_ptr<Entry>> entries_;
    std::function<void()> willChange_;
};

}  // namespace platform::ui
