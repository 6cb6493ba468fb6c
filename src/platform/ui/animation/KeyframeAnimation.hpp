// A keyframe animation: one property through a list of values.
//
// Key times (fractions of the iteration, one per value, from 0 to 1, never
// decreasing) say when each value is reached; without valid key times the
// values are spread evenly. Calculation modes:
// - linear: interpolation between neighbouring values, each segment through
//   its own timing function when one is given (one fewer than the values);
// - discrete: each value holds until the next key time (spread evenly,
//   each value takes an equal share of the iteration);
// - paced: linear, with key times that give an even speed over the distances
//   between the values (numbers, points, sizes, rectangles; other kinds are
//   spread evenly); key times and timing functions are ignored;
// - cubic: a smooth (Catmull-Rom) curve through the values for numbers,
//   points, sizes, rectangles and colours; linear for the other kinds.
// Paths interpolate point by point (see Interpolation.hpp).
// Main thread only (see Animation.hpp).
#pragma once

#include <vector>

#include "platform/ui/animation/Animation.hpp"

namespace platform::ui {

class KeyframeAnimation : public PropertyAnimation {
public:
    enum class CalculationMode { linear, discrete, paced, cubic };

    static std::shared_ptr<KeyframeAnimation> create(std::string keyPath);
    std::shared_ptr<Animation> copy() const override;

    const std::vector<AnimatableValue>& values() const { return values_; }
    void setValues(std::vector<AnimatableValue> values);
    const std::vector<double>& keyTimes() const { return keyTimes_; }
    void setKeyTimes(std::vector<double> keyTimes);
    const std::vector<TimingFunction>& timingFunctions() const { return timingFunctions_; }
    void setTimingFunctions(std::vector<TimingFunction> functions) { timingFunctions_ = std::move(functions); }
    CalculationMode calculationMode() const { return mode_; }
    void setCalculationMode(CalculationMode mode);

protected:
    explicit KeyframeAnimation(std::string keyPath) : PropertyAnimation(std::move(keyPath)) {}
    KeyframeAnimation(const KeyframeAnimation&) = default;

    std::optional<AnimatableValue> valueAt(const Phase& phase, const AnimatableValue& underlying) const override;

private:
    void updateTimes();
    AnimatableValue cubicValue(std::size_t segment, double t) const;

    std::vector<AnimatableValue> values_;
    std::vector<double> keyTimes_;
    std::vector<TimingFunction> timingFunctions_;
    CalculationMode mode_ = CalculationMode::linear;
    // The key times in use (given, paced or even).
    std::vector<double> times_;
};

}  // namespace platform::ui
