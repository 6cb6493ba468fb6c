#include "platform/core/DispatchQueue.hpp"

#include <array>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/TaskGuard.hpp"

namespace platform::core {
namespace {

thread_local const DispatchQueue* currentQueue = nullptr;
// The state of the serial queue whose task runs on this thread (held by the
// thread meanwhile, so no later queue can have its address).
thread_local const void* currentSerialState = nullptr;

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

// The threads serial queues borrow: a job goes to an idle thread, or to a new
// one when no thread is idle, so a job never waits for another to end (a task
// may wait for another queue). A thread idle for kIdleLifetime ends.
class ThreadReserve {
public:
    void run(std::function<void()> job) {
        std::unique_lock lock(mutex_);
        jobs_.push_back(std::move(job));
        if (idle_ >= jobs_.size()) {
            lock.unlock();
            wake_.notify_one();
            return;
        }
        lock.unlock();
        try {
            std::thread([this] { work(); }).detach();
        } catch (const std::system_error& error) {
            // The job stays listed: the next thread to finish its job takes it.
            debugPrint(std::string("Dispatch: could not start a thread (") + error.what() +
                       "); the work waits for a busy one");
        }
    }

private:
    static constexpr std::chrono::seconds kIdleLifetime{10};

    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            const bool woken = wake_.wait_for(lock, kIdleLifetime, [&] { return !jobs_.empty(); });
            --idle_;
            if (!woken) return;
            auto job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::size_t idle_ = 0;
};

ThreadReserve& reserve() {
    // Never destroyed: its threads may still be waiting at exit.
    static NoDestructor<ThreadReserve> threads;
    return *threads;
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

SerialQueue::SerialQueue(std::string label, QualityOfService qos) : qos_(qos), state_(std::make_shared<State>()) {
    state_->label = std::move(label);
}

SerialQueue::~SerialQueue() {
    // From one of its own tasks, the thread running them goes on with the
    // state it holds; from anywhere else, what was posted runs first.
    if (!isCurrent()) drain();
    // A thread kept for more gives up at once.
    {
        std::lock_guard lock(state_->mutex);
        state_->closed = true;
    }
    state_->more.notify_all();
}

void SerialQueue::async(Task task) {
    bool schedule = false;
    bool wake = false;
    {
        std::lock_guard lock(state_->mutex);
        state_->tasks.push_back(std::move(task));
        schedule = !std::exchange(state_->scheduled, true);
        wake = state_->waiting;
    }
    // The state, not the queue: a task of this queue may destroy the queue.
    if (schedule) {
        reserve().run([state = state_] { runTasks(state); });
    } else if (wake) {
        state_->more.notify_one();
    }
}

bool SerialQueue::isCurrent() const { return currentSerialState == state_.get(); }

void SerialQueue::drain() {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [&] { return state_->tasks.empty() && !state_->running; });
}

void SerialQueue::runTasks(const std::shared_ptr<State>& state) {
    currentSerialState = state.get();
    for (;;) {
        Task task;
        {
            std::unique_lock lock(state->mutex);
            if (state->tasks.empty() && !state->closed) {
                state->waiting = true;
                state->more.wait_for(lock, kLinger, [&] { return !state->tasks.empty() || state->closed; });
                state->waiting = false;
            }
            if (state->tasks.empty()) {
                state->scheduled = false;
                break;
            }
            task = std::move(state->tasks.front());
            state->tasks.pop_front();
            state->running = true;
        }
        runGuarded(task, state->label);
        task = nullptr;  // release captures before reporting idle
        {
            std::lock_guard lock(state->mutex);
            state->running = false;
            if (state->tasks.empty()) state->idle.notify_all();
        }
    }
    currentSerialState = nullptr;
}

}  // namespace platform::core
