#include "support/TouchDriver.hpp"

#include <algorithm>

#include "platform/core/Clock.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/Touch.hpp"
#include "platform/ui/views/Window.hpp"

namespace testsupport {

using platform::graphics::Point;
using platform::ui::TouchPhase;

namespace {

// Lets `seconds` pass on the main run loop's clock, running what falls due.
void letTimePass(double seconds) {
    auto& loop = platform::core::RunLoop::main();
    if (seconds <= 0) {
        loop.runUntilIdle();
        return;
    }
    if (dynamic_cast<platform::core::ManualClock*>(&loop.clock())) {
        loop.advance(seconds);
    } else {
        const double deadline = loop.now() + seconds;
        loop.runUntil([&] { return loop.now() >= deadline; }, seconds + 1);
    }
}

}  // namespace

void tap(platform::ui::Window& window, Point at) {
    window.sendTouch(0, TouchPhase::began, at);
    window.sendTouch(0, TouchPhase::ended, at);
    platform::core::RunLoop::main().runUntilIdle();
}

void drag(platform::ui::Window& window, Point from, Point to, double duration, int steps, double rest) {
    steps = std::max(1, steps);
    window.sendTouch(0, TouchPhase::began, from);
    if (rest > 0) letTimePass(rest);
    for (int i = 1; i <= steps; ++i) {
        letTimePass(duration / steps);
        const double f = static_cast<double>(i) / steps;
        window.sendTouch(0, TouchPhase::moved, {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f});
    }
    window.sendTouch(0, TouchPhase::ended, to);
    platform::core::RunLoop::main().runUntilIdle();
}

void longPress(platform::ui::Window& window, Point at, double duration) {
    window.sendTouch(0, TouchPhase::began, at);
    letTimePass(duration);
    window.sendTouch(0, TouchPhase::ended, at);
    platform::core::RunLoop::main().runUntilIdle();
}

}  // namespace testsupport
