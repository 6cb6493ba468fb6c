// Cost of following the finger on the side panel: one pan movement delivered
// through the window (the recogniser, the three transition properties, the
// constraint's new constant) followed by the layout pass that moves the
// panel and the handle; and the property list's update alone.
#include <benchmark/benchmark.h>

#include "orvane/presentation/OVRegularVCPresentationTransitioning.hpp"
#include "orvane/presentation/PresentationTestSupport.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"

using namespace orvane;
using namespace platform::ui;

namespace {

struct SidePanel {
    std::shared_ptr<Window> window = Window::create({1024, 768}, 2);
    std::shared_ptr<ViewController> root = ViewController::create();
    std::shared_ptr<presentation_test::RecordingPresentable> presented =
        presentation_test::RecordingPresentable::create({0, 0, 1024, 768});
    std::shared_ptr<OVRegularVCPresentationTransitioning> animator = OVRegularVCPresentationTransitioning::create();

    SidePanel() {
        platform::core::RunLoop::main().useManualClock();
        window->setStatusBarFrame({0, 0, 1024, 20});
        Application::shared().makeKeyWindow(window);
        window->setRootViewController(root);
        presented->setModalPresentationStyle(ModalPresentationStyle::custom);
        presented->setTransitioningDelegate(presented);
        presented->presentationTransitioning = animator;
        root->present(presented, true);
        platform::core::RunLoop::main().advance(0.8);
    }
};

void BM_SidePanelDragMovement(benchmark::State& state) {
    SidePanel panel;
    panel.window->sendTouch(1, TouchPhase::began, {700, 400});
    double x = 700;
    for (auto _ : state) {
        x = x >= 900 ? 720 : x + 1;
        panel.window->sendTouch(1, TouchPhase::moved, {x, 400});
        panel.window->layoutIfNeeded();
    }
    panel.window->sendTouch(1, TouchPhase::cancelled, {x, 400});
}
BENCHMARK(BM_SidePanelDragMovement)->Unit(benchmark::kMicrosecond);

void BM_RegularPropertyListUpdate(benchmark::State& state) {
    SidePanel panel;
    double p = 1;
    for (auto _ : state) {
        p = p <= 0.2 ? 1 : p - 0.001;
        OVTransitionProperty::update(panel.animator->transitionProperties(), p, 2);
    }
}
BENCHMARK(BM_RegularPropertyListUpdate)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
