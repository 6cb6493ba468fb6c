#include "platform/core/RunLoop.hpp"

#include "platform/core/NoDestructor.hpp"
#include "platform/core/TaskGuard.hpp"

#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace platform::core {

RunLoop& RunLoop::main() {
    // Never destroyed: worker threads may still post to it while the process
    // exits, and what is queued then simply stays queued.
    static NoDestructor<RunLoop> loop;
    return *loop;
}

RunLoop::RunLoop() : clock_(std::make_shared<SystemClock>()), owner_(std::this_thread::get_id()) {}

RunLoop::~RunLoop() = default;

void RunLoop::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        immediate_.push_back(Timed{clock_->now(), sequence_++, std::move(task)});
    }
    // Woken after the lock is released: a waiting loop then takes the task
    // at once instead of waking only to wait for the lock.
    wake_.notify_one();
    wakeHost();
}

void RunLoop::asyncAfter(double delaySeconds, Task task) {
    std::unique_lock lock(mutex_);
    const double deadline = clock_->now() + (delaySeconds > 0 ? delaySeconds : 0.0);
    timed_.push(Timed{deadline, sequence_++, std::move(task)});
    wake_.notify_one();
    lock.unlock();
    wakeHost();
}

void RunLoop::asyncAt(double deadline, Task task) {
    {
        std::lock_guard lock(mutex_);
        timed_.push(Timed{deadline, sequence_++, std::move(task)});
        wake_.notify_one();
    }
    wakeHost();
}

bool RunLoop::takeDue(Task& out) {
    // Caller holds mutex_.
    const double now = clock_->now();
    const bool timedDue = !timed_.empty() && timed_.top().deadline <= now;
    if (!immediate_.empty()) {
        const Timed& first = immediate_.front();
        if (!timedDue || Later{}(timed_.top(), first)) {
            out = std::move(immediate_.front().task);
            immediate_.pop_front();
            return true;
        }
    }
    if (timedDue) {
        // priority_queue::top is const; the task is moved out just before pop.
        out = std::move(const_cast<Timed&>(timed_.top()).task);
        timed_.pop();
        return true;
    }
    return false;
}

void RunLoop::markCurrentThread() {
    std::lock_guard lock(mutex_);
    owner_ = std::this_thread::get_id();
}

std::size_t RunLoop::runUntilIdle() {
    markCurrentThread();
    std::size_t count = 0;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            if (!takeDue(task)) break;
        }
        runGuarded(task, "run loop");
        ++count;
    }
    return count;
}

void RunLoop::run() {
    markCurrentThread();
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = false;
    }
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            for (;;) {
                if (stopRequested_) {
                    stopRequested_ = false;
                    return;
                }
                if (takeDue(task)) break;
                if (!timed_.empty() && clock_->isReal()) {
                    const double wait = timed_.top().deadline - clock_->now();
                    wake_.wait_for(lock, std::chrono::duration<double>(wait));
                } else {
                    wake_.wait(lock);
                }
            }
        }
        runGuarded(task, "run loop");
    }
}

void RunLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    wakeHost();
}

void RunLoop::setWakeUpHook(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    wakeUpHook_ = hook ? std::make_shared<const std::function<void()>>(std::move(hook)) : nullptr;
}

void RunLoop::wakeHost() const {
    std::shared_ptr<const std::function<void()>> hook;
    {
        std::lock_guard lock(mutex_);
        hook = wakeUpHook_;
    }
    if (hook) (*hook)();
}

std::optional<double> RunLoop::nextDeadline() const {
    std::lock_guard lock(mutex_);
    std::optional<double> next;
    if (!immediate_.empty()) next = immediate_.front().deadline;
    if (!timed_.empty() && (!next || timed_.top().deadline < *next)) next = timed_.top().deadline;
    return next;
}

void RunLoop::advance(double seconds) {
    auto manual = std::dynamic_pointer_cast<ManualClock>(clock_);
    if (!manual) {
        std::fputs("RunLoop::advance needs a manual clock\n", stderr);
        std::abort();
    }
    const double target = manual->now() + seconds;
    runUntilIdle();
    for (;;) {
        double next;
        {
            std::lock_guard lock(mutex_);
            if (timed_.empty() || timed_.top().deadline > target) break;
            next = timed_.top().deadline;
        }
        if (next > manual->now()) manual->set(next);
        runUntilIdle();
    }
    if (target > manual->now()) manual->set(target);
    runUntilIdle();
}

bool RunLoop::runUntil(const std::function<bool()>& predicate, double timeoutSeconds) {
    markCurrentThread();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                            std::chrono::duration<double>(timeoutSeconds));
    for (;;) {
        runUntilIdle();
        if (predicate()) return true;
        const auto realNow = std::chrono::steady_clock::now();
        if (realNow >= end) return false;
        std::unique_lock lock(mutex_);
        if (!immediate_.empty()) continue;
        auto wait = end - realNow;
        if (!timed_.empty() && clock_->isReal()) {
            const auto untilDeadline = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(std::max(0.0, timed_.top().deadline - clock_->now())));
            wait = std::min(wait, untilDeadline);
        }
        // Bounded so that a predicate that depends on other threads' state
        // (not only on posted tasks) is looked at again soon.
        wait = std::min<std::chrono::steady_clock::duration>(wait, std::chrono::milliseconds(5));
        wake_.wait_for(lock, wait);
    }
}

Clock& RunLoop::clock() const {
    std::lock_guard lock(mutex_);
    return *clock_;
}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
    std::lock_guard lock(mutex_);
    clock_ = std::move(clock);
}

std::shared_ptr<ManualClock> RunLoop::useManualClock(double start) {
    auto manual = std::make_shared<ManualClock>(start);
    setClock(manual);
    return manual;
}

bool RunLoop::isCurrent() const {
    std::lock_guard lock(mutex_);
    return owner_ == std::this_thread::get_id();
}

std::size_t RunLoop::pendingCount() const {
    std::lock_guard lock(mutex_);
    return immediate_.size() + timed_.size();
}

namespace detail {
void assertMainThread(const char* file, int line) {
    if (!RunLoop::main().isCurrent()) {
        std::fprintf(stderr, "%s:%d: main-thread entry point called off the main thread\n", file, line);
        std::abort();
    }
}
}  // namespace detail

}  // namespace platform::core
