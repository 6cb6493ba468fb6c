// Cost of the root container's paging: a page turn by the pages' side
// buttons there and back (the neighbour from the data source, the screen
// swapped, indices and footer brought in step, the footer's queued slide and
// its layout pass), and one frame of a drag past the first screen (the
// scroll view's offset, the edge-bounce detection, the footer moved with
// the rubber band).
#include <benchmark/benchmark.h>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/OVFanViewController.hpp"
#include "orvane/coordinator/OVLayerHooks.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"

using namespace orvane;
using platform::core::RunLoop;
using platform::ui::PageViewControllerNavigationDirection;

namespace {

struct Container {
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create({390, 844}, 2);
    std::shared_ptr<OVCoordinator> coordinator;
    std::shared_ptr<OVFanViewController> fan;

    Container() {
        RunLoop::main().useManualClock();
        installLayerHooks();
        platform::ui::Application::shared().makeKeyWindow(window);
        coordinator = OVCoordinator::create();
        fan = OVFanViewController::create();
        fan->initialize(coordinator);
        window->setRootViewController(fan);
        window->layoutIfNeeded();
        RunLoop::main().runUntilIdle();
    }
};

void BM_ContainerPageTurnThereAndBack(benchmark::State& state) {
    Container c;
    for (auto _ : state) {
        c.fan->swipe(PageViewControllerNavigationDirection::forward);
        RunLoop::main().runUntilIdle();
        c.window->layoutIfNeeded();
        c.fan->swipe(PageViewControllerNavigationDirection::reverse);
        RunLoop::main().runUntilIdle();
        c.window->layoutIfNeeded();
    }
}
BENCHMARK(BM_ContainerPageTurnThereAndBack)->Unit(benchmark::kMicrosecond);

void BM_ContainerEdgeBounceFrame(benchmark::State& state) {
    Container c;
    c.fan->swipe(PageViewControllerNavigationDirection::reverse);
    RunLoop::main().runUntilIdle();
    const auto scroll = c.fan->scrollView();
    scroll->beginDragging();
    double x = 0;
    for (auto _ : state) {
        x = x >= 60 ? 1 : x + 1;
        scroll->dragBy({x, 0});
    }
    scroll->cancelDragging();
}
BENCHMARK(BM_ContainerEdgeBounceFrame)->Unit(benchmark::kNanosecond);

}  // namespace
BENCHMARK_MAIN();
