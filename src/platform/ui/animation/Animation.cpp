#include "platform/ui/animation/Animation.hpp"

#include <cmath>
#include <limits>

#include "platform/ui/animation/Interpolation.hpp"

namespace platform::ui {

namespace {
constexpr double infinity = std::numeric_limits<double>::infinity();
}

double Animation::effectiveDuration() const {
    return duration_ > 0 && std::isfinite(duration_) ? duration_ : defaultDuration;
}

bool Animation::repeatsForever() const {
    return repeatCount_ >= repeatForever || repeatDuration_ >= repeatForever;
}

double Animation::activeDuration() const {
    if (repeatsForever()) return infinity;
    const double iteration = effectiveDuration() * (autoreverses_ ? 2 : 1);
    if (repeatDuration_ > 0) return repeatDuration_;
    if (repeatCount_ > 0) return iteration * repeatCount_;
    return iteration;
}

double Animation::endTime(double begin) const {
    const double active = activeDuration();
    if (!std::isfinite(active) || !(speed_ > 0)) return infinity;
    return begin + active / speed_;
}

std::optional<Animation::Phase> Animation::phaseAt(double parentTime, double begin) const {
    const double d = effectiveDuration();
    const double cycle = autoreverses_ ? 2 * d : d;
    const double active = activeDuration();
    const bool fillsBackwards = fillMode_ == FillMode::backwards || fillMode_ == FillMode::both;
    const bool fillsForwards = fillMode_ == FillMode::forwards || fillMode_ == FillMode::both;
    const double speed = speed_ > 0 ? speed_ : 0.0;

    double elapsed = (parentTime - begin) * speed;
    if (!std::isfinite(elapsed)) elapsed = 0;
    if (parentTime < begin) {
        if (!fillsBackwards) return std::nullopt;
        elapsed = 0;
    }

    double t;          // local time in the active period
    bool atEnd = false;
    if (elapsed >= active) {
        if (!fillsForwards) return std::nullopt;
        t = active;
        atEnd = true;
    } else {
        t = elapsed + timeOffset_;
        if (std::isfinite(active) && active > 0 && (t >= active || t < 0)) {
            t = std::fmod(t, active);
            if (t < 0) t += active;
        }
    }

    Phase phase;
    double iteration = std::floor(t / cycle);
    double within = t - iteration * cycle;
    if (atEnd && within <= 0 && iteration > 0) {
        // The end of the last iteration, not the start of one more.
        iteration -= 1;
        within = cycle;
    }
    if (within > d) within = 2 * d - within;  // playing backwards
    phase.time = std::max(0.0, std::min(within, d));
    phase.fraction = phase.time / d;
    phase.progress = timingFunction_ ? timingFunction_->value(phase.fraction) : phase.fraction;
    phase.iteration = iteration;
    return phase;
}

void Animation::apply(std::string_view keyPath, double parentTime, double begin, AnimatableValue& value) const {
    if (auto phase = phaseAt(parentTime, begin)) applyPhase(keyPath, *phase, value);
}

void PropertyAnimation::setKeyPath(std::string keyPath) {
    keyPath_ = std::move(keyPath);
    canonicalKeyPath_ = std::string(canonicalKeyPath(keyPath_));
}

bool PropertyAnimation::affects(std::string_view keyPath) const {
    return canonicalKeyPath_ == keyPath || !subKeyPath(keyPath, canonicalKeyPath_).empty();
}

void PropertyAnimation::applyPhase(std::string_view keyPath, const Phase& phase, AnimatableValue& value) const {
    if (canonicalKeyPath_ == keyPath) {
        combine(phase, value);
        return;
    }
    const auto part = subKeyPath(keyPath, canonicalKeyPath_);
    if (part.empty()) return;
    auto component = componentValue(value, part);
    if (!component) return;
    combine(phase, *component);
    setComponentValue(value, part, *component);
}

void PropertyAnimation::combine(const Phase& phase, AnimatableValue& value) const {
    if (!additive_) {
        auto animated = valueAt(phase, value);
        // A value of another kind than the property's is ignored.
        if (animated && sameKind(*animated, value)) value = *std::move(animated);
        return;
    }
    const auto zero = subtract(value, value);
    auto animated = valueAt(phase, zero ? *zero : value);
    if (!animated) return;
    if (auto sum = add(value, *animated)) value = *std::move(sum);
}

}  // namespace platform::ui
