// Cost of the interface kit's per-frame work: drawing a phone-sized window
// (375 x 812 points at scale 2) holding 200 cards with rounded corners,
// shadows and gradients, and hit testing through 1,000 views; frames for a
// host (390 x 844 at scale 2): an idle frame, a frame with one small
// change, and a full frame of the same window drawn afresh beside them.
#include <benchmark/benchmark.h>

#include <random>

#include "platform/ui/views/GradientLayer.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

// 200 cards of 32 x 34 points in a 10 x 20 grid filling the window.
std::shared_ptr<Window> cardWindow(bool shadows) {
    auto window = Window::create({375, 812}, 2);
    auto root = View::create();
    root->setBackgroundColor(Color{0.95, 0.95, 0.97, 1});
    window->setRootView(root);
    for (int i = 0; i < 200; ++i) {
        auto card = View::create({3.0 + (i % 10) * 37, 6.0 + (i / 10) * 40, 32, 34});
        card->setBackgroundColor(Color{1, 1, 1, 1});
        card->layer()->setCornerRadius(8);
        if (shadows) {
            card->layer()->setShadowOpacity(0.3);
            card->layer()->setShadowOffset({0, 2});
            card->layer()->setShadowRadius(4);
        }
        auto gradient = GradientLayer::create();
        gradient->setFrame({0, 0, 32, 34});
        gradient->setCornerRadius(8);
        gradient->setMasksToBounds(true);
        gradient->setColors({Color{0.2, 0.4, 0.9, 1}, Color{0.9, 0.3, 0.5, 1}});
        card->layer()->addSublayer(gradient);
        root->addSubview(card);
    }
    window->layoutIfNeeded();
    return window;
}

void BM_DrawWindowOf200Cards(benchmark::State& state) {
    auto window = cardWindow(state.range(0) != 0);
    for (auto _ : state) {
        auto image = Renderer::render(*window);
        benchmark::DoNotOptimize(image);
    }
    state.SetLabel(state.range(0) ? "with shadows" : "without shadows");
}
BENCHMARK(BM_DrawWindowOf200Cards)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The cost of a frame without cards: the window's background and the image.
void BM_DrawEmptyWindow(benchmark::State& state) {
    auto window = Window::create({375, 812}, 2);
    auto root = View::create();
    root->setBackgroundColor(Color{0.95, 0.95, 0.97, 1});
    window->setRootView(root);
    for (auto _ : state) {
        auto image = Renderer::render(*window);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_DrawEmptyWindow)->Unit(benchmark::kMillisecond);

// 1,000 views: 10 columns of 50 rows, each row a container with a label
// view inside; a touch lands on a random point of the window.
void BM_HitTestThrough1000Views(benchmark::State& state) {
    auto window = Window::create({375, 812}, 2);
    auto root = View::create();
    window->setRootView(root);
    for (int column = 0; column < 10; ++column) {
        auto list = View::create({column * 37.5, 0, 37.5, 812});
        root->addSubview(list);
        for (int row = 0; row < 50; ++row) {
            auto cell = View::create({0, row * 16.24, 37.5, 16});
            cell->addSubview(View::create({2, 2, 20, 12}));
            list->addSubview(cell);
        }
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, 375), y(0, 812);
    for (auto _ : state) {
        auto hit = window->hitTest({x(random), y(random)});
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(BM_HitTestThrough1000Views);

// A 390 x 844 window at scale 2: a background, 40 cards with rounded corners
// and a small dot that a frame may recolour.
std::shared_ptr<Window> hostWindow(std::shared_ptr<View>& dot) {
    auto window = Window::create({390, 844}, 2);
    auto root = View::create();
    root->setBackgroundColor(Color{0.95, 0.95, 0.97, 1});
    window->setRootView(root);
    for (int i = 0; i < 40; ++i) {
        auto card = View::create({10.0 + (i % 4) * 95, 10.0 + (i / 4) * 80, 85, 70});
        card->setBackgroundColor(Color{1, 1, 1, 1});
        card->layer()->setCornerRadius(10);
        root->addSubview(card);
    }
    dot = View::create({20, 20, 12, 12});
    dot->layer()->setCornerRadius(6);
    dot->setBackgroundColor(Color{1, 0, 0, 1});
    root->addSubview(dot);
    window->renderFrame();
    return window;
}

// Nothing changed: nothing is drawn.
void BM_FrameIdle(benchmark::State& state) {
    std::shared_ptr<View> dot;
    auto window = hostWindow(dot);
    for (auto _ : state) {
        auto damage = window->renderFrame();
        benchmark::DoNotOptimize(damage);
    }
}
BENCHMARK(BM_FrameIdle)->Unit(benchmark::kMicrosecond);

// One small view changes colour each frame: only its area is redrawn.
void BM_FrameOneSmallChange(benchmark::State& state) {
    std::shared_ptr<View> dot;
    auto window = hostWindow(dot);
    bool red = false;
    for (auto _ : state) {
        red = !red;
        dot->setBackgroundColor(red ? Color{1, 0, 0, 1} : Color{0, 0, 1, 1});
        auto damage = window->renderFrame();
        benchmark::DoNotOptimize(damage);
    }
}
BENCHMARK(BM_FrameOneSmallChange)->Unit(benchmark::kMicrosecond);

// The same window drawn whole into a fresh image, as every frame was drawn
// before frames kept their surface.
void BM_FrameFullRender(benchmark::State& state) {
    std::shared_ptr<View> dot;
    auto window = hostWindow(dot);
    for (auto _ : state) {
        auto image = Renderer::render(*window);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_FrameFullRender)->Unit(benchmark::kMicrosecond);

// The same window: the background changes, the whole kept surface is redrawn.
void BM_FrameWholeRedraw(benchmark::State& state) {
    std::shared_ptr<View> dot;
    auto window = hostWindow(dot);
    bool grey = false;
    for (auto _ : state) {
        grey = !grey;
        window->rootView()->setBackgroundColor(grey ? Color{0.9, 0.9, 0.9, 1} : Color{0.95, 0.95, 0.97, 1});
        auto damage = window->renderFrame();
        benchmark::DoNotOptimize(damage);
    }
}
BENCHMARK(BM_FrameWholeRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
