// A spring animation: a basic animation whose progress from the first value
// to the second follows a damped harmonic oscillator (a mass on a spring with
// a damper) released at the first value with an initial velocity, instead of
// a timing function. Under-damped springs overshoot the second value and
// swing back; the spring runs for the animation's duration (set it to
// `settlingDuration()` to see it come to rest).
//
// `viewSpring` makes the spring of a view animation: a damping ratio (1 = no
// overshoot, smaller = more bounce) and an initial velocity in distances per
// second, settling at the target within the given duration.
// Main thread only (see Animation.hpp).
#pragma once

#include "platform/ui/animation/BasicAnimation.hpp"

namespace platform::ui {

class SpringAnimation : public BasicAnimation {
public:
    static std::shared_ptr<SpringAnimation> create(std::string keyPath);
    // A spring that settles (within a thousandth of the distance) by
    // `duration`, whose duration it takes. Damping ratios below 0.05 count as
    // 0.05, so that the spring settles at all.
    static std::shared_ptr<SpringAnimation> viewSpring(std::string keyPath, double dampingRatio,
                                                       double initialVelocity, double duration);
    std::shared_ptr<Animation> copy() const override;

    // Defaults: mass 1, stiffness 100, damping 10, initial velocity 0
    // (positive: towards the target, in distances per second).
    double mass() const { return mass_; }
    void setMass(double mass) { mass_ = mass; }
    double stiffness() const { return stiffness_; }
    void setStiffness(double stiffness) { stiffness_ = stiffness; }
    double damping() const { return damping_; }
    void setDamping(double damping) { damping_ = damping; }
    double initialVelocity() const { return initialVelocity_; }
    void setInitialVelocity(double velocity) { initialVelocity_ = velocity; }

    // Time after which the spring stays within a thousandth of the distance
    // from its target.
    double settlingDuration() const;
    // Position at `seconds` after release, 0 at the first value, 1 at the second.
    double position(double seconds) const;

protected:
    explicit SpringAnimation(std::string keyPath) : BasicAnimation(std::move(keyPath)) {}
    SpringAnimation(const SpringAnimation&) = default;

    double progressAt(const Phase& phase) const override { return position(phase.time); }

private:
    struct Motion;
    Motion motion() const;

    double mass_ = 1;
    double stiffness_ = 100;
    double damping_ = 10;
    double initialVelocity_ = 0;
};

}  // namespace platform::ui
