// What the animation engine needs of an animated object (a layer): its
// animation store and the model value of each animatable key path. The
// object reports each change of an animatable property's model value to
// `ViewAnimation::propertyDidChange`, so that a view animation block running
// at that moment turns it into an animation. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "platform/ui/animation/AnimatableValue.hpp"
#include "platform/ui/animation/AnimationStore.hpp"

namespace platform::ui {

class AnimationTarget {
public:
    AnimationTarget() = default;
    // A copy is another object: it gets its own lifetime token.
    AnimationTarget(const AnimationTarget&) : alive_(std::make_shared<int>(0)) {}
    AnimationTarget& operator=(const AnimationTarget&) { return *this; }
    virtual ~AnimationTarget() = default;

    virtual AnimationStore& animations() = 0;
    // None for a key path the object does not have.
    virtual std::optional<AnimatableValue> modelValue(std::string_view keyPath) const = 0;

    // Expires with the object: lets a recorder that holds the object by
    // address find out that it has gone.
    std::weak_ptr<const void> lifetime() const { return alive_; }

private:
    std::shared_ptr<const int> alive_ = std::make_shared<int>(0);
};

}  // namespace platform::ui
