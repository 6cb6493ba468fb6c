// Cost of the interface kit's effect views and touch delivery: drawing a
// window whose 375 x 300-point blur (scale 2) covers a busy background, next
// to the same window without the blur, and one tap delivered through 50
// levels of views to a button under a tap recogniser on every level.
#include <benchmark/benchmark.h>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/VisualEffectView.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace platform::ui;

namespace {

std::shared_ptr<Window> stripedWindow(bool blur) {
    auto window = Window::create({375, 300}, 2);
    for (int i = 0; i < 40; ++i) {
        auto stripe = View::create({i * 9.375, 0, 4.7, 300});
        stripe->setBackgroundColor(Color{0.1 * (i % 10), 0.3, 0.8, 1});
        window->addSubview(stripe);
    }
    if (blur) {
        window->addSubview(VisualEffectView::create(BlurEffect::create(BlurEffect::Style::light), {0, 0, 375, 300}));
    }
    window->layoutIfNeeded();
    return window;
}

void BM_BlurRegion375x300AtScale2(benchmark::State& state) {
    auto window = stripedWindow(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(Renderer::render(*window));
    state.SetLabel(state.range(0) ? "with blur" : "without blur");
}
BENCHMARK(BM_BlurRegion375x300AtScale2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

struct Counter {
    int ups = 0, taps = 0;
    void onUp() { ++ups; }
    void onTap() { ++taps; }
};

void BM_TapThrough50Levels(benchmark::State& state) {
    platform::core::RunLoop::main().useManualClock();
    auto window = Window::create({375, 812}, 2);
    auto counter = std::make_shared<Counter>();
    std::shared_ptr<View> parent = window;
    for (int i = 0; i < 50; ++i) {
        auto level = View::create({1, 1, 300, 700});
        level->addGestureRecognizer(TapGestureRecognizer::create(counter, &Counter::onTap));
        parent->addSubview(level);
        parent = level;
    }
    auto button = Button::create({10, 10, 100, 44});
    button->addTarget(counter, &Counter::onUp, ControlEvents::touchUpInside);
    parent->addSubview(button);
    window->layoutIfNeeded();
    for (auto _ : state) testsupport::tap(*window, {100, 100});
    if (counter->ups != static_cast<int>(state.iterations()) || counter->taps != 0) state.SkipWithError("lost taps");
}
BENCHMARK(BM_TapThrough50Levels)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
