// Lets the bridge's decoding queue finish before the test process exits: a
// state still being decoded while static objects are destroyed would read
// freed memory.
#include <gtest/gtest.h>

#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DispatchQueue.hpp"

namespace {

class DrainDecodeQueueAtEnd : public testing::Environment {
public:
    void TearDown() override {
        auto* queue = dynamic_cast<platform::core::SerialQueue*>(orvane::OVWidgetManager::shared().decodeQueue().get());
        if (queue) queue->drain();
    }
};

// GoogleTest takes ownership of the environment.
[[maybe_unused]] testing::Environment* const drainAtEnd = testing::AddGlobalTestEnvironment(new DrainDecodeQueueAtEnd);

}  // namespace
