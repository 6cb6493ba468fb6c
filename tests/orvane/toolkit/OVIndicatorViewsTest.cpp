// The spinner, the progress ring and the equalizer, driven on a manual clock
// and checked through their layers' animations and a few drawn pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace platform::ui;
using namespace orvane;
using platform::core::RunLoop;
using renderprobe::pixelAt;
constexpr double pi = std::numbers::pi;
constexpr Color red{1, 0, 0, 1}, blue{0, 0, 1, 1};

class IndicatorTest : public ::testing::Test {
protected:
    void SetUp() override { t0 = RunLoop::main().useManualClock()->now(); }
    void advanceTo(double seconds) { RunLoop::main().advance(t0 + seconds - RunLoop::main().now()); }
    // The pixel on a 40-point ring (centre (20, 20)) at an angle clockwise
    // from 12 o'clock, drawn at scale 1.
    static renderprobe::Rgba onRing(const std::shared_ptr<Window>& window, double degrees) {
        const double a = degrees * pi / 180 - pi / 2;
        return pixelAt(*window->snapshot(), 20 + 19.5 * std::cos(a), 20 + 19.5 * std::sin(a));
    }
    double t0 = 0;
    std::shared_ptr<Window> window = Window::create({40, 40}, 1);
};

TEST_F(IndicatorTest, TheSpinnerStartsOnceAndTakesANewColourWhileSpinning) {
    auto spinner = OVCircleSpinAnimationView::create({0, 0, 40, 40});
    window->addSubview(spinner);
    EXPECT_FALSE(spinner->isUserInteractionEnabled());
    spinner->startAnimation();
    EXPECT_EQ(onRing(window, 90)[3], 0);  // no colour: nothing drawn
    spinner->setColor(red);
    advanceTo(0.3);  // the turn (0.25 s) is over; the head is two thirds round
    spinner->startAnimation();
    const auto& ring = spinner->circleShapeLayer();
    EXPECT_EQ(ring->animationKeys(), std::vector<std::string>{"animation"});
    EXPECT_EQ(ring->animation("animation")->beginTime(), t0);  // not restarted
    EXPECT_EQ(onRing(window, 90), (renderprobe::Rgba{255, 0, 0, 255}));
    spinner->setColor(blue);
    EXPECT_EQ(onRing(window, 90), (renderprobe::Rgba{0, 0, 255, 255}));
    EXPECT_EQ(onRing(window, 270)[3], 0);  // beyond the head
    advanceTo(1.7 * 100 + 0.3);            // spins for ever, the same every cycle
    EXPECT_EQ(onRing(window, 90), (renderprobe::Rgba{0, 0, 255, 255}));
    EXPECT_EQ(onRing(window, 270)[3], 0);
    spinner->stopAnimation();
    EXPECT_TRUE(ring->animationKeys().empty());
    EXPECT_EQ(onRing(window, 270), (renderprobe::Rgba{0, 0, 255, 255}));  // still, whole ring
}

TEST_F(IndicatorTest, TheRingDrawsTheArcOfItsValue) {
    struct Case { float value; float stored; std::vector<double> drawn, empty; };
    const Case cases[] = {
        {0, 0, {}, {10, 90, 180, 270}},
        {0.25f, 0.25f, {10, 45, 80}, {100, 180, 270}},
        {1.5f, 1.5f, {10, 90, 180, 270, 350}, {}},
        {-1, 0, {}, {10, 90, 180, 270}},
    };
    for (const auto& c : cases) {
        window = Window::create({40, 40}, 1);
        auto ring = OVCircleProgressionView::create({0, 0, 40, 40});
        window->addSubview(ring);
        ring->setColor(red);
        ring->setValue(c.value);
        EXPECT_EQ(ring->value(), c.stored);
        for (double angle : c.drawn) EXPECT_GT(onRing(window, angle)[3], 128) << c.value << " at " << angle;
        for (double angle : c.empty) EXPECT_EQ(onRing(window, angle)[3], 0) << c.value << " at " << angle;
    }
}

TEST_F(IndicatorTest, TheCompleteCircleEndsOnTheClockAndLeavesTheRingFull) {
    auto ring = OVCircleProgressionView::create({0, 0, 40, 40});
    window->addSubview(ring);
    ring->setColor(red);
    int completions = 0;
    ring->completeCircleAnimation(1.0, [&] { ++completions; });
    EXPECT_TRUE(ring->circleAnimatinIsRunning());
    EXPECT_EQ(ring->progressionLayer()->animationKeys(), std::vector<std::string>{"completeCircle"});
    advanceTo(0.5);
    EXPECT_EQ(onRing(window, 90)[3], 255);
    EXPECT_EQ(onRing(window, 270)[3], 0);
    advanceTo(1.0);
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(ring->circleAnimatinIsRunning());
    EXPECT_EQ(onRing(window, 270)[3], 255);  // drawn full
    ring->setValue(0.25);                    // a later value shows
    EXPECT_GT(onRing(window, 45)[3], 128);
    EXPECT_EQ(onRing(window, 270)[3], 0);
    advanceTo(10);
    EXPECT_EQ(completions, 1);
}

TEST_F(IndicatorTest, OnlyTheLatestCompleteCircleClearsTheRunningFlag) {
    auto ring = OVCircleProgressionView::create({0, 0, 40, 40});
    std::vector<int> completed;
    ring->completeCircleAnimation(1.0, [&] { completed.push_back(1); });
    advanceTo(0.5);
    ring->completeCircleAnimation(1.0, [&] { completed.push_back(2); });
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completed, std::vector<int>{1});  // the replaced one completes
    EXPECT_TRUE(ring->circleAnimatinIsRunning());
    advanceTo(1.5);
    EXPECT_EQ(completed, (std::vector<int>{1, 2}));
    EXPECT_FALSE(ring->circleAnimatinIsRunning());
}

TEST_F(IndicatorTest, TheEqualizerLaysOutThreeBarsAndMovesThemAtTheirPeriods) {
    auto equalizer = OVEqualizerAnimationView::create({0, 0, 34, 20});
    const auto& bars = equalizer->rectLayers();
    ASSERT_EQ(bars.size(), 3u);
    const double xs[] = {0, 12, 24}, heights[] = {10, 18, 8}, periods[] = {4.3, 2.5, 1.7};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(bars[i]->frame().origin.x, xs[i], 1e-9);
        EXPECT_NEAR(bars[i]->frame().size.width, 10, 1e-9);
        EXPECT_NEAR(bars[i]->frame().size.height, 20, 1e-9);
        const Rect still = bars[i]->path()->boundingBox();
        EXPECT_NEAR(still.height(), heights[i], 1e-9);
        EXPECT_NEAR(still.maxY(), 20, 1e-9);
        EXPECT_FALSE(bars[i]->fillColor());
    }
    equalizer->startAnimation();
    advanceTo(1);
    equalizer->startAnimation();  // adds nothing, restarts nothing
    for (int i = 0; i < 3; ++i) {
        const auto animation = bars[i]->animation("animation");
        ASSERT_TRUE(animation);
        EXPECT_EQ(animation->beginTime(), t0);
        EXPECT_EQ(animation->duration(), periods[i]);
        EXPECT_TRUE(animation->repeatsForever());
        EXPECT_FALSE(animation->isRemovedOnCompletion());
        // The fifth keyframe (0.95 of the height), reached 4/11 into a
        // period, a thousand periods on.
        const double at = t0 + 1000 * periods[i] + periods[i] * 4 / 11;
        const auto shown = std::get<Path>(bars[i]->animations().presentationValue("path", *bars[i]->path(), at));
        EXPECT_NEAR(shown.boundingBox().height(), 19, 1e-3) << i;
    }
    equalizer->stopAnimation();
    for (const auto& bar : bars) EXPECT_TRUE(bar->animationKeys().empty());
    equalizer->setColor(red);
    for (const auto& bar : bars) EXPECT_EQ(bar->fillColor(), red);
}

}  // namespace
