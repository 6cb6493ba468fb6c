#include "platform/ui/animation/KeyframeAnimation.hpp"

#include <algorithm>
#include <cmath>

#include "platform/ui/animation/Interpolation.hpp"

namespace platform::ui {

std::shared_ptr<KeyframeAnimation> KeyframeAnimation::create(std::string keyPath) {
    return std::shared_ptr<KeyframeAnimation>(new KeyframeAnimation(std::move(keyPath)));
}

std::shared_ptr<Animation> KeyframeAnimation::copy() const {
    return std::shared_ptr<KeyframeAnimation>(new KeyframeAnimation(*this));
}

void KeyframeAnimation::setValues(std::vector<AnimatableValue> values) {
    values_ = std::move(values);
    updateTimes();
}

void KeyframeAnimation::setKeyTimes(std::vector<double> keyTimes) {
    keyTimes_ = std::move(keyTimes);
    updateTimes();
}

void KeyframeAnimation::setCalculationMode(CalculationMode mode) {
    mode_ = mode;
    updateTimes();
}

void KeyframeAnimation::updateTimes() {
    const std::size_t n = values_.size();
    times_.assign(n, 0.0);
    if (n == 0) return;
    if (mode_ == CalculationMode::paced && n > 1) {
        std::vector<double> along(n, 0.0);
        bool measurable = true;
        for (std::size_t i = 1; i < n && measurable; ++i) {
            const auto d = distance(values_[i - 1], values_[i]);
            measurable = d.has_value() && std::isfinite(*d);
            if (measurable) along[i] = along[i - 1] + *d;
        }
        if (measurable && along.back() > 0) {
            for (std::size_t i = 0; i < n; ++i) times_[i] = along[i] / along.back();
            return;
        }
    } else if (mode_ != CalculationMode::paced && keyTimes_.size() == n) {
        bool valid = true;
        for (std::size_t i = 0; i < n && valid; ++i) {
            valid = keyTimes_[i] >= 0 && keyTimes_[i] <= 1 && (i == 0 || keyTimes_[i] >= keyTimes_[i - 1]);
        }
        if (valid) {
            times_ = keyTimes_;
            return;
        }
    }
    // Evenly: n values over n − 1 steps; discrete values each hold 1/n.
    const double steps = mode_ == CalculationMode::discrete ? double(n) : double(n > 1 ? n - 1 : 1);
    for (std::size_t i = 0; i < n; ++i) times_[i] = double(i) / steps;
}

AnimatableValue KeyframeAnimation::cubicValue(std::size_t i, double t) const {
    // Catmull-Rom through p1 = values[i] and p2 = values[i + 1], with the
    // tangents (p2 − p0) / 2 and (p3 − p1) / 2 (end values repeated).
    const auto& p1 = values_[i];
    const auto& p2 = values_[i + 1];
    const auto& p0 = i > 0 ? values_[i - 1] : p1;
    const auto& p3 = i + 2 < values_.size() ? values_[i + 2] : p2;
    const double t2 = t * t, t3 = t2 * t;
    const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t, h01 = -2 * t3 + 3 * t2, h11 = t3 - t2;
    auto d1 = subtract(p2, p0);
    auto d2 = subtract(p3, p1);
    if (d1 && d2) {
        auto a = multiply(p1, h00);
        auto b = multiply(*d1, h10 / 2);
        auto c = multiply(p2, h01);
        auto d = multiply(*d2, h11 / 2);
        if (a && b && c && d) {
            auto ab = add(*a, *b);
            auto cd = add(*c, *d);
            if (ab && cd)
                if (auto sum = add(*ab, *cd)) return *std::move(sum);
        }
    }
    return interpolate(p1, p2, t);
}

std::optional<AnimatableValue> KeyframeAnimation::valueAt(const Phase& phase, const AnimatableValue&) const {
    const std::size_t n = values_.size();
    if (n == 0) return std::nullopt;
    const double p = phase.progress;
    AnimatableValue value;
    if (n == 1) {
        value = values_[0];
    } else if (mode_ == CalculationMode::discrete) {
        std::size_t i = 0;
        while (i + 1 < n && times_[i + 1] <= p) ++i;
        value = values_[i];
    } else if (p <= times_.front()) {
        value = values_.front();
    } else if (p >= times_.back()) {
        value = values_.back();
    } else {
        // The segment [times[i], times[i + 1]) holding p.
        const auto it = std::upper_bound(times_.begin(), times_.end(), p);
        const std::size_t i = std::size_t(it - times_.begin()) - 1;
        const double span = times_[i + 1] - times_[i];
        double t = span > 0 ? (p - times_[i]) / span : 1.0;
        if (mode_ != CalculationMode::paced && i < timingFunctions_.size()) t = timingFunctions_[i].value(t);
        value = mode_ == CalculationMode::cubic ? cubicValue(i, t) : interpolate(values_[i], values_[i + 1], t);
    }
    if (isCumulative() && phase.iteration > 0) {
        if (auto step = subtract(values_.back(), values_.front()))
            if (auto steps = multiply(*step, phase.iteration))
                if (auto sum = add(value, *steps)) value = *std::move(sum);
    }
    return value;
}

}  // namespace platform::ui
