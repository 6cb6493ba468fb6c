#include "platform/ui/animation/AnimationCompletionGroup.hpp"

#include "platform/core/RunLoop.hpp"

namespace platform::ui {

std::shared_ptr<AnimationCompletionGroup> AnimationCompletionGroup::create() {
    return std::shared_ptr<AnimationCompletionGroup>(new AnimationCompletionGroup());
}

void AnimationCompletionGroup::leave(bool finished) {
    if (pending_ > 0) --pending_;
    if (!finished) allFinished_ = false;
    completeIfDone();
}

void AnimationCompletionGroup::close() {
    if (closed_) return;
    closed_ = true;
    if (pending_ == 0) {
        platform::core::RunLoop::main().async([self = shared_from_this()] { self->completeIfDone(); });
    }
}

void AnimationCompletionGroup::completeIfDone() {
    if (!closed_ || pending_ > 0 || completed_) return;
    completed_ = true;
    auto completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion(allFinished_);
}

}  // namespace platform::ui
