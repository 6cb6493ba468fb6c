#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/AnimationTarget.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/animation/Transaction.hpp"
#include "platform/ui/animation/ViewAnimation.hpp"

namespace {

using namespace platform::ui;
using platform::core::RunLoop;

// The smallest animatable object: model values by key path, reported when set.
class FakeLayer : public AnimationTarget {
public:
    AnimationStore& animations() override { return store; }
    std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override {
        return model.at(std::string(keyPath));
    }
    AnimatableValue presentationValue(std::string_view keyPath) {
        return store.presentationValue(keyPath, *modelValue(keyPath));
    }
    void set(const std::string& keyPath, AnimatableValue value) {
        auto old = model.count(keyPath) ? model.at(keyPath) : value;
        model[keyPath] = value;
        ViewAnimation::propertyDidChange(*this, keyPath, old, value);
    }
    double shown(const std::string& keyPath) { return std::get<double>(presentationValue(keyPath)); }

    AnimationStore store;
    std::map<std::string, AnimatableValue> model{{"opacity", 0.0}, {"transform", AffineTransform{}}};
};

class ViewAnimationTest : public ::testing::Test {
protected:
    void SetUp() override { t0 = RunLoop::main().useManualClock()->now(); }
    // To `seconds` after the start, without the rounding of repeated steps.
    void advanceTo(double seconds) { loop.advance(t0 + seconds - loop.now()); }
    RunLoop& loop = RunLoop::main();
    double t0 = 0;
    FakeLayer layer;
    std::vector<bool> completions;
    ViewAnimation::Completion record() {
        return [this](bool finished) { completions.push_back(finished); };
    }
};

TEST_F(ViewAnimationTest, ABlockSetsTheModelAtOnceAndAnimatesTheChangeOnTheClock) {
    ViewAnimation::animate(1.0, 0, {.curve = ViewAnimationCurve::linear}, [&] { layer.set("opacity", 1.0); },
                           record());
    EXPECT_EQ(*layer.modelValue("opacity"), AnimatableValue(1.0));
    EXPECT_EQ(layer.store.animationKeys(), std::vector<std::string>{"opacity"});
    EXPECT_NEAR(layer.shown("opacity"), 0, 1e-9);
    EXPECT_FALSE(layer.store.allowsUserInteraction());
    loop.advance(0.5);
    EXPECT_NEAR(layer.shown("opacity"), 0.5, 1e-6);
    EXPECT_TRUE(completions.empty());
    loop.advance(0.5);
    EXPECT_EQ(completions, std::vector<bool>{true});
    EXPECT_TRUE(layer.store.isEmpty());
    EXPECT_TRUE(layer.store.allowsUserInteraction());
    EXPECT_EQ(layer.shown("opacity"), 1);
}

TEST_F(ViewAnimationTest, OptionsShapeTheAnimation) {
    struct Case {
        const char* name;
        ViewAnimationOptions options;
        double delay;
        double at;
        double expected;  // opacity 0 → 1 over 1 s
    };
    const Case cases[] = {
        {"ease in-out by default", {}, 0, 0.25, 0.129161931},
        {"ease out", {.curve = ViewAnimationCurve::easeOut}, 0, 0.5, 0.684643187},
        {"old value during the delay", {.curve = ViewAnimationCurve::linear}, 0.5, 0.25, 0},
        {"after the delay", {.curve = ViewAnimationCurve::linear}, 0.5, 1.0, 0.5},
        {"repeat", {.curve = ViewAnimationCurve::linear, .repeat = true}, 0, 7.25, 0.25},
        {"autoreverse", {.curve = ViewAnimationCurve::linear, .repeat = true, .autoreverse = true}, 0, 1.25, 0.75},
    };
    for (const auto& c : cases) {
        FakeLayer target;
        ViewAnimation::animate(1.0, c.delay, c.options, [&] { target.set("opacity", 1.0); });
        EXPECT_NEAR(std::get<double>(target.store.presentationValue(
                        "opacity", 1.0, loop.now() + c.at)),
                    c.expected, 1e-5)
            << c.name;
    }
}

TEST_F(ViewAnimationTest, RemovalCompletesFalseAndRepeatingNeverCompletes) {
    ViewAnimation::animate(1.0, [&] { layer.set("opacity", 1.0); }, record());
    layer.store.remove("opacity");
    loop.runUntilIdle();
    EXPECT_EQ(completions, std::vector<bool>{false});

    ViewAnimation::animate(1.0, 0, {.repeat = true}, [&] { layer.set("opacity", 0.0); }, record());
    loop.advance(1000);
    EXPECT_EQ(completions.size(), 1u);
    // A new block on the same property replaces the running animation.
    ViewAnimation::animate(0.5, [&] { layer.set("opacity", 1.0); }, record());
    loop.advance(0.5);
    EXPECT_EQ(completions, (std::vector<bool>{false, false, true}));
}

TEST_F(ViewAnimationTest, NothingAnimatedCompletesOnTheNextTurn) {
    struct Case { const char* name; std::function<void(FakeLayer&)> block; double duration; double model = 1; };
    const Case cases[] = {
        {"no change", [](FakeLayer&) {}, 1, 0},
        {"without animation",
         [](FakeLayer& l) { ViewAnimation::performWithoutAnimation([&] { l.set("opacity", 1.0); }); }, 1},
        {"actions disabled",
         [](FakeLayer& l) {
             Transaction::begin();
             Transaction::setDisableActions(true);
             l.set("opacity", 1.0);
             Transaction::commit();
         },
         1},
        {"no duration", [](FakeLayer& l) { l.set("opacity", 1.0); }, 0},
    };
    for (const auto& c : cases) {
        FakeLayer target;
        completions.clear();
        ViewAnimation::animate(c.duration, [&] { c.block(target); }, record());
        EXPECT_TRUE(target.store.isEmpty()) << c.name;
        EXPECT_EQ(*target.modelValue("opacity"), AnimatableValue(c.model)) << c.name;
        EXPECT_TRUE(completions.empty()) << c.name;
        loop.runUntilIdle();
        EXPECT_EQ(completions, std::vector<bool>{true}) << c.name;
    }
}

TEST_F(ViewAnimationTest, BeginFromCurrentStateStartsWhereTheShownValueIs) {
    ViewAnimation::animate(1.0, 0, {.curve = ViewAnimationCurve::linear}, [&] { layer.set("opacity", 1.0); });
    loop.advance(0.5);
    ViewAnimation::animate(1.0, 0, {.curve = ViewAnimationCurve::linear, .beginFromCurrentState = true},
                           [&] { layer.set("opacity", 0.0); });
    EXPECT_NEAR(layer.shown("opacity"), 0.5, 1e-6);
    loop.advance(0.5);
    EXPECT_NEAR(layer.shown("opacity"), 0.25, 1e-6);
}

TEST_F(ViewAnimationTest, ASpringBlockOvershootsAndSettlesAtTheTargetByItsDuration) {
    ViewAnimation::animateSpring(0.6, 0, 0.5, 0, {}, [&] { layer.set("opacity", 1.0); }, record());
    ASSERT_TRUE(std::dynamic_pointer_cast<const SpringAnimation>(layer.store.animation("opacity")));
    double peak = 0;
    for (int i = 1; i < 60; ++i) {
        advanceTo(i * 0.01);
        peak = std::max(peak, layer.shown("opacity"));
    }
    EXPECT_GT(peak, 1.05);
    EXPECT_NEAR(layer.shown("opacity"), 1, 2e-3);
    advanceTo(0.6);
    EXPECT_EQ(completions, std::vector<bool>{true});
}

TEST_F(ViewAnimationTest, KeyframesReachEachValueAtTheEndOfTheirKeyframe) {
    // The tap pop: scale 1.3 over the first half, then 0 over the second.
    ViewAnimation::animateKeyframes(
        0.4, 0, {},
        [&] {
            ViewAnimation::addKeyframe(0, 0.5, [&] { layer.set("transform", AffineTransform::scale(1.3, 1.3)); });
            ViewAnimation::addKeyframe(0.5, 0.5, [&] { layer.set("transform", AffineTransform::scale(0, 0)); });
        },
        [&](bool) {
            ViewAnimation::performWithoutAnimation([&] { layer.set("transform", AffineTransform{}); });
            completions.push_back(true);
        });
    auto keyframes = std::dynamic_pointer_cast<const KeyframeAnimation>(layer.store.animation("transform"));
    ASSERT_TRUE(keyframes);
    EXPECT_EQ(keyframes->keyTimes(), (std::vector<double>{0, 0.5, 1}));
    auto scaleNow = [&] { return std::get<AffineTransform>(layer.presentationValue("transform")).a; };
    advanceTo(0.1);
    EXPECT_NEAR(scaleNow(), 1.15, 1e-5);
    advanceTo(0.2);
    EXPECT_NEAR(scaleNow(), 1.3, 1e-5);
    advanceTo(0.3);
    EXPECT_NEAR(scaleNow(), 0.65, 1e-5);
    advanceTo(0.4);
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_EQ(layer.presentationValue("transform"), AnimatableValue(AffineTransform{}));
    EXPECT_TRUE(layer.store.isEmpty());
    loop.advance(1);
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(ViewAnimationTest, AKeyframeThatStartsLateHoldsTheOldValueUntilThen) {
    ViewAnimation::animateKeyframes(1.0, 0, {}, [&] {
        ViewAnimation::addKeyframe(0.5, 0.25, [&] { layer.set("opacity", 1.0); });
    });
    auto keyframes = std::dynamic_pointer_cast<const KeyframeAnimation>(layer.store.animation("opacity"));
    ASSERT_TRUE(keyframes);
    EXPECT_EQ(keyframes->keyTimes(), (std::vector<double>{0, 0.5, 0.75, 1}));
    EXPECT_EQ(keyframes->values(), (std::vector<AnimatableValue>{0.0, 0.0, 1.0, 1.0}));
}

TEST_F(ViewAnimationTest, ATargetGoneBeforeTheBlockEndsIsSkipped) {
    auto doomed = std::make_unique<FakeLayer>();
    ViewAnimation::animate(1.0, [&] {
        doomed->set("opacity", 1.0);
        layer.set("opacity", 1.0);
        doomed.reset();
    }, record());
    EXPECT_EQ(layer.store.animationKeys(), std::vector<std::string>{"opacity"});
    loop.advance(1);
    EXPECT_EQ(completions, std::vector<bool>{true});
}

}  // namespace
