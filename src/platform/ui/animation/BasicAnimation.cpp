#include "platform/ui/animation/BasicAnimation.hpp"

#include "platform/ui/animation/Interpolation.hpp"

namespace platform::ui {

std::shared_ptr<BasicAnimation> BasicAnimation::create(std::string keyPath) {
    return std::shared_ptr<BasicAnimation>(new BasicAnimation(std::move(keyPath)));
}

std::shared_ptr<Animation> BasicAnimation::copy() const {
    return std::shared_ptr<BasicAnimation>(new BasicAnimation(*this));
}

std::optional<AnimatableValue> BasicAnimation::valueAt(const Phase& phase, const AnimatableValue& underlying) const {
    std::optional<AnimatableValue> a, b;
    if (from_ && to_) {
        a = from_, b = to_;
    } else if (from_ && by_) {
        a = from_, b = add(*from_, *by_);
    } else if (by_ && to_) {
        a = subtract(*to_, *by_), b = to_;
    } else if (from_) {
        a = from_, b = underlying;
    } else if (to_) {
        a = underlying, b = to_;
    } else if (by_) {
        a = underlying, b = add(underlying, *by_);
    } else {
        return std::nullopt;
    }
    if (!a || !b) return std::nullopt;
    AnimatableValue value = interpolate(*a, *b, progressAt(phase));
    if (isCumulative() && phase.iteration > 0) {
        if (auto step = subtract(*b, *a))
            if (auto steps = multiply(*step, phase.iteration))
                if (auto sum = add(value, *steps)) value = *std::move(sum);
    }
    return value;
}

}  // namespace platform::ui
