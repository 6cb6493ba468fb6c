// Test drivers of touches: a user's taps, drags and presses on a window, made
// through the window's own entry point (`Window::sendTouch`, hit testing
// then gesture recognisers and controls), timed on the main run loop's clock
// (a manual clock is advanced, a real one waited on). Each runs the run loop
// until idle after the touch lifts. Main thread.
//
//   testsupport::tap(*window, {100, 100});
//   testsupport::drag(*window, {50, 50}, {150, 90}, 0.5, 5);
#pragma once

#include "platform/graphics/Geometry.hpp"

namespace platform::ui {
class Window;
}

namespace testsupport {

// Down and up at once at `at`.
void tap(platform::ui::Window& window, platform::graphics::Point at);
// Down at `from`, held still for `rest` seconds, then `steps` equal moves over
// `duration` seconds, lifting at `to` with the last move.
void drag(platform::ui::Window& window, platform::graphics::Point from, platform::graphics::Point to,
          double duration, int steps = 10, double rest = 0);
// Down at `at`, held for `duration` seconds, then up.
void longPress(platform::ui::Window& window, platform::graphics::Point at, double duration);

}  // namespace testsupport
