// Animations of layer properties, evaluated against the run loop's clock.
//
// `Animation` carries the media timing every kind shares (begin time,
// duration, speed, time offset, repetition, autoreverse, fill mode, removal on
// completion, timing function) and the start and stop callbacks;
// `PropertyAnimation` adds the key path it animates and the additive and
// cumulative flags. The concrete kinds are `BasicAnimation`,
// `SpringAnimation`, `KeyframeAnimation` and `AnimationGroup`.
//
// Animations are made with `create(...)`, configured, then added to a layer's
// `AnimationStore`, which keeps a copy: changing the caller's object later
// changes nothing that runs. Main thread only.
//
// Timing, in the animation's local time t = (parent time − begin time) ×
// speed + time offset:
// - a duration of 0 (or less) means the default, 0.25 s;
// - one iteration lasts the duration, twice that with autoreverse (the second
//   half plays backwards); the active period lasts the repeat duration when
//   set, else repeat count × iteration (one iteration when the count is 0);
//   a repeat count or duration at or above the largest single-precision
//   number means for ever;
// - before the begin time the animation shows only with fill mode backwards
//   or both (its first value), after its active period only with forwards or
//   both (its last value); a speed of 0 (or less) holds it at its time offset.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/animation/AnimatableValue.hpp"
#include "platform/ui/animation/TimingFunction.hpp"

namespace platform::ui {

enum class FillMode { removed, forwards, backwards, both };

class Animation {
public:
    static constexpr double defaultDuration = 0.25;
    // The largest single-precision number: as a repeat count, for ever.
    static constexpr double repeatForever = 3.4028234663852886e38;

    virtual ~Animation() = default;
    // A deep copy (what a store keeps).
    virtual std::shared_ptr<Animation> copy() const = 0;

    // Absolute time on the run loop's clock for an animation added to a
    // store (0: the time it is added); for a member of a group, seconds into
    // the group's iteration.
    double beginTime() const { return beginTime_; }
    void setBeginTime(double seconds) { beginTime_ = seconds; }
    double duration() const { return duration_; }
    void setDuration(double seconds) { duration_ = seconds; }
    double speed() const { return speed_; }
    void setSpeed(double speed) { speed_ = speed; }
    double timeOffset() const { return timeOffset_; }
    void setTimeOffset(double seconds) { timeOffset_ = seconds; }
    double repeatCount() const { return repeatCount_; }
    void setRepeatCount(double count) { repeatCount_ = count; }
    double repeatDuration() const { return repeatDuration_; }
    void setRepeatDuration(double seconds) { repeatDuration_ = seconds; }
    bool autoreverses() const { return autoreverses_; }
    void setAutoreverses(bool autoreverses) { autoreverses_ = autoreverses; }
    FillMode fillMode() const { return fillMode_; }
    void setFillMode(FillMode mode) { fillMode_ = mode; }
    bool isRemovedOnCompletion() const { return removedOnCompletion_; }
    void setRemovedOnCompletion(bool removed) { removedOnCompletion_ = removed; }
    // None: linear.
    const std::optional<TimingFunction>& timingFunction() const { return timingFunction_; }
    void setTimingFunction(std::optional<TimingFunction> function) { timingFunction_ = function; }

    // Called on the main run loop when the animation starts, and once when it
    // stops: finished true at the end of its active period, false when it was
    // removed (or replaced, or its store went away) before that.
    const std::function<void()>& didStart() const { return didStart_; }
    void setDidStart(std::function<void()> callback) { didStart_ = std::move(callback); }
    const std::function<void(bool finished)>& didStop() const { return didStop_; }
    void setDidStop(std::function<void(bool finished)> callback) { didStop_ = std::move(callback); }

    // Derived timing.
    double effectiveDuration() const;
    bool repeatsForever() const;
    // Length of the active period in local time; infinity for ever.
    double activeDuration() const;
    // Parent time at which the active period ends, for a given begin time;
    // infinity when it never ends.
    double endTime(double begin) const;

    // Where the animation stands at a parent time: `time` seconds into its
    // iteration (autoreverse applied), `fraction` = time / duration,
    // `progress` = the timing function of the fraction, `iteration` the
    // number of whole iterations before.
    struct Phase {
        double time = 0;
        double fraction = 0;
        double progress = 0;
        double iteration = 0;
    };
    // None when the animation has no effect at that time (fill mode).
    std::optional<Phase> phaseAt(double parentTime, double begin) const;

    // Whether the animation changes the property at `keyPath` (a canonical
    // key path), itself or a part of it.
    virtual bool affects(std::string_view keyPath) const = 0;
    // Folds the animation's effect at `parentTime` into `value`, the value of
    // `keyPath` as the animations before it left it.
    void apply(std::string_view keyPath, double parentTime, double begin, AnimatableValue& value) const;

protected:
    Animation() = default;
    Animation(const Animation&) = default;
    Animation& operator=(const Animation&) = default;

    virtual void applyPhase(std::string_view keyPath, const Phase& phase, AnimatableValue& value) const = 0;

private:
    double beginTime_ = 0;
    double duration_ = 0;
    double speed_ = 1;
    double timeOffset_ = 0;
    double repeatCount_ = 0;
    double repeatDuration_ = 0;
    bool autoreverses_ = false;
    FillMode fillMode_ = FillMode::removed;
    bool removedOnCompletion_ = true;
    std::optional<TimingFunction> timingFunction_;
    std::function<void()> didStart_;
    std::function<void(bool)> didStop_;
};

class PropertyAnimation : public Animation {
public:
    const std::string& keyPath() const { return keyPath_; }
    void setKeyPath(std::string keyPath);
    // Additive: the animated value is added to the value underneath
    // (unset from / to values are then relative to zero) instead of replacing it.
    bool isAdditive() const { return additive_; }
    void setAdditive(bool additive) { additive_ = additive; }
    // Cumulative: each iteration starts where the one before ended.
    bool isCumulative() const { return cumulative_; }
    void setCumulative(bool cumulative) { cumulative_ = cumulative; }

    bool affects(std::string_view keyPath) const override;

protected:
    PropertyAnimation() = default;
    explicit PropertyAnimation(std::string keyPath) { setKeyPath(std::move(keyPath)); }
    PropertyAnimation(const PropertyAnimation&) = default;

    void applyPhase(std::string_view keyPath, const Phase& phase, AnimatableValue& value) const override;
    // The animated value at `phase`, over `underlying` (the value so far, or
    // zero of its kind for an additive animation); none for no effect.
    virtual std::optional<AnimatableValue> valueAt(const Phase& phase, const AnimatableValue& underlying) const = 0;

private:
    void combine(const Phase& phase, AnimatableValue& value) const;

    std::string keyPath_;
    std::string canonicalKeyPath_;
    bool additive_ = false;
    bool cumulative_ = false;
};

}  // namespace platform::ui
