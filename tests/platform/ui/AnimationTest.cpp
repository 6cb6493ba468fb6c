#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/AnimationGroup.hpp"
#include "platform/ui/animation/AnimationStore.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/Interpolation.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/animation/Transaction.hpp"

namespace {

using namespace platform::ui;
using platform::core::RunLoop;
constexpr double pi = std::numbers::pi;
using Name = TimingFunction::Name;

double number(const AnimatableValue& v) { return std::get<double>(v); }

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override { t0 = RunLoop::main().useManualClock()->now(); }

    std::shared_ptr<BasicAnimation> opacity(double from, double to, double duration = 1) {
        auto a = BasicAnimation::create("opacity");
        a->setFromValue(from);
        a->setToValue(to);
        a->setDuration(duration);
        return a;
    }
    double shown(const AnimationStore& store, double at, std::string_view keyPath = "opacity", double model = 1) {
        return number(store.presentationValue(keyPath, model, t0 + at));
    }

    double t0 = 0;
};

TEST(TimingFunction, NamedCurvesUseThePlatformControlPointsAndSolveXForY) {
    struct Case { TimingFunction function; double x, y; };
    const Case cases[] = {
        {TimingFunction::named(Name::linear), 0.3, 0.3},
        {TimingFunction::named(Name::easeIn), 0.5, 0.315356813},
        {TimingFunction::named(Name::easeOut), 0.25, 0.378138131},
        {TimingFunction::named(Name::easeOut), 0.5, 0.684643187},
        {TimingFunction::named(Name::easeInEaseOut), 0.75, 0.870838069},
        {*TimingFunction::fromName("default"), 0.5, 0.802403388},
        {TimingFunction(0.4, 0, 0.2, 1), 0.5, 0.775561311},
        {TimingFunction(0.4, 0, 0.2, 1), -1, 0},
        {TimingFunction(0.4, 0, 0.2, 1), 2, 1},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.function.value(c.x), c.y, 1e-7) << c.x;
    EXPECT_FALSE(TimingFunction::fromName("bounce"));
}

TEST(Interpolation, EveryKindOfValueInterpolatesAndAdds) {
    struct Case { AnimatableValue from, to, half; };
    const Case cases[] = {
        {0.0, 1.0, 0.5},
        {Point{0, 10}, Point{10, 20}, Point{5, 15}},
        {Size{2, 4}, Size{4, 8}, Size{3, 6}},
        {Rect{0, 0, 10, 10}, Rect{10, 20, 30, 40}, Rect{5, 10, 20, 25}},
        {Color{0, 0, 0, 1}, Color{1, 0.5, 0, 0}, Color{0.5, 0.25, 0, 0.5}},
        {AffineTransform::scale(1, 1), AffineTransform::scale(2, 3), AffineTransform::scale(1.5, 2)},
        {AffineTransform::translation(0, 0), AffineTransform::translation(10, -4),
         AffineTransform::translation(5, -2)},
        // Rotation goes the short way round: 0 to 3π/2 passes −π/4.
        {AffineTransform::identity(), AffineTransform::rotation(1.5 * pi), AffineTransform::rotation(-pi / 4)},
        {Path::rect({0, 0, 10, 10}), Path::rect({0, 10, 10, 20}), Path::rect({0, 5, 10, 15})},
    };
    for (const auto& c : cases) {
        const auto half = interpolate(c.from, c.to, 0.5);
        if (auto* t = std::get_if<AffineTransform>(&half)) {
            EXPECT_TRUE(t->isApproximately(std::get<AffineTransform>(c.half), 1e-9)) << c.from.index();
        } else {
            EXPECT_EQ(half, c.half) << c.from.index();
        }
        EXPECT_EQ(interpolate(c.from, c.to, 1), c.to);
    }
    // Paths of different shapes and values of different kinds jump at the end.
    const AnimatableValue circle = Path::ellipse({0, 0, 10, 10}), square = Path::rect({0, 0, 10, 10});
    EXPECT_EQ(interpolate(circle, square, 0.99), circle);
    EXPECT_EQ(interpolate(circle, square, 1), square);
    EXPECT_EQ(interpolate(1.0, Point{}, 0.5), AnimatableValue(1.0));
    // A mirror reads as a negative scale, not a half turn.
    const auto mirror = TransformComponents::of(AffineTransform::scale(-1, 1));
    EXPECT_DOUBLE_EQ(mirror.scaleX, -1);
    EXPECT_NEAR(mirror.rotation, 0, 1e-12);
    EXPECT_TRUE(mirror.transform().isApproximately(AffineTransform::scale(-1, 1)));

    EXPECT_EQ(add(Point{1, 2}, Point{3, 4}), AnimatableValue(Point{4, 6}));
    EXPECT_EQ(subtract(Color{1, 1, 1, 1}, Color{0.5, 0, 0, 1}), AnimatableValue(Color{0.5, 1, 1, 0}));
    EXPECT_FALSE(add(1.0, Point{}));
}

TEST_F(AnimationTest, HalfWayALinearAnimationShowsHalfAndAnEaseOutOneItsCurvesValue) {
    AnimationStore store;
    auto linear = opacity(0, 1);
    store.add(*linear, "fade");
    EXPECT_NEAR(shown(store, 0.5), 0.5, 1e-9);

    AnimationStore easedStore;
    auto eased = opacity(0, 1);
    eased->setTimingFunction(TimingFunction::named(Name::easeOut));
    easedStore.add(*eased, "fade");
    EXPECT_NEAR(shown(easedStore, 0.5), 0.684643187, 1e-7);
}

TEST_F(AnimationTest, MediaTimingPlacesTheAnimationInTime) {
    // From 0 to 1 over 1 s; the model value is 5.
    struct Case {
        const char* name;
        std::function<void(BasicAnimation&)> configure;
        double at;
        double expected;
    };
    const Case cases[] = {
        {"unset duration is 0.25 s", [](BasicAnimation& a) { a.setDuration(0); }, 0.125, 0.5},
        {"before a later begin: model", [&](BasicAnimation& a) { a.setBeginTime(t0 + 1); }, 0.5, 5},
        {"backwards fill before begin",
         [&](BasicAnimation& a) { a.setBeginTime(t0 + 1); a.setFillMode(FillMode::backwards); }, 0.5, 0},
        {"both fill before begin", [&](BasicAnimation& a) { a.setBeginTime(t0 + 1); a.setFillMode(FillMode::both); },
         0.5, 0},
        {"forwards fill before begin",
         [&](BasicAnimation& a) { a.setBeginTime(t0 + 1); a.setFillMode(FillMode::forwards); }, 0.5, 5},
        {"after the end, not filled", [](BasicAnimation&) {}, 1.5, 5},
        {"after the end, forwards", [](BasicAnimation& a) { a.setFillMode(FillMode::forwards); }, 1.5, 1},
        {"after the end, backwards", [](BasicAnimation& a) { a.setFillMode(FillMode::backwards); }, 1.5, 5},
        {"begin time later", [&](BasicAnimation& a) { a.setBeginTime(t0 + 2); }, 2.25, 0.25},
        {"speed 2", [](BasicAnimation& a) { a.setSpeed(2); }, 0.25, 0.5},
        {"time offset", [](BasicAnimation& a) { a.setTimeOffset(0.5); }, 0.25, 0.75},
        {"second of two iterations", [](BasicAnimation& a) { a.setRepeatCount(2); }, 1.25, 0.25},
        {"autoreverse plays back", [](BasicAnimation& a) { a.setAutoreverses(true); }, 1.25, 0.75},
        {"repeat duration", [](BasicAnimation& a) { a.setRepeatDuration(1.5); a.setFillMode(FillMode::forwards); },
         1.75, 0.5},
        {"cumulative iterations", [](BasicAnimation& a) { a.setRepeatCount(3); a.setCumulative(true); }, 2.5, 2.5},
        {"additive adds to the model", [](BasicAnimation& a) { a.setAdditive(true); }, 0.5, 5.5},
    };
    for (const auto& c : cases) {
        AnimationStore store;
        auto a = opacity(0, 1);
        a->setRemovedOnCompletion(false);
        c.configure(*a);
        store.add(*a, "a");
        EXPECT_NEAR(shown(store, c.at, "opacity", 5), c.expected, 1e-9) << c.name;
    }
}

TEST_F(AnimationTest, FromToAndByCombineAsThePlatformDoes) {
    struct Case {
        std::optional<AnimatableValue> from, to, by;
        double expectedHalfWay;  // model 10
    };
    const Case cases[] = {
        {2.0, 4.0, std::nullopt, 3},  {2.0, std::nullopt, 4.0, 4}, {std::nullopt, 4.0, 2.0, 3},
        {2.0, std::nullopt, std::nullopt, 6}, {std::nullopt, 4.0, std::nullopt, 7},
        {std::nullopt, std::nullopt, 2.0, 11}, {std::nullopt, std::nullopt, std::nullopt, 10},
    };
    for (const auto& c : cases) {
        AnimationStore store;
        auto a = BasicAnimation::create("cornerRadius");
        a->setFromValue(c.from);
        a->setToValue(c.to);
        a->setByValue(c.by);
        a->setDuration(1);
        store.add(*a, "a");
        EXPECT_NEAR(shown(store, 0.5, "cornerRadius", 10), c.expectedHalfWay, 1e-9);
    }
}

TEST_F(AnimationTest, AnimationsOfOnePropertyCombineInOrderAndWrongKindsAreIgnored) {
    AnimationStore store;
    auto move = BasicAnimation::create("position");
    move->setFromValue(Point{0, 0});
    move->setToValue(Point{100, 0});
    move->setDuration(1);
    auto shake = BasicAnimation::create("position");
    shake->setByValue(Point{0, 10});
    shake->setAdditive(true);
    shake->setDuration(1);
    auto wrong = BasicAnimation::create("position");
    wrong->setToValue(3.0);
    store.add(*move, "move");
    store.add(*shake, "shake");
    store.add(*wrong, "wrong");
    // The caller's object changing later changes nothing that runs.
    move->setToValue(Point{-100, 0});
    EXPECT_EQ(store.presentationValue("position", Point{7, 7}, t0 + 0.5), AnimatableValue(Point{50, 5}));
    EXPECT_EQ(store.animationKeys(), (std::vector<std::string>{"move", "shake", "wrong"}));
    EXPECT_EQ(store.animation("move")->beginTime(), t0);
}

TEST_F(AnimationTest, TransformPartsAnimateInsideTheWholeTransform) {
    AnimationStore store;
    auto turn = BasicAnimation::create("transform.rotation");
    turn->setByValue(2 * pi);
    turn->setDuration(1);
    auto grow = BasicAnimation::create("transform.scale");
    grow->setFromValue(1.0);
    grow->setToValue(3.0);
    grow->setDuration(1);
    store.add(*turn, "turn");
    store.add(*grow, "grow");
    const auto half = std::get<AffineTransform>(store.presentationValue("transform", AffineTransform{}, t0 + 0.5));
    EXPECT_TRUE(half.isApproximately(AffineTransform::scale(2, 2).rotatedBy(pi), 1e-9));
    EXPECT_TRUE(store.animates("transform"));
    EXPECT_FALSE(store.animates("opacity"));
}

TEST_F(AnimationTest, KeyframesPassThroughTheirValuesByMode) {
    using Mode = KeyframeAnimation::CalculationMode;
    struct Case {
        Mode mode;
        std::vector<double> keyTimes;
        std::vector<TimingFunction> functions;
        double at;
        double expected;
    };
    // Values 0, 10, 40 over 1 s.
    const Case cases[] = {
        {Mode::linear, {}, {}, 0.25, 5},
        {Mode::linear, {}, {}, 0.75, 25},
        {Mode::linear, {0, 0.8, 1}, {}, 0.4, 5},
        {Mode::linear, {0, 1, 0.5}, {}, 0.75, 25},  // invalid key times: even
        {Mode::linear, {}, {TimingFunction::named(Name::easeIn)}, 0.25, 3.15356813},
        {Mode::discrete, {}, {}, 0.3, 0},
        {Mode::discrete, {}, {}, 0.7, 40},
        {Mode::paced, {0, 0.9, 1}, {}, 0.125, 5},  // 40 of distance: 0.25 s per 10
        {Mode::paced, {}, {}, 0.625, 25},
        {Mode::cubic, {}, {}, 0.5, 10},
    };
    for (const auto& c : cases) {
        AnimationStore store;
        auto a = KeyframeAnimation::create("opacity");
        a->setValues({0.0, 10.0, 40.0});
        a->setKeyTimes(c.keyTimes);
        a->setTimingFunctions(c.functions);
        a->setCalculationMode(c.mode);
        a->setDuration(1);
        store.add(*a, "k");
        EXPECT_NEAR(shown(store, c.at), c.expected, 1e-5) << int(c.mode) << " at " << c.at;
    }
}

TEST_F(AnimationTest, KeyframePathsInterpolatePointByPoint) {
    // Bars of heights 0.2, 1.0 and 0.5 of 20 standing on the bottom edge.
    std::vector<AnimatableValue> bars;
    for (double f : {0.2, 1.0, 0.5}) bars.push_back(Path::roundedRect({0, 20 - 20 * f, 10, 20 * f}, 2));
    auto a = KeyframeAnimation::create("path");
    a->setValues(bars);
    a->setDuration(2);
    a->setAdditive(true);  // paths do not add: the animated path shows
    a->setRepeatCount(Animation::repeatForever);
    AnimationStore store;
    store.add(*a, "animation");
    const AnimatableValue model = Path::rect({0, 0, 1, 1});
    const auto quarter = std::get<Path>(store.presentationValue("path", model, t0 + 0.5));
    const Rect box = quarter.boundingBox();  // height 0.6 × 20
    EXPECT_NEAR(box.minY(), 8, 1e-5);
    EXPECT_NEAR(box.height(), 12, 1e-5);
    EXPECT_NEAR(box.width(), 10, 1e-9);
    EXPECT_EQ(store.presentationValue("path", model, t0 + 2 * 1000 + 1), bars[1]);
}

TEST_F(AnimationTest, GroupMembersRunOnTheGroupsClock) {
    // The loading spinner's cycle.
    auto rotation = BasicAnimation::create("transform.rotation");
    rotation->setByValue(double(float(2 * pi)));
    rotation->setTimingFunction(TimingFunction::named(Name::linear));
    auto strokeEnd = BasicAnimation::create("strokeEnd");
    strokeEnd->setFromValue(0.0);
    strokeEnd->setToValue(1.0);
    strokeEnd->setDuration(0.7);
    strokeEnd->setTimingFunction(TimingFunction(0.4, 0, 0.2, 1));
    auto strokeStart = BasicAnimation::create("strokeStart");
    strokeStart->setFromValue(0.0);
    strokeStart->setToValue(1.0);
    strokeStart->setDuration(1.2);
    strokeStart->setBeginTime(0.5);
    strokeStart->setTimingFunction(TimingFunction(0.4, 0, 0.2, 1));
    auto group = AnimationGroup::create();
    group->setAnimations({rotation, strokeEnd, strokeStart});
    group->setDuration(1.7);
    group->setRepeatCount(std::numeric_limits<double>::infinity());
    group->setRemovedOnCompletion(false);
    group->setFillMode(FillMode::forwards);
    AnimationStore store;
    store.add(*group, "spin");

    EXPECT_NEAR(shown(store, 0.35, "strokeEnd"), 0.775561311, 1e-6);
    EXPECT_NEAR(shown(store, 0.35, "strokeStart", 0), 0, 1e-12);
    EXPECT_NEAR(shown(store, 1.1, "strokeStart", 0), 0.775561311, 1e-6);
    EXPECT_NEAR(shown(store, 1.1, "strokeEnd"), 1, 1e-12);
    const auto turning = std::get<AffineTransform>(store.presentationValue("transform", AffineTransform{}, t0 + 0.125));
    EXPECT_TRUE(turning.isApproximately(AffineTransform::rotation(pi), 1e-6));
    const auto still = std::get<AffineTransform>(store.presentationValue("transform", AffineTransform{}, t0 + 0.5));
    EXPECT_TRUE(still.isApproximately(AffineTransform{}, 1e-12));
    // Every cycle the same: 100 cycles later.
    EXPECT_NEAR(shown(store, 170 + 1.1, "strokeStart", 0), 0.775561311, 1e-5);
}

TEST(SpringAnimation, SettlesAtItsTargetAndOvershootsOnlyWhenUnderDamped) {
    struct Case { double damping; bool overshoots; };
    const Case cases[] = {{4, true}, {10, true}, {20, false}, {40, false}};  // stiffness 100: critical at 20
    for (const auto& c : cases) {
        auto spring = SpringAnimation::create("position");
        spring->setDamping(c.damping);
        spring->setInitialVelocity(c.damping == 40 ? 5.0 : 0.0);
        const double settle = spring->settlingDuration();
        EXPECT_GT(settle, 0.1);
        double peak = 0;
        for (double t = 0; t < settle; t += 0.001) peak = std::max(peak, spring->position(t));
        EXPECT_EQ(peak > 1.0001, c.overshoots) << c.damping;
        for (double t = settle; t < settle + 2; t += 0.01) EXPECT_NEAR(spring->position(t), 1, 1.01e-3) << c.damping;
    }
    // A view spring settles by its duration, with and without bounce.
    for (double ratio : {0.3, 0.65, 1.0, 2.0}) {
        auto spring = SpringAnimation::viewSpring("position", ratio, 1.0, 0.6);
        EXPECT_NEAR(spring->settlingDuration(), 0.6, 1e-3) << ratio;
        EXPECT_NEAR(spring->position(0.6), 1, 1.01e-3) << ratio;
    }
}

TEST_F(AnimationTest, EndsRemovalsAndReplacementsCompleteOnTheClock) {
    AnimationStore store;
    std::vector<std::pair<std::string, bool>> stops;
    auto track = [&](std::shared_ptr<BasicAnimation> a, std::string name) {
        a->setDidStop([&stops, name](bool finished) { stops.emplace_back(name, finished); });
        return a;
    };
    auto ends = track(opacity(0, 1, 0.5), "ends");
    auto stays = track(opacity(0, 1, 0.5), "stays");
    stays->setRemovedOnCompletion(false);
    auto removed = track(opacity(0, 1, 0.5), "removed");
    auto replaced = track(opacity(0, 1, 0.5), "replaced");
    auto forever = track(opacity(0, 1, 0.5), "forever");
    forever->setRepeatCount(Animation::repeatForever);
    auto replacement = track(opacity(0, 1, 0.5), "replacement");
    auto later = opacity(0, 1, 0.1);
    later->setBeginTime(t0 + 0.2);
    bool started = false;
    later->setDidStart([&] { started = true; });
    store.add(*later, "");
    store.add(*ends, "ends");
    store.add(*stays, "stays");
    store.add(*removed, "removed");
    store.add(*replaced, "same key");
    store.add(*forever, "forever");
    store.add(*replacement, "same key");
    store.remove("removed");
    EXPECT_TRUE(stops.empty());  // removals stop on the next turn
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops, (std::vector<std::pair<std::string, bool>>{{"replaced", false}, {"removed", false}}));
    EXPECT_FALSE(started);
    RunLoop::main().advance(0.2);
    EXPECT_TRUE(started);  // at its begin time
    RunLoop::main().advance(0.3);
    EXPECT_EQ(stops.size(), 5u);
    EXPECT_EQ(stops[2], (std::pair<std::string, bool>{"ends", true}));
    EXPECT_EQ(stops[3], (std::pair<std::string, bool>{"stays", true}));
    EXPECT_EQ(stops[4], (std::pair<std::string, bool>{"replacement", true}));
    EXPECT_EQ(store.animationKeys(), (std::vector<std::string>{"stays", "forever"}));
    RunLoop::main().advance(100000);
    EXPECT_EQ(stops.size(), 5u);  // for ever means for ever
    store.removeAll();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(stops.back(), (std::pair<std::string, bool>{"forever", false}));
    EXPECT_EQ(stops.size(), 6u);  // the finished one does not stop twice
}

TEST_F(AnimationTest, ATransactionCompletesWhenItsLastAnimationHasEnded) {
    AnimationStore store;
    int completions = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    store.add(*opacity(0, 1, 0.5), "short");
    Transaction::begin();  // nested: its animations count for the outer one too
    store.add(*opacity(0, 1, 1), "long");
    Transaction::commit();
    Transaction::commit();
    RunLoop::main().advance(0.5);
    EXPECT_EQ(completions, 0);
    RunLoop::main().advance(0.5);
    EXPECT_EQ(completions, 1);

    // Removal counts as an end; an empty transaction completes on the next turn.
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    store.add(*opacity(0, 1, 10), "slow");
    Transaction::commit();
    store.remove("slow");
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completions, 2);
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    Transaction::commit();
    EXPECT_EQ(completions, 2);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completions, 3);

    // The transaction's duration applies to animations without their own.
    Transaction::begin();
    Transaction::setAnimationDuration(2);
    auto plain = BasicAnimation::create("opacity");
    store.add(*plain, "plain");
    Transaction::commit();
    EXPECT_EQ(store.animation("plain")->duration(), 2);
}

TEST_F(AnimationTest, AStoreThatGoesAwayStopsItsAnimationsUnfinished) {
    bool finished = true;
    int completions = 0;
    {
        AnimationStore store;
        Transaction::begin();
        Transaction::setCompletionBlock([&] { ++completions; });
        auto a = opacity(0, 1, 1);
        a->setDidStop([&](bool f) { finished = f; });
        store.add(*a, "a");
        Transaction::commit();
    }
    RunLoop::main().advance(2);
    EXPECT_FALSE(finished);
    EXPECT_EQ(completions, 1);
}

}  // namespace
