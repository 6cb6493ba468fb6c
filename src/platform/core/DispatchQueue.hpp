// Dispatch queues: the main queue (the main run loop), serial queues with a
// label and global concurrent queues by quality of service (one shared thread
// pool). `async` is safe from any thread.
//
// A serial queue runs its tasks one at a time in posting order, on a thread
// it borrows while it has work: an idle thread of a common reserve, or a new
// one when none is idle (a reserve thread idle for a while ends). Having run
// out of work, it keeps that thread for a moment (kLinger) before giving it
// back, so that a queue posted to again soon hands its next task straight to
// a waiting thread of its own. Making a queue starts no thread. Destroying a serial queue lets what was already
// posted run; it waits for that, unless it happens in one of the queue's own
// tasks (the rest then runs after it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::core {

enum class QualityOfService { userInteractive, userInitiated, defaultQoS, utility, background };

class DispatchQueue {
public:
    using Task = std::function<void()>;
    virtual ~DispatchQueue() = default;

    virtual void async(Task task) = 0;
    // True when called from a task running on this queue.
    virtual bool isCurrent() const = 0;
    virtual const std::string& label() const = 0;

    // The main queue: posts to RunLoop::main().
    static DispatchQueue& main();
    // A global concurrent queue.
    static DispatchQueue& global(QualityOfService qos = QualityOfService::defaultQoS);
    // A new serial queue.
    static std::shared_ptr<DispatchQueue> makeSerial(std::string label,
                                                     QualityOfService qos = QualityOfService::defaultQoS);
};

class SerialQueue final : public DispatchQueue {
public:
    SerialQueue(std::string label, QualityOfService qos);
    ~SerialQueue() override;

    void async(Task task) override;
    bool isCurrent() const override;
    const std::string& label() const override { return state_->label; }
    QualityOfService qualityOfService() const { return qos_; }

    // Blocks until every task posted before this call has run. Must not be
    // called from the queue itself.
    void drain();

    // How long a queue that ran out of work keeps its thread.
    static constexpr std::chrono::milliseconds kLinger{1000};

private:
    // Shared with the thread running the queue's tasks, which may outlive the
    // queue object.
    struct State {
        std::mutex mutex;
        std::condition_variable idle;
        std::condition_variable more;  // a task was posted, or the queue is gone
        std::deque<Task> tasks;
        bool running = false;    // a task is running
        bool scheduled = false;  // a thread is taking the tasks
        bool waiting = false;    // that thread waits for more (kLinger)
        bool closed = false;     // the queue object is gone
        std::string label;
    };
    // Runs the queue's tasks until none is left.
    static void runTasks(const std::shared_ptr<State>& state);

    QualityOfService qos_;
    std::shared_ptr<State> state_;
};

}  // namespace platform::core
