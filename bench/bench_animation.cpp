// Cost of a frame of animation: 500 running animations (basic, keyframe,
// spring and the spinner's group, on several key paths of 100 layers) whose
// presentation values are evaluated for every animatable property per frame;
// and the cost of adding and completing animations on the run loop's clock.
#include <benchmark/benchmark.h>

#include <memory>
#include <numbers>
#include <vector>

#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/AnimationGroup.hpp"
#include "platform/ui/animation/AnimationStore.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/animation/ViewAnimation.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;
using platform::core::RunLoop;

namespace {

constexpr int layerCount = 100;  // 5 animations each

void addLayerAnimations(AnimationStore& store, int i) {
    auto fade = BasicAnimation::create("opacity");
    fade->setFromValue(0.0);
    fade->setToValue(1.0);
    fade->setDuration(2 + i % 3);
    fade->setTimingFunction(TimingFunction::named(TimingFunction::Name::easeInEaseOut));
    fade->setRepeatCount(Animation::repeatForever);
    fade->setAutoreverses(true);
    store.add(*fade, "fade");

    auto move = SpringAnimation::viewSpring("position", 0.6, 1.0, 1000);
    move->setFromValue(Point{0, 0});
    move->setToValue(Point{100.0 + i, 50});
    store.add(*move, "move");

    std::vector<AnimatableValue> bars;
    for (double f : {0.0, 0.7, 0.4, 0.05, 0.95, 0.3, 0.9, 0.4, 0.15, 0.18, 0.75, 0.01})
        bars.push_back(Path::roundedRect({0, 20 - 20 * f, 10, 20 * f}, 2));
    auto bar = KeyframeAnimation::create("path");
    bar->setValues(std::move(bars));
    bar->setDuration(1.7 + 0.1 * (i % 7));
    bar->setRepeatCount(Animation::repeatForever);
    bar->setAdditive(true);
    store.add(*bar, "animation");

    auto rotation = BasicAnimation::create("transform.rotation");
    rotation->setByValue(2 * std::numbers::pi);
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
    auto spin = AnimationGroup::create();
    spin->setAnimations({rotation, strokeEnd, strokeStart});
    spin->setDuration(1.7);
    spin->setRepeatCount(Animation::repeatForever);
    store.add(*spin, "spin");

    auto colour = BasicAnimation::create("backgroundColor");
    colour->setFromValue(Color::white());
    colour->setToValue(Color{0.2, 0.4, 0.8, 1});
    colour->setDuration(3);
    colour->setRepeatCount(Animation::repeatForever);
    store.add(*colour, "colour");
}

}  // namespace

static void BM_PresentationValuesPerFrame(benchmark::State& state) {
    RunLoop::main().useManualClock();
    std::vector<std::unique_ptr<AnimationStore>> stores;
    for (int i = 0; i < layerCount; ++i) {
        stores.push_back(std::make_unique<AnimationStore>());
        addLayerAnimations(*stores.back(), i);
    }
    const AnimatableValue modelPath = Path::roundedRect({0, 10, 10, 10}, 2);
    const AnimatableValue modelTransform = AffineTransform{};
    const AnimatableValue one = 1.0, zero = 0.0, origin = Point{}, white = Color::white();
    const AnimatableValue bounds = Rect{0, 0, 40, 40};
    double now = RunLoop::main().now();
    for (auto _ : state) {
        now += 1.0 / 60;
        for (const auto& store : stores) {
            // Every property a renderer reads of a shape layer.
            benchmark::DoNotOptimize(store->presentationValue("opacity", one, now));
            benchmark::DoNotOptimize(store->presentationValue("position", origin, now));
            benchmark::DoNotOptimize(store->presentationValue("bounds", bounds, now));
            benchmark::DoNotOptimize(store->presentationValue("transform", modelTransform, now));
            benchmark::DoNotOptimize(store->presentationValue("backgroundColor", white, now));
            benchmark::DoNotOptimize(store->presentationValue("strokeStart", zero, now));
            benchmark::DoNotOptimize(store->presentationValue("strokeEnd", one, now));
            benchmark::DoNotOptimize(store->presentationValue("path", modelPath, now));
        }
    }
    state.SetItemsProcessed(state.iterations() * layerCount * 5);
    state.SetLabel("items = running animations");
}
BENCHMARK(BM_PresentationValuesPerFrame)->Unit(benchmark::kMicrosecond);

static void BM_AddAndComplete(benchmark::State& state) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    AnimationStore store;
    auto fade = BasicAnimation::create("opacity");
    fade->setFromValue(0.0);
    fade->setToValue(1.0);
    fade->setDuration(0.25);
    int stopped = 0;
    fade->setDidStop([&stopped](bool) { ++stopped; });
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i) store.add(*fade, i % 2 ? "" : "fade");
        loop.advance(0.25);
    }
    benchmark::DoNotOptimize(stopped);
    state.SetItemsProcessed(state.iterations() * 500);
}
BENCHMARK(BM_AddAndComplete)->Unit(benchmark::kMicrosecond);

// A 375 x 812 window at scale 2 with 100 equalizers (300 keyframe
// animations), 100 spinners (100 groups) and 100 views springing across
// (100 springs): one frame drawn per iteration, animations in flight.
static void BM_DrawAnimatedFrame(benchmark::State& state) {
    auto& loop = RunLoop::main();
    loop.useManualClock();
    auto window = Window::create({375, 812}, 2);
    for (int i = 0; i < 100; ++i) {
        const double x = (i % 10) * 36.0, y = (i / 10) * 80.0;
        auto equalizer = orvane::OVEqualizerAnimationView::create({x, y, 24, 24});
        equalizer->setColor(Color::black());
        window->addSubview(equalizer);
        equalizer->startAnimation();
        auto spinner = orvane::OVCircleSpinAnimationView::create({x, y + 26, 30, 30});
        spinner->setColor(Color{0.5, 0.5, 0.5, 1});
        window->addSubview(spinner);
        spinner->startAnimation();
        auto box = View::create({x, y + 58, 20, 20});
        box->setBackgroundColor(Color{0.2, 0.4, 0.8, 1});
        window->addSubview(box);
        ViewAnimation::animateSpring(1000, 0, 0.5, 1, {}, [&] { box->setCenter({x + 30, y + 68}); });
    }
    for (auto _ : state) {
        loop.advance(1.0 / 60);
        benchmark::DoNotOptimize(window->snapshot());
    }
    state.SetLabel("500 running animations");
}
BENCHMARK(BM_DrawAnimatedFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
