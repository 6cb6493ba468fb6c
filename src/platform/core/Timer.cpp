#include "platform/core/Timer.hpp"

#include <cmath>

#include "platform/core/RunLoop.hpp"

namespace platform::core {

Timer::Timer(double interval, bool repeats, Block block)
    : interval_(interval > 0.0001 ? interval : 0.0001), repeats_(repeats), block_(std::move(block)) {}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Block block) {
    auto timer = std::shared_ptr<Timer>(new Timer(interval, repeats, std::move(block)));
    timer->start_ = RunLoop::main().now();
    timer->fires_ = 1;
    timer->scheduleNext();
    return timer;
}

void Timer::scheduleNext() {
    const double deadline = start_ + static_cast<double>(fires_) * interval_;
    // The run loop holds the timer while it is scheduled.
    RunLoop::main().asyncAt(deadline, [self = shared_from_this()] {
        if (!self->valid_) return;
        if (!self->repeats_) self->valid_ = false;
        // A copy: the block may invalidate its own timer.
        if (auto block = self->block_) block(*self);
        if (!self->repeats_ || !self->valid_) {
            self->block_ = nullptr;  // drop captures once the timer is done
            return;
        }
        // Coalesce missed fires: the next fire is the first one still ahead.
        const double now = RunLoop::main().now();
        const double elapsed = (now - self->start_) / self->interval_;
        self->fires_ = std::max(self->fires_ + 1, static_cast<long long>(std::floor(elapsed)) + 1);
        self->scheduleNext();
    });
}

void Timer::invalidate() {
    valid_ = false;
    block_ = nullptr;
}

void Timer::fire() {
    if (!valid_) return;
    if (auto block = block_) block(*this);
}

}  // namespace platform::core
