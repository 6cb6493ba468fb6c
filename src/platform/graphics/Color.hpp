// A colour: red, green, blue and alpha as
// doubles from 0 to 1, compared exactly. The platform's named colours are
// opaque; the greys are white levels (gray 0.5, lightGray 2/3, darkGray 1/3).
// Plain value; thread-safe.
#pragma once

namespace platform::graphics {

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    // A grey of `white` level (0 black, 1 white) in each of red, green and blue.
    static constexpr Color fromWhite(double level, double alpha = 1.0) { return Color{level, level, level, alpha}; }

    static constexpr Color black() { return fromWhite(0.0); }
    static constexpr Color darkGray() { return fromWhite(1.0 / 3.0); }
    static constexpr Color gray() { return fromWhite(0.5); }
    static constexpr Color lightGray() { return fromWhite(2.0 / 3.0); }
    static constexpr Color white() { return fromWhite(1.0); }
    static constexpr Color clear() { return Color{0, 0, 0, 0}; }
    // The primaries; "plain" because red, green and blue name the components.
    static constexpr Color plainRed() { return Color{1, 0, 0, 1}; }
    static constexpr Color plainGreen() { return Color{0, 1, 0, 1}; }
    static constexpr Color plainBlue() { return Color{0, 0, 1, 1}; }
    static constexpr Color cyan() { return Color{0, 1, 1, 1}; }
    static constexpr Color yellow() { return Color{1, 1, 0, 1}; }
    static constexpr Color magenta() { return Color{1, 0, 1, 1}; }
    static constexpr Color orange() { return Color{1, 0.5, 0, 1}; }
    static constexpr Color purple() { return Color{0.5, 0, 0.5, 1}; }
    static constexpr Color brown() { return Color{0.6, 0.4, 0.2, 1}; }

    // This colour with its alpha replaced.
    constexpr Color withAlphaComponent(double newAlpha) const { return Color{red, green, blue, newAlpha}; }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

}  // namespace platform::graphics

// The interface kit takes these values as its own and names them unqualified.
namespace platform::ui {
using graphics::Color;
}  // namespace platform::ui
