#include "platform/core/DispatchQueue.hpp"

#include <array>

#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/TaskGuard.hpp"

namespace platform::core {
namespace {

thread_local const DispatchQueue* currentQueue = nullptr;

class MainQueue final : public DispatchQueue {
public:
    void async(Task task) override { RunLoop::main().async(std::move(task)); }
    bool isCurrent() const override { return RunLoop::main().isCurrent(); }
    const std::string& label() const override { return label_; }

private:
    std::string label_ = "main";
};

// One pool serves every global queue: tasks wait in one list per quality of
// service and the workers take the most urgent first.
class GlobalPool {
public:
    GlobalPool() {
        const unsigned n = std::max(4u, std::thread::hardware_concurrency());
        for (unsigned i = 0; i < n; ++i) workers_.emplace_back([this] { work(); });
    }
    ~GlobalPool() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (auto& w : workers_) w.join();
    }
    void post(QualityOfService qos, const DispatchQueue* queue, DispatchQueue::Task task) {
        {
            std::lock_guard lock(mutex_);
            lists_[static_cast<std::size_t>(qos)].push_back(Entry{queue, std::move(task)});
            wake_.notify_one();
        }
    }

private:
    struct Entry {
        const DispatchQueue* queue;
        DispatchQueue::Task task;
    };
    void work() {
        for (;;) {
            Entry entry;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || hasWork(); });
                if (stopping_) return;
                for (auto& list : lists_) {
                    if (!list.empty()) {
                        entry = std::move(list.front());
                        list.pop_front();
                        break;
                    }
                }
            }
            currentQueue = entry.queue;
            runGuarded(entry.task, entry.queue ? std::string_view(entry.queue->label()) : std::string_view("global queue"));
            currentQueue = nullptr;
        }
    }
    bool hasWork() const {
        for (const auto& list : lists_)
            if (!list.empty()) return true;
        return false;
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::array<std::deque<Entry>, 5> lists_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

GlobalPool& pool() {
    static NoDestructor<GlobalPool> p;
    return *p;
}

class GlobalQueue final : public DispatchQueue {
public:
    GlobalQueue(QualityOfService qos, std::string label) : qos_(qos), label_(std::move(label)) {}
    void async(Task task) override { pool().post(qos_, this, std::move(task)); }
    bool isCurrent() const override { return currentQueue == this; }
    const std::string& label() const override { return label_; }

private:
    QualityOfService qos_;
    std::string label_;
};

}  // namespace

DispatchQueue& DispatchQueue::main() {
    static NoDestructor<MainQueue> queue;
    return *queue;
}

DispatchQueue& DispatchQueue::global(QualityOfService qos) {
    static NoDestructor<std::array<GlobalQueue, 5>> queues{std::array<GlobalQueue, 5>{
        GlobalQueue{QualityOfService::userInteractive, "global.user-interactive"},
        GlobalQueue{QualityOfService::userInitiated, "global.user-initiated"},
        GlobalQueue{QualityOfService::defaultQoS, "global.default"},
        GlobalQueue{QualityOfService::utility, "global.utility"},
        GlobalQueue{QualityOfService::background, "global.background"},
    }};
    return (*queues)[static_cast<std::size_t>(qos)];
}

std::shared_ptr<DispatchQueue> DispatchQueue::makeSerial(std::string label, QualityOfService qos) {
    return std::make_shared<SerialQueue>(std::move(label), qos);
}

SerialQueue::SerialQueue(std::string label, QualityOfService qos)
    : label_(std::move(label)), qos_(qos), state_(std::make_shared<State>()) {
    thread_ = std::thread(&SerialQueue::loop, state_, this, label_);
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void SerialQueue::async(Task task) {
    // The queue's thread is woken after the lock is released, so that it
    // does not wake only to wait for the lock. The state is held meanwhile:
    // once the lock is released, a task of this queue holding its last
    // reference may destroy the queue (not the state its thread shares).
    const std::shared_ptr<State> state = state_;
    {
        std::lock_guard lock(state->mutex);
        state->tasks.push_back(std::move(task));
    }
    state->wake.notify_one();
}

bool SerialQueue::isCurrent() const { return currentQueue == this; }

void SerialQueue::drain() {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [&] { return state_->tasks.empty() && !state_->running; });
}

void SerialQueue::loop(std::shared_ptr<State> state, const SerialQueue* self, std::string label) {
    currentQueue = self;
    for (;;) {
        Task task;
        {
            std::unique_lock lock(state->mutex);
            state->wake.wait(lock, [&] { return state->stopping || !state->tasks.empty(); });
            if (state->tasks.empty()) break;  // stopping, nothing left
            task = std::move(state->tasks.front());
            state->tasks.pop_front();
            state->running = true;
        }
        runGuarded(task, label);
        task = nullptr;  // release captures before reporting idle
        {
            std::lock_guard lock(state->mutex);
            state->running = false;
            if (state->tasks.empty()) state->idle.notify_all();
        }
    }
    currentQueue = nullptr;
}

}  // namespace platform::core
