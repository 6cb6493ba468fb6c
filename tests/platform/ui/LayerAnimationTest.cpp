// Animations on real layers: the renderer draws presentation values, view
// animation blocks animate a view's own layer only, and a running block that
// does not allow user interaction keeps touches off its view.
#include <gtest/gtest.h>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/animation/ViewAnimation.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace platform::ui;
using platform::core::RunLoop;
using renderprobe::pixelAt;

class LayerAnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        window = Window::create({100, 20}, 1);
        view = View::create({0, 0, 20, 20});
        view->setBackgroundColor(Color{1, 0, 0, 1});
        window->addSubview(view);
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<View> view;
};

TEST_F(LayerAnimationTest, ASnapshotHalfWayShowsTheAnimationHalfWay) {
    const ViewAnimationOptions linear{.curve = ViewAnimationCurve::linear};
    View::animate(1.0, 0, linear, [&] {
        view->setFrame({80, 0, 20, 20});
        view->setAlpha(0.5);
    });
    EXPECT_EQ(view->frame(), (Rect{80, 0, 20, 20}));  // the model is final at once
    EXPECT_EQ(view->layer()->animationKeys(), (std::vector<std::string>{"position", "opacity"}));
    RunLoop::main().advance(0.5);
    const auto half = window->snapshot();
    EXPECT_EQ(pixelAt(*half, 10, 10)[3], 0);  // left where it was
    const auto moving = pixelAt(*half, 50, 10);
    EXPECT_EQ(moving[0], 255);
    EXPECT_NEAR(moving[3], 0.75 * 255, 2);  // opacity half-way from 1 to 0.5
    RunLoop::main().advance(0.5);
    EXPECT_TRUE(view->layer()->animationKeys().empty());
    EXPECT_NEAR(pixelAt(*window->snapshot(), 90, 10)[3], 0.5 * 255, 2);
}

TEST_F(LayerAnimationTest, AShapeLayersRunningAnimationIsDrawn) {
    auto ring = ShapeLayer::create();
    ring->setFrame({0, 0, 20, 20});
    ring->setPath(Path::rect({0, 0, 20, 20}));
    ring->setFillColor(Color{0, 0, 1, 1});
    view->layer()->addSublayer(ring);
    auto fade = BasicAnimation::create("fillColor");
    fade->setFromValue(Color{0, 1, 0, 1});
    fade->setToValue(Color{0, 1, 0, 1});
    fade->setDuration(1);
    ring->addAnimation(*fade, "fade");
    EXPECT_EQ(pixelAt(*window->snapshot(), 10, 10), (renderprobe::Rgba{0, 255, 0, 255}));
    ring->removeAnimation("fade");
    EXPECT_EQ(pixelAt(*window->snapshot(), 10, 10), (renderprobe::Rgba{0, 0, 255, 255}));
}

TEST_F(LayerAnimationTest, OnlyAViewsOwnLayerIsAnimatedByABlock) {
    auto sublayer = Layer::create();
    view->layer()->addSublayer(sublayer);
    ViewAnimation::animate(1.0, [&] {
        sublayer->setOpacity(0);
        view->layer()->setCornerRadius(4);
    });
    EXPECT_TRUE(sublayer->animationKeys().empty());
    EXPECT_EQ(view->layer()->animationKeys(), std::vector<std::string>{"cornerRadius"});
}

TEST_F(LayerAnimationTest, ABlockThatDoesNotAllowUserInteractionKeepsTouchesOff) {
    ViewAnimation::animate(1.0, [&] { view->setAlpha(0.9); });
    EXPECT_NE(window->hitTest({10, 10}), view);
    RunLoop::main().advance(1);
    EXPECT_EQ(window->hitTest({10, 10}), view);
    View::animate(1.0, 0, 0.8, 0, {.allowUserInteraction = true}, [&] { view->setAlpha(1); });
    EXPECT_TRUE(std::dynamic_pointer_cast<const SpringAnimation>(view->layer()->animation("opacity")));
    EXPECT_EQ(window->hitTest({10, 10}), view);
}

}  // namespace
