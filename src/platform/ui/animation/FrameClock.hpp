// The time one frame is drawn at. While a frame is drawn (a `Scope` lives),
// every presentation value is taken at the frame's time, so the clock is read
// once per frame and all animations, springs and transitions of the frame
// agree; outside a frame it is the main run loop's clock. Main thread only.
#pragma once

#include <optional>

namespace platform::ui {

class FrameClock {
public:
    // The frame's time while a scope lives; the run loop's clock otherwise.
    static double now();

    // Fixes the time for its lifetime; scopes nest (the inner one wins).
    class Scope {
    public:
        explicit Scope(double frameTime);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::optional<double> previous_;
    };
};

}  // namespace platform::ui
