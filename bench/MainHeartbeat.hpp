// A task on the main run loop every millisecond that notes how late it ran:
// the longest the main thread was busy with something else while a benchmark
// ran. Start it before the work, stop it after; main thread only.
#pragma once

#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/core/RunLoop.hpp"

namespace benchsupport {

class MainHeartbeat : public std::enable_shared_from_this<MainHeartbeat> {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kPeriod = 0.001;

    void start() {
        due_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kPeriod));
        platform::core::RunLoop::main().asyncAfter(kPeriod, [self = shared_from_this()] { self->beat(); });
    }
    void stop() { stopped_ = true; }
    double longestSeconds() const { return longest_; }

private:
    void beat() {
        if (stopped_) return;
        longest_ = std::max(longest_, std::chrono::duration<double>(Clock::now() - due_).count());
        start();
    }
    Clock::time_point due_{};
    double longest_ = 0;
    bool stopped_ = false;
};

}  // namespace benchsupport
