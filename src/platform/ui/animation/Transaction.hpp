// Animation transactions: `begin()` and `commit()` bracket a set of changes
// (nestable). What a transaction sets holds for the changes inside it and in
// the transactions nested in it:
// - a completion block, run on the main run loop once every animation added
//   inside the transaction (nested ones included) has ended or been removed;
//   on the next turn when none was added; never while a member repeats for ever;
// - disabled actions: property changes are not turned into animations
//   (view animation blocks record nothing);
// - an animation duration and timing function, taken by animations added
//   inside it that set none of their own.
// Setting any of these outside `begin`/`commit` opens an implicit
// transaction, committed on the next turn of the run loop.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/animation/TimingFunction.hpp"

namespace platform::ui {

class AnimationCompletionGroup;

class Transaction {
public:
    static void begin();
    // Commits the innermost transaction; does nothing (with a debug line)
    // without one.
    static void commit();

    static void setCompletionBlock(std::function<void()> completion);
    // The same, told whether every animation ran to its end.
    static void setCompletion(std::function<void(bool allFinished)> completion);

    static bool disableActions();
    static void setDisableActions(bool disable);
    // 0.25 s unless a transaction sets it.
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static std::optional<TimingFunction> animationTimingFunction();
    static void setAnimationTimingFunction(std::optional<TimingFunction> function);

    // Used by the animation stores: the groups that an animation added now
    // joins (one per open transaction), and the duration and timing function
    // set by an open transaction, if any.
    static std::vector<std::shared_ptr<AnimationCompletionGroup>> openGroups();
    static std::optional<double> explicitAnimationDuration();
    static std::optional<TimingFunction> explicitAnimationTimingFunction();
    static std::size_t depth();
};

}  // namespace platform::ui
