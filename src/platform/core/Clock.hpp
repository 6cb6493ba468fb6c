// Clocks of the run loop. Time is a double count of seconds since 1970 (the
// platform's date reference), so `Date::now()` and run-loop deadlines read the
// same value. The system clock advances monotonically from the wall time at
// its creation; the manual clock only moves when a test moves it.
//
// Thread-safe: `now()` may be read from any thread.
#pragma once

#include <atomic>
#include <chrono>

namespace platform::core {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01T00:00:00Z.
    virtual double now() const = 0;
    // True when time passes by itself (waiting for a deadline makes sense).
    virtual bool isReal() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock();
    double now() const override;
    bool isReal() const override { return true; }

private:
    double wallAtStart_;
    std::chrono::steady_clock::time_point steadyAtStart_;
};

class ManualClock final : public Clock {
public:
    // Starts at 2026-01-01T00:00:00Z unless told otherwise.
    explicit ManualClock(double start = 1767225600.0) : now_(start) {}
    double now() const override { return now_.load(std::memory_order_acquire); }
    bool isReal() const override { return false; }
    void set(double seconds) { now_.store(seconds, std::memory_order_release); }
    void advance(double seconds) { set(now() + seconds); }

private:
    std::atomic<double> now_;
};

}  // namespace platform::core
