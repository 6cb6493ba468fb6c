// A timing function of the animation engine: a cubic Bézier curve from (0, 0)
// to (1, 1) with two control points, mapping the elapsed fraction of an
// animation's iteration (x) to the fraction of its change (y). Made by name
// with the platform's control points, or from any control points. Plain value,
// thread-safe.
#pragma once

#include <optional>
#include <string_view>

namespace platform::ui {

class TimingFunction {
public:
    enum class Name { linear, easeIn, easeOut, easeInEaseOut, systemDefault };

    // Linear.
    constexpr TimingFunction() = default;
    // Control points (x1, y1) and (x2, y2); x coordinates are clamped to 0...1
    // so that the curve is a function of x.
    TimingFunction(double x1, double y1, double x2, double y2);

    static TimingFunction named(Name name);
    // "linear", "easeIn", "easeOut", "easeInEaseOut", "default"; none for other texts.
    static std::optional<TimingFunction> fromName(std::string_view name);

    // y for x (x clamped to 0...1).
    double value(double x) const;

    double x1() const { return x1_; }
    double y1() const { return y1_; }
    double x2() const { return x2_; }
    double y2() const { return y2_; }
    bool isLinear() const { return x1_ == y1_ && x2_ == y2_; }

    friend bool operator==(const TimingFunction&, const TimingFunction&) = default;

private:
    double x1_ = 0, y1_ = 0, x2_ = 1, y2_ = 1;
};

}  // namespace platform::ui
