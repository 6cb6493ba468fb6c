// Small numeric helpers shared by the transition properties: the state of a
// raw value, a quotient that refuses a zero or non-finite result, and the
// clamp to 0...1. Internal to the presentation; pure.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvane::transition {

// numerator / denominator, or none when the denominator is 0 or the result is
// not a finite number.
inline std::optional<double> divide(double numerator, double denominator) {
    if (denominator == 0) return std::nullopt;
    const double q = numerator / denominator;
    if (!std::isfinite(q)) return std::nullopt;
    return q;
}

// `value` within 0...1; none when it is not a number.
inline std::optional<double> clamp01(double value) {
    if (std::isnan(value)) return std::nullopt;
    return std::min(std::max(value, 0.0), 1.0);
}

// `value` when finite, else none: what a property applies.
inline std::optional<double> finite(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace orvane::transition
