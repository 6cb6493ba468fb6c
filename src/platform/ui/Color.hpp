// A colour of the headless interface kit: red, green, blue and alpha as
// doubles from 0 to 1. Plain value; thread-safe.
#pragma once

namespace platform::ui {

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    static Color plainBlue() { return Color{0, 0, 1, 1}; }
    static Color black() { return Color{0, 0, 0, 1}; }
    static Color white() { return Color{1, 1, 1, 1}; }
    static Color clear() { return Color{0, 0, 0, 0}; }

    friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace platform::ui
