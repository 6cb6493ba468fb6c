// The main queue: a run loop that the host drives with `run()` and tests drive
// with `runUntilIdle()`, `advance(seconds)` or `runUntil(predicate, timeout)`.
//
// Tasks posted with `async` run in FIFO order; tasks posted with `asyncAfter`
// run once their deadline has passed, ordered by deadline and then by posting
// order. Posting is safe from any thread; tasks run on the thread that drives
// the loop (the main thread). The clock is replaceable: tests install a
// ManualClock so that delays pass without sleeping.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <thread>
#include <vector>

#include "platform/core/Clock.hpp"

namespace platform::core {

class RunLoop {
public:
    using Task = std::function<void()>;

    // The process's main run loop (created on first use).
    static RunLoop& main();

    RunLoop();
    ~RunLoop();
    RunLoop(const RunLoop&) = delete;
    RunLoop& operator=(const RunLoop&) = delete;

    // Posts a task to run as soon as possible, after every task posted before it.
    void async(Task task);
    // Posts a task to run once `delaySeconds` have passed on the loop's clock.
    void asyncAfter(double delaySeconds, Task task);
    // Posts a task to run at an absolute time of the loop's clock.
    void asyncAt(double deadline, Task task);

    // Runs until `stop()` is called (from a task or another thread).
    void run();
    void stop();

    // Runs every task that is due, including tasks they post, until none is
    // due. Never waits and never moves the clock. Returns how many ran.
    std::size_t runUntilIdle();

    // Manual clock only: moves the clock forward by `seconds`, stopping at each
    // deadline on the way (in order) to run what is due then.
    void advance(double seconds);

    // Runs tasks (waiting for posts from other threads and, on a real clock,
    // for deadlines) until `predicate` holds or `timeoutSeconds` of real time
    // have passed. Returns whether the predicate held.
    bool runUntil(const std::function<bool()>& predicate, double timeoutSeconds);

    // The loop's clock. Replacing it is meant for tests, before tasks are posted.
    Clock& clock() const;
    void setClock(std::shared_ptr<Clock> clock);
    // Installs a new ManualClock and returns it.
    std::shared_ptr<ManualClock> useManualClock(double start = 1767225600.0);
    double now() const { return clock().now(); }

    // True on the thread that drives the loop (before any run: the thread that
    // created it).
    bool isCurrent() const;

    // Number of tasks waiting (due or not).
    std::size_t pendingCount() const;

    // ---- Running inside another event loop ----
    // A host that drives the loop from its own event loop (calling
    // `runUntilIdle` on the loop's thread) learns when to do so from these
    // two: the hook is called, on the posting thread and outside the loop's
    // lock, after every post and every `stop`, so that the host can wake its
    // own loop; `nextDeadline` is when the next task falls due on the loop's
    // clock (not after `now()` when one is due already), or none when
    // nothing waits.
    // Nothing needs polling. An empty hook removes it.
    void setWakeUpHook(std::function<void()> hook);
    std::optional<double> nextDeadline() const;

private:
    struct Timed {
        double deadline;
        std::uint64_t sequence;
        Task task;
    };
    struct Later {
        bool operator()(const Timed& a, const Timed& b) const {
            if (a.deadline != b.deadline) return a.deadline > b.deadline;
            return a.sequence > b.sequence;
        }
    };

    // Takes the next due task, if any (immediate tasks and due timed tasks are
    // merged in posting order when their deadlines are equal).
    bool takeDue(Task& out);
    void markCurrentThread();
    // Calls the host's wake-up hook, if any; never with mutex_ held.
    void wakeHost() const;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Clock> clock_;
    // Tasks posted with `async`: their deadline is the posting time, so they
    // are already in deadline order and need no heap.
    std::deque<Timed> immediate_;
    std::priority_queue<Timed, std::vector<Timed>, Later> timed_;
    std::uint64_t sequence_ = 0;
    bool stopRequested_ = false;
    std::thread::id owner_;
    std::shared_ptr<const std::function<void()>> wakeUpHook_;
};

// Debug builds check that main-only entry points run on the main loop.
#ifndef NDEBUG
#define PLATFORM_ASSERT_MAIN_THREAD() \
    ::platform::core::detail::assertMainThread(__FILE__, __LINE__)
#else
#define PLATFORM_ASSERT_MAIN_THREAD() ((void)0)
#endif

namespace detail {
void assertMainThread(const char* file, int line);
}

}  // namespace platform::core
