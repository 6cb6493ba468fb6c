// A group of animations timed together: each member's begin time, duration
// and repetition are read in the group's local time (0 = the start of each
// iteration of the group), and the group's duration cuts them off. The
// group's own timing function bends the time its members see. Members'
// removal flags and callbacks play no part; the group's own do.
// Main thread only (see Animation.hpp).
#pragma once

#include <vector>

#include "platform/ui/animation/Animation.hpp"

namespace platform::ui {

class AnimationGroup : public Animation {
public:
    static std::shared_ptr<AnimationGroup> create();
    std::shared_ptr<Animation> copy() const override;

    const std::vector<std::shared_ptr<Animation>>& animations() const { return animations_; }
    // Keeps copies of the members.
    void setAnimations(const std::vector<std::shared_ptr<Animation>>& animations);

    bool affects(std::string_view keyPath) const override;

protected:
    AnimationGroup() = default;
    AnimationGroup(const AnimationGroup& other);

    void applyPhase(std::string_view keyPath, const Phase& phase, AnimatableValue& value) const override;

private:
    std::vector<std::shared_ptr<Animation>> animations_;
};

}  // namespace platform::ui
