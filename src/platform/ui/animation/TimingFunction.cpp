#include "platform/ui/animation/TimingFunction.hpp"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

// One coordinate of the curve at parameter s, with end points 0 and 1.
double bezier(double s, double p1, double p2) {
    const double r = 1 - s;
    return 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s;
}

double bezierDerivative(double s, double p1, double p2) {
    const double r = 1 - s;
    return 3 * r * r * p1 + 6 * r * s * (p2 - p1) + 3 * s * s * (1 - p2);
}

}  // namespace

TimingFunction::TimingFunction(double x1, double y1, double x2, double y2)
    : x1_(std::isfinite(x1) ? std::clamp(x1, 0.0, 1.0) : 0.0),
      y1_(std::isfinite(y1) ? y1 : 0.0),
      x2_(std::isfinite(x2) ? std::clamp(x2, 0.0, 1.0) : 1.0),
      y2_(std::isfinite(y2) ? y2 : 1.0) {}

TimingFunction TimingFunction::named(Name name) {
    switch (name) {
        case Name::linear: return TimingFunction(0, 0, 1, 1);
        case Name::easeIn: return TimingFunction(0.42, 0, 1, 1);
        case Name::easeOut: return TimingFunction(0, 0, 0.58, 1);
        case Name::easeInEaseOut: return TimingFunction(0.42, 0, 0.58, 1);
        case Name::systemDefault: return TimingFunction(0.25, 0.1, 0.25, 1);
    }
    return TimingFunction();
}

std::optional<TimingFunction> TimingFunction::fromName(std::string_view name) {
    if (name == "linear") return named(Name::linear);
    if (name == "easeIn") return named(Name::easeIn);
    if (name == "easeOut") return named(Name::easeOut);
    if (name == "easeInEaseOut") return named(Name::easeInEaseOut);
    if (name == "default") return named(Name::systemDefault);
    return std::nullopt;
}

double TimingFunction::value(double x) const {
    if (!(x > 0)) return 0;  // also NaN
    if (x >= 1) return 1;
    if (isLinear()) return x;
    // Solve bezier(s) = x for the curve parameter s: Newton's method from
    // s = x, falling back to bisection (x(s) is monotonic since the control
    // x coordinates lie in 0...1).
    constexpr double epsilon = 1e-9;
    double s = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(s, x1_, x2_) - x;
        if (std::abs(error) < epsilon) return bezier(s, y1_, y2_);
        const double slope = bezierDerivative(s, x1_, x2_);
        if (std::abs(slope) < 1e-7) break;
        s -= error / slope;
        if (s < 0 || s > 1) break;
    }
    double low = 0, high = 1;
    s = x;
    for (int i = 0; i < 60; ++i) {
        const double current = bezier(s, x1_, x2_);
        if (std::abs(current - x) < epsilon) break;
        if (current < x) low = s;
        else high = s;
        s = (low + high) / 2;
    }
    return bezier(s, y1_, y2_);
}

}  // namespace platform::ui
