#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "PresentationTestSupport.hpp"
#include "orvane/presentation/OVCancelButton.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/presentation/OVVCPresentationTransitioning.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace orvane;
using namespace platform::ui;
using presentation_test::CountingDelegate;

namespace {

// The stroke layer of a handle, reached through its view tree: the layer in
// the mask view of its blur.
std::shared_ptr<ShapeLayer> strokeOf(const OVSwipeButon& handle) {
    for (const auto& sub : handle.subviews()) {
        auto blur = std::dynamic_pointer_cast<VisualEffectView>(sub);
        if (!blur || !blur->maskView()) continue;
        const auto& layers = blur->maskView()->layer()->sublayers();
        if (!layers.empty()) return std::dynamic_pointer_cast<ShapeLayer>(layers.front());
    }
    return nullptr;
}

std::optional<std::vector<Point>> pointsOf(const OVSwipeButon& handle) {
    auto stroke = strokeOf(handle);
    if (!stroke || !stroke->path()) return std::nullopt;
    std::vector<Point> points;
    for (const auto& e : stroke->path()->elements()) points.push_back(e.points[0]);
    return points;
}

// The smallest concrete animator: the base with nothing of its own.
class BareAnimator : public OVVCPresentationTransitioning {
public:
    static std::shared_ptr<BareAnimator> create() { return std::make_shared<BareAnimator>(); }
    BareAnimator() = default;
    double transitionDuration(const std::shared_ptr<TransitionContext>&) override { return 0; }
    void animateTransition(const std::shared_ptr<TransitionContext>& context) override {
        context->completeTransition(true);
    }
    void dismiss() override {}
    void fullExpand(std::function<void()>) override {}
};

}  // namespace

TEST(SwipeHandle, PathFollowsTheFactorAndIsRedrawnOnEachBoundsAssignment) {
    using Points = std::optional<std::vector<Point>>;
    auto handle = OVSwipeButon::create();
    auto stroke = strokeOf(*handle);
    ASSERT_TRUE(stroke);
    EXPECT_EQ(stroke->strokeColor(), Color::white());
    EXPECT_FALSE(stroke->fillColor());
    EXPECT_EQ(stroke->lineWidth(), 5);
    EXPECT_EQ(stroke->lineCap(), LineCap::round);
    EXPECT_EQ(stroke->lineJoin(), LineJoin::round);

    struct Step {
        std::string name;
        std::function<void(OVSwipeButon&)> action;
        Points expected;  // none: no stroke (or not redrawn, after clearing it)
    };
    const std::vector<Step> steps{
        {"made with a zero frame: nothing drawn", [](OVSwipeButon&) {}, std::nullopt},
        {"factor 0 again: already 0, no drawing", [](OVSwipeButon& h) { h.setHeightFactor(0); }, std::nullopt},
        {"bounds 40 x 40: the flat bar", [](OVSwipeButon& h) { h.setBounds({0, 0, 40, 40}); },
         std::vector<Point>{{5, 20}, {20, 20}, {35, 20}}},
        {"factor 0.5", [](OVSwipeButon& h) { h.setHeightFactor(0.5); },
         std::vector<Point>{{5, 20}, {20, 22.5}, {35, 20}}},
        {"factor 1: the chevron", [](OVSwipeButon& h) { h.setHeightFactor(1); },
         std::vector<Point>{{5, 20}, {20, 25}, {35, 20}}},
        {"the same factor is not redrawn", [](OVSwipeButon& h) { h.setHeightFactor(1); }, std::nullopt},
        {"the same bounds are redrawn", [](OVSwipeButon& h) { h.setBounds({0, 0, 40, 40}); },
         std::vector<Point>{{5, 20}, {20, 25}, {35, 20}}},
        {"a layout frame of 60 x 20 redraws", [](OVSwipeButon& h) { h.setFrame({100, 100, 60, 20}); },
         std::vector<Point>{{15, 10}, {30, 15}, {45, 10}}},
        {"narrower than 35: beyond the bounds", [](OVSwipeButon& h) { h.setBounds({0, 0, 20, 40}); },
         std::vector<Point>{{-5, 20}, {10, 25}, {25, 20}}},
        {"factor 2, not clamped", [](OVSwipeButon& h) { h.setHeightFactor(2); },
         std::vector<Point>{{-5, 20}, {10, 30}, {25, 20}}},
        {"factor -1, not clamped", [](OVSwipeButon& h) { h.setHeightFactor(-1); },
         std::vector<Point>{{-5, 20}, {10, 15}, {25, 20}}},
        {"not a number: refused", [](OVSwipeButon& h) { h.setHeightFactor(std::numeric_limits<double>::quiet_NaN()); },
         std::nullopt},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        stroke->setPath(std::nullopt);  // what is drawn again shows
        step.action(*handle);
        EXPECT_EQ(pointsOf(*handle), step.expected);
    }
    EXPECT_EQ(handle->heightFactor(), -1);
}

TEST(BaseAnimator, TapsReachTheDelegateThroughTheirRoutesOnly) {
    platform::core::RunLoop::main().useManualClock();
    auto window = Window::create({400, 400});
    auto closeArea = View::create({0, 0, 400, 200});
    window->addSubview(closeArea);
    auto handle = OVSwipeButon::create({50, 250, 40, 40});
    auto cancel = OVCancelButton::create();
    cancel->setFrame({250, 250, 40, 40});
    window->addSubview(handle);
    window->addSubview(cancel);

    auto animator = BareAnimator::create();
    const auto& tap = animator->tapToCloseGestureRecognizer();
    EXPECT_EQ(animator->tapToCloseGestureRecognizer(), tap);
    closeArea->addGestureRecognizer(tap);
    animator->setCancel();  // no button yet: nothing
    animator->setSwipeTarget();
    animator->setCancelButton(cancel);
    animator->setSwipeDownButton(handle);
    animator->setCancel();
    animator->setSwipeTarget();

    // No delegate: nothing happens.
    testsupport::tap(*window, {100, 100});
    testsupport::tap(*window, {70, 270});
    testsupport::tap(*window, {270, 270});

    auto delegate = std::make_shared<CountingDelegate>();
    animator->setDelegate(delegate);
    struct Case {
        std::string name;
        Point at;
        int close, swipeDown;
    };
    for (const auto& c : std::vector<Case>{{"close area", {100, 100}, 0, 1},
                                           {"swipe handle", {70, 270}, 0, 1},
                                           {"cancel button", {270, 270}, 1, 0},
                                           {"elsewhere", {200, 350}, 0, 0}}) {
        SCOPED_TRACE(c.name);
        *delegate = CountingDelegate{};
        testsupport::tap(*window, c.at);
        EXPECT_EQ(delegate->close, c.close);
        EXPECT_EQ(delegate->swipeDown, c.swipeDown);
        EXPECT_EQ(delegate->openExpand, 0);
    }

    auto replacement = TapGestureRecognizer::create();
    animator->setTapToCloseGestureRecognizer(replacement);
    EXPECT_EQ(animator->tapToCloseGestureRecognizer(), replacement);
}

TEST(BaseAnimator, ShadowAndDimmingView) {
    auto animator = BareAnimator::create();
    auto panel = View::create({0, 0, 100, 100});
    auto presented = View::create({0, 0, 100, 100});
    const auto pristine = View::create()->layer();
    animator->customizeLayers(nullptr, presented, {-5, -5});
    animator->customizeLayers(panel, presented, {-5, -5});
    const auto& layer = *panel->layer();
    EXPECT_EQ(layer.shadowColor(), (Color{5.0 / 255.0, 5.0 / 255.0, 5.0 / 255.0, 0.2}));
    EXPECT_EQ(layer.shadowOpacity(), 0.2);
    EXPECT_EQ(layer.shadowOffset(), (Size{-5, -5}));
    EXPECT_EQ(layer.shadowRadius(), 1.0);
    EXPECT_EQ(presented->layer()->shadowOpacity(), pristine->shadowOpacity());
    EXPECT_EQ(presented->layer()->shadowOffset(), pristine->shadowOffset());

    auto container = View::create({10, 20, 300, 200});
    container->addSubview(View::create({0, 0, 50, 50}));
    container->addSubview(View::create({50, 0, 50, 50}));
    auto shadow = OVVCPresentationTransitioning::addShadowView(container);
    EXPECT_EQ(container->subviews().back(), shadow);
    EXPECT_EQ(shadow->frame(), (Rect{0, 0, 300, 200}));
    EXPECT_EQ(shadow->backgroundColor(), Color::black());
    EXPECT_EQ(shadow->alpha(), 0.0);
    EXPECT_EQ(shadow->autoresizingMask(), AutoresizingMask::none);
    EXPECT_EQ(animator->shadowViewAlpha(), 0.4);
}
