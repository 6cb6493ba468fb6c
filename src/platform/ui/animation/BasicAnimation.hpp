// A basic animation: one property from one value to another over each
// iteration. Which two values, by the values set:
//   from and to: from → to;        from and by: from → from + by;
//   by and to: to − by → to;       from only: from → the value underneath;
//   to only: the value underneath → to;   by only: underneath → underneath + by;
//   none: no visible change.
// "The value underneath" is the model value as the animations added before
// this one leave it (zero of its kind for an additive animation).
// Main thread only (see Animation.hpp).
#pragma once

#include "platform/ui/animation/Animation.hpp"

namespace platform::ui {

class BasicAnimation : public PropertyAnimation {
public:
    static std::shared_ptr<BasicAnimation> create(std::string keyPath);
    std::shared_ptr<Animation> copy() const override;

    const std::optional<AnimatableValue>& fromValue() const { return from_; }
    void setFromValue(std::optional<AnimatableValue> value) { from_ = std::move(value); }
    const std::optional<AnimatableValue>& toValue() const { return to_; }
    void setToValue(std::optional<AnimatableValue> value) { to_ = std::move(value); }
    const std::optional<AnimatableValue>& byValue() const { return by_; }
    void setByValue(std::optional<AnimatableValue> value) { by_ = std::move(value); }

protected:
    explicit BasicAnimation(std::string keyPath) : PropertyAnimation(std::move(keyPath)) {}
    BasicAnimation(const BasicAnimation&) = default;

    std::optional<AnimatableValue> valueAt(const Phase& phase, const AnimatableValue& underlying) const override;
    // How far from the first value to the second the animation stands.
    virtual double progressAt(const Phase& phase) const { return phase.progress; }

private:
    std::optional<AnimatableValue> from_;
    std::optional<AnimatableValue> to_;
    std::optional<AnimatableValue> by_;
};

}  // namespace platform::ui
