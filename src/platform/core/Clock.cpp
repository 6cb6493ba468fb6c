#include "platform/core/Clock.hpp"

namespace platform::core {

SystemClock::SystemClock()
    : wallAtStart_(std::chrono::duration<double>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count()),
      steadyAtStart_(std::chrono::steady_clock::now()) {}

double SystemClock::now() const {
    return wallAtStart_ +
           std::chrono::duration<double>(std::chrono::steady_clock::now() - steadyAtStart_).count();
}

}  // namespace platform::core
