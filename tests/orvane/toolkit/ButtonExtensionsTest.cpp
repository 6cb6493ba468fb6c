#include <gtest/gtest.h>

#include "orvane/toolkit/ButtonExtensions.hpp"
#include "platform/core/RunLoop.hpp"

namespace {

using namespace platform::ui;
using platform::core::RunLoop;

TEST(ButtonExtensions, TapPopGrowsShrinksThenReturnsToIdentityAndCompletesOnce) {
    struct Case { const char* name; bool cutShort; bool withCompletion; };
    const Case cases[] = {{"to the end", false, true}, {"cut short", true, true}, {"no completion", false, false}};
    for (const auto& c : cases) {
        auto& loop = RunLoop::main();
        const double t0 = loop.useManualClock()->now();
        auto button = View::create({0, 0, 40, 20});
        int completions = 0;
        std::function<void()> completion;
        if (c.withCompletion) completion = [&] { ++completions; };
        orvane::tapAnimation(button, completion);
        auto scale = [&] { return std::get<AffineTransform>(*button->layer()->presentationValue("transform")).a; };
        loop.advance(t0 + 0.2 - loop.now());
        EXPECT_NEAR(scale(), 1.3, 1e-5) << c.name;
        if (c.cutShort) {
            button->layer()->removeAllAnimations();
            loop.runUntilIdle();
        } else {
            loop.advance(t0 + 0.3 - loop.now());
            EXPECT_NEAR(scale(), 0.65, 1e-5) << c.name;
            loop.advance(t0 + 0.4 - loop.now());
        }
        EXPECT_EQ(button->transform(), AffineTransform::identity()) << c.name;
        EXPECT_EQ(scale(), 1) << c.name;
        EXPECT_TRUE(button->layer()->animationKeys().empty()) << c.name;
        loop.advance(5);
        EXPECT_EQ(completions, c.withCompletion ? 1 : 0) << c.name;
    }
}

}  // namespace

namespace {

TEST(ButtonExtensions, PermutingMirrorsTheButtonItsTitleAndItsImageViewWithOrWithoutAnImage) {
    const auto mirror = platform::graphics::AffineTransform::scale(-1, 1);
    const auto image = platform::graphics::Image::fromPixels(1, 1, {0, 0, 0, 255});
    for (const bool withImage : {true, false}) {
        SCOPED_TRACE(withImage ? "with an image" : "image set afterwards");
        auto button = platform::ui::Button::create({0, 0, 120, 40});
        button->setTitle("Listen", platform::ui::ControlState::normal);
        if (withImage) button->setImage(image, platform::ui::ControlState::normal);
        for (int call = 0; call < 2; ++call) orvane::permuteImageAndLabel(*button);
        EXPECT_EQ(button->transform(), mirror);
        EXPECT_EQ(button->titleLabel()->transform(), mirror);
        // A button dressed in a nib gets its image later (from its style):
        // the image must stand mirrored back, after the title, all the same.
        if (!withImage) button->setImage(image, platform::ui::ControlState::normal);
        EXPECT_EQ(button->imageView()->transform(), mirror);
    }
}

}  // namespace
