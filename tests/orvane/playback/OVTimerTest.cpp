#include <gtest/gtest.h>

#include "orvane/playback/OVTimer.hpp"
#include "platform/core/RunLoop.hpp"

using orvane::OVTimer;
using platform::core::RunLoop;

TEST(OVTimer, OneShotRunsOnceRepeatingKeepsFiringAndUnscheduledNeverRuns) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    int once = 0, repeating = 0;
    std::weak_ptr<OVTimer> oneShot = OVTimer::scheduledTimer(1.0, false, [&] { ++once; });
    std::weak_ptr<OVTimer> ticking = OVTimer::scheduledTimer(0.5, true, [&] { ++repeating; });
    auto idle = OVTimer::create();
    int never = 0;
    idle->setBlock([&] { ++never; });

    EXPECT_FALSE(oneShot.expired()) << "the scheduled timer keeps its target alive";
    loop.advance(3.2);
    EXPECT_EQ(once, 1);
    EXPECT_EQ(repeating, 6);
    EXPECT_EQ(never, 0);
    EXPECT_TRUE(oneShot.expired()) << "a one-shot timer lets its target go after firing";
    ASSERT_FALSE(ticking.expired());
    EXPECT_TRUE(ticking.lock()->timer());
    EXPECT_FALSE(idle->timer());
}
