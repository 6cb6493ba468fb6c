// Dispatch queues: the main queue (the main run loop), serial queues with a
// label (each on its own thread) and global concurrent queues by quality of
// service (one shared thread pool). `async` is safe from any thread.
//
// A serial queue runs its tasks one at a time in posting order. Destroying a
// serial queue lets what was already posted run, then ends its thread (joined,
// or left to finish by itself when the last reference goes from one of the
// queue's own tasks).
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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
    // A new serial queue with its own thread.
    static std::shared_ptr<DispatchQueue> makeSerial(std::string label,
                                                     QualityOfService qos = QualityOfService::defaultQoS);
};

class SerialQueue final : public DispatchQueue {
public:
    SerialQueue(std::string label, QualityOfService qos);
    ~SerialQueue() override;

    void async(Task task) override;
    bool isCurrent() const override;
    const std::string& label() const override { return label_; }
    QualityOfService qualityOfService() const { return qos_; }

    // Blocks until every task posted before this call has run. Must not be
    // called from the queue itself.
    void drain();

private:
    // Shared with the queue's thread, which may outlive the queue object.
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable idle;
        std::deque<Task> tasks;
        bool running = false;
        bool stopping = false;
    };
    static void loop(std::shared_ptr<State> state, const SerialQueue* self, std::string label);

    std::string label_;
    QualityOfService qos_;
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace platform::core
