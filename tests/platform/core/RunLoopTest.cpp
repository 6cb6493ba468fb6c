#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/Timer.hpp"

using namespace platform::core;

TEST(RunLoop, DelayedTaskRunsOnlyAfterItsDelayAndAfterEarlierTasks) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    std::vector<std::string> order;
    loop.asyncAfter(2.0, [&] { order.push_back("delayed"); });
    loop.async([&] { order.push_back("first"); });
    loop.async([&] { order.push_back("second"); });
    loop.runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
    loop.advance(1.999);
    EXPECT_EQ(order.size(), 2u);
    loop.advance(0.001);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "delayed"}));
}

TEST(RunLoop, TimedTasksRunByDeadlineThenPostingOrder) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    std::vector<int> order;
    loop.asyncAfter(1.0, [&] { order.push_back(1); });
    loop.asyncAfter(0.5, [&] { order.push_back(2); });
    loop.asyncAfter(1.0, [&] { order.push_back(3); });
    loop.asyncAfter(0.5, [&] {
        order.push_back(4);
        // Posted while advancing: due at 0.5 + 0.25, before the 1.0 tasks.
        loop.asyncAfter(0.25, [&] { order.push_back(5); });
    });
    loop.advance(1.0);
    EXPECT_EQ(order, (std::vector<int>{2, 4, 5, 1, 3}));
    EXPECT_DOUBLE_EQ(loop.now(), 1767225600.0 + 1.0);
}

TEST(RunLoop, RepeatingTimerFiresOncePerIntervalAndCoalescesMissedFires) {
    auto& loop = RunLoop::main();
    auto clock = loop.useManualClock();
    int fires = 0;
    auto timer = Timer::scheduledTimer(1.0, true, [&](Timer&) { ++fires; });
    loop.advance(3.2);
    EXPECT_EQ(fires, 3);

    // The loop was blocked for 5.5 s: one late fire, then back on the grid.
    clock->advance(5.5);  // now 8.7 s after start
    loop.runUntilIdle();
    EXPECT_EQ(fires, 4);
    loop.advance(0.2);  // 8.9: nothing due
    EXPECT_EQ(fires, 4);
    loop.advance(0.1);  // 9.0
    EXPECT_EQ(fires, 5);

    timer->invalidate();
    loop.advance(5.0);
    EXPECT_EQ(fires, 5);
    EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST(RunLoop, OneShotTimerFiresOnceAndATimerMayInvalidateItself) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    int once = 0;
    Timer::scheduledTimer(0.5, false, [&](Timer&) { ++once; });
    int self = 0;
    Timer::scheduledTimer(1.0, true, [&](Timer& t) {
        if (++self == 2) t.invalidate();
    });
    loop.advance(10.0);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(self, 2);
}

TEST(RunLoop, WorkFromASerialQueueArrivesOnMainInPostingOrder) {
    auto& loop = RunLoop::main();
    auto queue = DispatchQueue::makeSerial("test.serial");
    std::vector<int> received;
    std::atomic<bool> offMain{true};
    for (int i = 0; i < 200; ++i) {
        queue->async([&, i] {
            if (RunLoop::main().isCurrent()) offMain = false;
            DispatchQueue::main().async([&, i] {
                EXPECT_TRUE(RunLoop::main().isCurrent());
                received.push_back(i);
            });
        });
    }
    ASSERT_TRUE(loop.runUntil([&] { return received.size() == 200; }, 10.0));
    EXPECT_TRUE(offMain);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(received[i], i);
}

TEST(RunLoop, GlobalQueuesRunConcurrentlyOffMain) {
    auto& loop = RunLoop::main();
    std::atomic<int> done{0};
    std::atomic<bool> onMain{false};
    for (int i = 0; i < 64; ++i) {
        DispatchQueue::global(QualityOfService::userInitiated).async([&] {
            if (RunLoop::main().isCurrent()) onMain = true;
            ++done;
        });
    }
    ASSERT_TRUE(loop.runUntil([&] { return done == 64; }, 10.0));
    EXPECT_FALSE(onMain);
}

TEST(RunLoop, RunStopsWhenAskedFromAnotherThreadAndRunUntilTimesOut) {
    auto& loop = RunLoop::main();
    int ran = 0;
    std::thread poster([&] {
        loop.async([&] { ++ran; });
        loop.async([&] { loop.stop(); });
    });
    loop.run();
    poster.join();
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.05));
}

TEST(SerialQueue, DestructionRunsWhatWasPostedAndMayHappenOnItsOwnThread) {
    std::atomic<int> ran{0};
    {
        auto queue = DispatchQueue::makeSerial("test.drain");
        for (int i = 0; i < 50; ++i) queue->async([&] { ++ran; });
    }
    EXPECT_EQ(ran, 50);

    std::atomic<bool> released{false};
    auto queue = DispatchQueue::makeSerial("test.self");
    auto* raw = queue.get();
    raw->async([q = std::move(queue)]() mutable {
        q.reset();  // not the last reference yet: the task object holds it
    });
    // The task's capture is the last reference; it goes on the queue's thread.
    raw = nullptr;
    DispatchQueue::global().async([&] { released = true; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return released.load(); }, 5.0));
}

// Serial queues borrow threads only while they have work, yet a task may wait
// for another queue's task: every queue with work gets a thread, however many
// wait at once.
TEST(SerialQueue, TasksWaitingOnOtherQueuesAlwaysGetAThread) {
    constexpr int kQueues = 48;
    std::vector<std::shared_ptr<DispatchQueue>> queues;
    for (int i = 0; i < kQueues; ++i) queues.push_back(DispatchQueue::makeSerial("test.chain." + std::to_string(i)));
    std::mutex mutex;
    std::condition_variable changed;
    int released = kQueues;  // queue i's task waits until released <= i
    std::atomic<int> done{0};
    for (int i = 0; i < kQueues; ++i) {
        queues[i]->async([&, i] {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return released <= i; });
            ++done;
        });
    }
    // The last queue's task is released first; each queue then releases the
    // one before it from its own second task, which runs after the first.
    for (int i = kQueues - 1; i >= 0; --i) {
        queues[i]->async([&, i] {
            std::lock_guard lock(mutex);
            released = i - 1;
            changed.notify_all();
        });
    }
    {
        std::lock_guard lock(mutex);
        released = kQueues - 1;
        changed.notify_all();
    }
    queues.clear();  // waits for every posted task
    EXPECT_EQ(done.load(), kQueues);
}

// A task that throws ends only itself: one debug line names the loop or queue
// and the exception, and the next task runs.
TEST(RunLoop, AThrowingTaskIsReportedAndDroppedAndTheNextTaskRuns) {
    auto& loop = RunLoop::main();
    loop.setClock(std::make_shared<SystemClock>());  // the delayed case waits in real time
    auto serial = DispatchQueue::makeSerial("test.throwing");
    struct Case {
        const char* name;
        std::function<void(DispatchQueue::Task)> post;
        const char* owner;
    };
    const std::vector<Case> cases{
        {"main run loop", [&](DispatchQueue::Task t) { loop.async(std::move(t)); }, "run loop"},
        {"main queue, later", [&](DispatchQueue::Task t) { loop.asyncAfter(0.01, std::move(t)); }, "run loop"},
        {"serial queue", [&](DispatchQueue::Task t) { serial->async(std::move(t)); }, "test.throwing"},
        {"global queue", [](DispatchQueue::Task t) { DispatchQueue::global().async(std::move(t)); }, "global.default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DebugCapture capture;
        std::atomic<bool> nextRan{false};
        c.post([] { throw std::runtime_error("bad input"); });
        c.post([] { throw 42; });
        c.post([&] { nextRan = true; });
        // A global queue runs its tasks concurrently: wait for the reports too.
        ASSERT_TRUE(loop.runUntil(
            [&] { return nextRan.load() && capture.count("a task threw and was dropped") == 2; }, 5.0));
        EXPECT_EQ(capture.count(std::string(c.owner) + ": a task threw and was dropped: bad input"), 1u);
        EXPECT_EQ(capture.count("a task threw and was dropped"), 2u);
    }
    // run() goes on as well after a throwing task.
    DebugCapture capture;
    loop.async([] { throw std::runtime_error("in run"); });
    loop.async([&] { loop.stop(); });
    loop.run();
    EXPECT_TRUE(capture.contains("run loop: a task threw and was dropped: in run"));
}

// A host's event loop drives a run loop without polling: it sleeps until the
// wake-up hook fires or the next deadline passes, then runs what is due.
TEST(RunLoop, AHostLoopIsWokenByPostsAndSleepsUntilTheNextDeadline) {
    RunLoop loop;
    auto clock = loop.useManualClock(100.0);
    EXPECT_EQ(loop.nextDeadline(), std::nullopt);
    std::atomic<int> wakes = 0;
    loop.setWakeUpHook([&] { ++wakes; });
    loop.asyncAfter(2.0, [] {});
    EXPECT_EQ(loop.nextDeadline(), 102.0);
    loop.asyncAt(101.0, [] {});
    EXPECT_EQ(loop.nextDeadline(), 101.0);
    loop.async([] {});
    EXPECT_LE(*loop.nextDeadline(), loop.now());
    EXPECT_EQ(wakes, 3);
    EXPECT_EQ(loop.runUntilIdle(), 1u);
    EXPECT_EQ(loop.nextDeadline(), 101.0);
    clock->set(102.0);
    EXPECT_EQ(loop.runUntilIdle(), 2u);
    EXPECT_EQ(loop.nextDeadline(), std::nullopt);

    // On a real clock: a task posted from another thread wakes the host at
    // once, and the host's only wait is for that hook or the deadline.
    RunLoop real;
    std::mutex mutex;
    std::condition_variable woken;
    bool posted = false;
    real.setWakeUpHook([&] {
        std::lock_guard lock(mutex);
        posted = true;
        woken.notify_one();
    });
    bool ran = false;
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        real.async([&] { ran = true; });
    });
    {
        std::unique_lock lock(mutex);
        const auto next = real.nextDeadline();
        ASSERT_FALSE(next);  // nothing waits: sleep until woken
        ASSERT_TRUE(woken.wait_for(lock, std::chrono::seconds(10), [&] { return posted; }));
    }
    worker.join();
    real.runUntilIdle();
    EXPECT_TRUE(ran);
    real.setWakeUpHook({});
    real.async([] {});
    EXPECT_EQ(real.runUntilIdle(), 1u);
}
