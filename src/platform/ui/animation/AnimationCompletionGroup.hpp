// Waits for a set of animations to end: the completion of a transaction or
// of a view animation block. Each animation added while the group is open
// joins it; the completion runs once, on the main run loop, when the group is
// closed and every member has ended or been removed; with `allFinished` false
// when any member was removed before its end. A group closed with no member
// completes on the next turn of the run loop. Main thread only; shared by the
// transaction that opened it and the store entries of its members.
#pragma once

#include <functional>
#include <memory>

namespace platform::ui {

class AnimationCompletionGroup : public std::enable_shared_from_this<AnimationCompletionGroup> {
public:
    static std::shared_ptr<AnimationCompletionGroup> create();

    void setCompletion(std::function<void(bool allFinished)> completion) { completion_ = std::move(completion); }
    bool hasCompletion() const { return static_cast<bool>(completion_); }

    // An animation joined.
    void join() { ++pending_; }
    // A member ended (`finished`) or was removed.
    void leave(bool finished);
    // No more members will join.
    void close();

private:
    AnimationCompletionGroup() = default;
    void completeIfDone();

    std::function<void(bool)> completion_;
    int pending_ = 0;
    bool closed_ = false;
    bool completed_ = false;
    bool allFinished_ = true;
};

}  // namespace platform::ui
