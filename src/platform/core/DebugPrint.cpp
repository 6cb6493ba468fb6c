#include "platform/core/DebugPrint.hpp"

#include <cstdio>

namespace platform::core {
namespace {

struct SinkState {
    std::mutex mutex;
    DebugSink sink;
};

SinkState& state() {
    static SinkState s;
    return s;
}

}  // namespace

void debugPrint(std::string_view text) {
    auto& s = state();
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
    s.sink = std::move(sink);
    return previous;
}

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
