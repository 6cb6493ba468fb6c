// A timer on the main run loop: one-shot or repeating. A repeating timer fires
// at t0 + k·interval; fires missed while the loop was busy coalesce into one,
// and the next fire is the first such time still ahead. The run loop keeps a
// scheduled timer alive until it is invalidated (a one-shot timer: until it
// has fired). Main-thread only.
#pragma once

#include <functional>
#include <memory>

namespace platform::core {

class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Block = std::function<void(Timer&)>;

    // Schedules a new timer on RunLoop::main(); the first fire is `interval`
    // seconds from now.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Block block);

    void invalidate();
    bool isValid() const { return valid_; }
    double timeInterval() const { return interval_; }
    // Runs the block now, as a fire would, without changing the schedule.
    void fire();

private:
    Timer(double interval, bool repeats, Block block);
    void scheduleNext();

    double interval_;
    bool repeats_;
    Block block_;
    bool valid_ = true;
    double start_ = 0;
    long long fires_ = 0;  // index k of the next scheduled fire
};

}  // namespace platform::core
