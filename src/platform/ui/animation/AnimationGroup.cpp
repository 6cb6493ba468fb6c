#include "platform/ui/animation/AnimationGroup.hpp"

namespace platform::ui {

std::shared_ptr<AnimationGroup> AnimationGroup::create() {
    return std::shared_ptr<AnimationGroup>(new AnimationGroup());
}

AnimationGroup::AnimationGroup(const AnimationGroup& other) : Animation(other) {
    setAnimations(other.animations_);
}

std::shared_ptr<Animation> AnimationGroup::copy() const {
    return std::shared_ptr<AnimationGroup>(new AnimationGroup(*this));
}

void AnimationGroup::setAnimations(const std::vector<std::shared_ptr<Animation>>& animations) {
    std::vector<std::shared_ptr<Animation>> copies;
    copies.reserve(animations.size());
    for (const auto& animation : animations)
        if (animation) copies.push_back(animation->copy());
    animations_ = std::move(copies);
}

bool AnimationGroup::affects(std::string_view keyPath) const {
    for (const auto& animation : animations_)
        if (animation->affects(keyPath)) return true;
    return false;
}

void AnimationGroup::applyPhase(std::string_view keyPath, const Phase& phase, AnimatableValue& value) const {
    // The members' clock: seconds into the group's iteration, bent by the
    // group's timing function.
    const double time = phase.progress * effectiveDuration();
    for (const auto& animation : animations_)
        if (animation->affects(keyPath)) animation->apply(keyPath, time, animation->beginTime(), value);
}

}  // namespace platform::ui
