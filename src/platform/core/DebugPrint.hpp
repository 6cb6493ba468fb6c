// Debug output of the component and of the platform layer.
//
// debugPrint writes one line to standard output by default, as the platform's
// print does (in order with what else the host writes there). Tests install a
// DebugCapture to collect the lines instead; a host (or a benchmark) that reads
// none of them discards them, and then code that would make a long text for a
// line (a whole widget state) asks `debugOutputIsRead()` first and makes none.
// Callable from any thread; lines are never interleaved.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform::core {

// Writes `text` followed by a line break to the current sink.
void debugPrint(std::string_view text);

// Replaces the sink; an empty function restores standard error. Returns the
// previous sink.
using DebugSink = std::function<void(std::string_view)>;
DebugSink setDebugSink(DebugSink sink);

// Makes the sink one that drops every line (until another sink is set; a
// DebugCapture restores it when it ends). Returns the previous sink.
DebugSink discardDebugOutput();
// False while lines are dropped: a line made now would be read by no one.
bool debugOutputIsRead();

// Collects every debug line while it lives (RAII), restoring the previous sink
// when destroyed. Thread-safe.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> lines() const;
    // Lines that contain `needle`.
    std::size_t count(std::string_view needle) const;
    bool contains(std::string_view needle) const { return count(needle) > 0; }
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    DebugSink previous_;
};

}  // namespace platform::core
