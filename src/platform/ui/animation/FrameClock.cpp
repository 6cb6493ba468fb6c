#include "platform/ui/animation/FrameClock.hpp"

#include "platform/core/RunLoop.hpp"

namespace platform::ui {

namespace {
std::optional<double> frameTime;  // main thread only
}  // namespace

double FrameClock::now() { return frameTime ? *frameTime : core::RunLoop::main().now(); }

FrameClock::Scope::Scope(double time) : previous_(frameTime) { frameTime = time; }

FrameClock::Scope::~Scope() { frameTime = previous_; }

}  // namespace platform::ui
