// Cost of the controller layer's everyday transitions: a push and a pop on
// a navigation controller shown in a window, and a custom presentation and
// dismissal, each without an animator (the kit's own immediate transition).
#include <benchmark/benchmark.h>

#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

void BM_NavigationPushPop(benchmark::State& state) {
    auto window = Window::create({375, 812}, 2);
    auto nav = NavigationController::create(ViewController::create());
    window->setRootViewController(nav);
    for (auto _ : state) {
        nav->push(ViewController::create(), false);
        benchmark::DoNotOptimize(nav->pop(false));
    }
}
BENCHMARK(BM_NavigationPushPop);

void BM_PresentDismiss(benchmark::State& state) {
    auto window = Window::create({375, 812}, 2);
    auto root = ViewController::create();
    window->setRootViewController(root);
    for (auto _ : state) {
        auto presented = ViewController::create();
        presented->setModalPresentationStyle(ModalPresentationStyle::custom);
        root->present(presented, false);
        benchmark::DoNotOptimize(root->dismiss(false));
    }
}
BENCHMARK(BM_PresentDismiss);

}  // namespace

BENCHMARK_MAIN();
