// Cost of following the finger with the bottom sheet: one move of the
// expanding pan on a sheet open at its preview height (414 x 800 window),
// delivered through the window's touches, with the update of every
// transition property, the new top constant and the layout pass of the
// turn. The finger goes up and down by 50 points, never far enough to
// expand.
#include <benchmark/benchmark.h>

#include "orvane/presentation/OVCompactPresentableViewController.hpp"
#include "orvane/presentation/OVCompactVCPresentationTransitioning.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"

using namespace orvane;
using namespace platform::ui;

namespace {

class Presentable : public ViewController, public OVCompactPresentableViewController {
public:
    static std::shared_ptr<Presentable> create() { return std::make_shared<Presentable>(ConstructorKey{}); }
    explicit Presentable(ConstructorKey key) : ViewController(key) {}
    std::shared_ptr<OVVCPresentationTransitioningProtocol> animator;
    std::shared_ptr<View> previewView = View::create({0, 0, 414, 300});

    std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>&, const std::shared_ptr<ViewController>&,
        const std::shared_ptr<ViewController>&) override {
        return animator;
    }
    void loadView() override {
        auto v = View::create({0, 0, 414, 800});
        v->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
        v->addSubview(previewView);
        setView(v);
    }
    std::optional<OVTheme> theme() const override { return OVTheme::light; }
    void controllerViewWasAddedToContainer(LayoutGuide&) override {}
    void closeTapGestureRecognizerWasSet(const std::shared_ptr<TapGestureRecognizer>&) override {}
    void presentationAnimationWillStart() override {}
    void expandingPanGestureRecognizerWasSet(const std::shared_ptr<PanGestureRecognizer>&) override {}
    void dismissPanGestureRecognizerWasSet(const std::shared_ptr<PanGestureRecognizer>&) override {}
    void stateDidChange(OVCompactDisplayState, OVCompactDisplayState) override {}
    OVCompactTransitionPropertyList transitionProperties() override { return {}; }
    std::shared_ptr<View> preview() override { return previewView; }
    void setImageRatio(double, bool) override {}
    bool shouldStartShrink() override { return true; }
    void isShrinking(double) override {}
};

void BM_SheetFollowsOneMoveOfTheFinger(benchmark::State& state) {
    auto& loop = platform::core::RunLoop::main();
    loop.useManualClock();
    auto window = Window::create({414, 800}, 2);
    auto root = ViewController::create();
    window->setRootViewController(root);
    auto presented = Presentable::create();
    auto animator = OVCompactVCPresentationTransitioning::create(false);
    presented->animator = animator;
    presented->setModalPresentationStyle(ModalPresentationStyle::custom);
    presented->setTransitioningDelegate(presented);
    root->present(presented, true);
    loop.advance(1);

    window->sendTouch(0, TouchPhase::began, {207, 700});
    bool up = true;
    for (auto _ : state) {
        loop.advance(1.0 / 60);
        window->sendTouch(0, TouchPhase::moved, {207, up ? 650.0 : 700.0});
        up = !up;
    }
    window->sendTouch(0, TouchPhase::cancelled, {207, 700});
    if (presented->view()->superview()->frame().origin.y < 300) state.SkipWithError("the sheet did not follow");
}
BENCHMARK(BM_SheetFollowsOneMoveOfTheFinger)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
