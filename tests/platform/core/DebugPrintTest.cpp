// Where debug lines go, and whether anyone reads them, as sinks come and go.
#include "platform/core/DebugPrint.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::core::DebugCapture;
using platform::core::debugOutputIsRead;
using platform::core::debugPrint;

TEST(DebugPrint, LinesAreReadUnlessDiscardedAndACaptureRestoresWhatItReplaced) {
    std::vector<std::string> hostLines;
    const auto hostSink = [&hostLines](std::string_view line) { hostLines.emplace_back(line); };
    struct Step {
        std::string name;
        std::function<void()> change;
        bool read;
    };
    std::optional<DebugCapture> capture;
    const std::vector<Step> steps = {
        {"a host's sink", [&] { platform::core::setDebugSink(hostSink); }, true},
        {"discarded", [] { platform::core::discardDebugOutput(); }, false},
        {"captured while discarded", [&] { capture.emplace(); }, true},
        {"the capture ends", [&] { capture.reset(); }, false},
        {"a host's sink again", [&] { platform::core::setDebugSink(hostSink); }, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        hostLines.clear();
        std::size_t captured = capture ? capture->lines().size() : 0;
        EXPECT_EQ(debugOutputIsRead(), step.read);
        debugPrint("line");
        if (capture) captured = capture->lines().size() - captured;
        EXPECT_EQ(hostLines.size() + captured, step.read ? 1u : 0u);
    }
    platform::core::setDebugSink({});
    EXPECT_TRUE(debugOutputIsRead());
}

}  // namespace
