#include "platform/core/DebugPrint.hpp"

#include <atomic>
#include <cstdio>

#include "platform/core/NoDestructor.hpp"

namespace platform::core {
namespace {

struct SinkState {
    std::mutex mutex;
    DebugSink sink;
    std::atomic<bool> discarding{false};
};

// The sink that drops every line, known by its address wherever it is set
// from (a capture restoring it included).
void dropLine(std::string_view) {}

bool isDropping(const DebugSink& sink) {
    const auto* function = sink.target<void (*)(std::string_view)>();
    return function != nullptr && *function == &dropLine;
}

SinkState& state() {
    static NoDestructor<SinkState> s;
    return *s;
}

}  // namespace

void debugPrint(std::string_view text) {
    auto& s = state();
    if (s.discarding.load(std::memory_order_relaxed)) return;
    std::lock_guard lock(s.mutex);
    if (s.sink) {
        s.sink(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

DebugSink setDebugSink(DebugSink sink) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    auto previous = std::move(s.sink);
    s.discarding.store(isDropping(sink), std::memory_order_relaxed);
    s.sink = std::move(sink);
    return previous;
}

DebugSink discardDebugOutput() { return setDebugSink(&dropLine); }

bool debugOutputIsRead() { return !state().discarding.load(std::memory_order_relaxed); }

DebugCapture::DebugCapture() {
    previous_ = setDebugSink([this](std::string_view text) {
        std::lock_guard lock(mutex_);
        lines_.emplace_back(text);
    });
}

DebugCapture::~DebugCapture() { setDebugSink(std::move(previous_)); }

std::vector<std::string> DebugCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t DebugCapture::count(std::string_view needle) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& line : lines_) {
        if (line.find(needle) != std::string::npos) ++n;
    }
    return n;
}

void DebugCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

}  // namespace platform::core
