#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>

#include "PresentationTestSupport.hpp"
#include "orvane/presentation/OVRegularVCPresentationTransitioning.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace orvane;
using namespace platform::ui;
using presentation_test::CountingDelegate;
using presentation_test::RecordingPresentable;
using State = OVRegularDisplayState;

namespace {

// A host on a 1024 x 768 window with a 20-point status bar, presenting our
// recording controller through the side panel.
struct Host : presentation_test::PresentationHost<RecordingPresentable, OVRegularVCPresentationTransitioning> {
    Host() {
        window = Window::create({1024, 768}, 1);
        window->setStatusBarFrame({0, 0, 1024, 20});
        presented = RecordingPresentable::create({0, 0, 1024, 768});
        animator = OVRegularVCPresentationTransitioning::create();
        wire();
    }

    std::shared_ptr<View> panel() const {
        auto v = presented->viewIfLoaded();
        return v ? v->superview() : nullptr;
    }
    LayoutConstraintPtr rightConstraint() const {
        for (const auto& c : panel()->constraints()) {
            if (c->firstAnchor().attribute() == Attribute::right) return c;
        }
        return nullptr;
    }
    std::shared_ptr<PanGestureRecognizer> pan() const {
        for (const auto& r : animator->containerView()->gestureRecognizers()) {
            if (auto p = std::dynamic_pointer_cast<PanGestureRecognizer>(r)) return p;
        }
        return nullptr;
    }
    // Every animation on the panel's layer and its duration (none once the
    // panel is gone).
    std::vector<double> panelAnimationDurations() const {
        std::vector<double> durations;
        if (!panel()) return durations;
        for (const auto& key : panel()->layer()->animationKeys()) {
            durations.push_back(panel()->layer()->animation(key)->duration());
        }
        return durations;
    }
};

}  // namespace

TEST(RegularPresentation, OpensTheSidePanelUnderTheStatusBarAndReportsDisplayedOnce) {
    Host host;
    host.present();
    EXPECT_EQ(host.presented->log,
              (std::vector<std::string>{"closeTapGestureRecognizerWasSet",
                                        "dismissGestureRecognizerWasSetForRegularDisplay",
                                        "presentationAnimationWillStart"}));
    EXPECT_EQ(host.animator->transitionDuration(nullptr), 0.7);
    auto handle = host.animator->swipeDownButton();
    ASSERT_TRUE(handle && host.pan());
    EXPECT_FALSE(host.pan()->isEnabled());
    EXPECT_TRUE(host.presented->regularStates.empty());

    // Half-way through the opening spring.
    host.advance(0.375);
    auto halfway = host.window->snapshot();
    ASSERT_TRUE(halfway);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
        halfway->writePng(std::filesystem::path(dir) / "side-panel-halfway.png");
    }
    const double shownX = host.panel()->layer()->presented<Point>(keypath::position, host.panel()->center()).x;
    // The spring has brought more than half of the panel in (it overshoots),
    // over the host dimmed by about 0.4.
    EXPECT_LT(shownX - 375 / 2.0, 1024 - 375 / 2.0);
    const auto panelPixel = renderprobe::pixelAt(*halfway, 800, 400);
    EXPECT_TRUE(renderprobe::near(panelPixel, {242, 140, 26, 255}, 3)) << renderprobe::describe(panelPixel);
    const auto hostPixel = renderprobe::pixelAt(*halfway, 100, 400);
    EXPECT_TRUE(renderprobe::near(hostPixel, {145, 145, 145, 255}, 20)) << renderprobe::describe(hostPixel);
    EXPECT_FALSE(host.pan()->isEnabled());

    host.advance(0.375);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
        if (auto open = host.window->snapshot()) open->writePng(std::filesystem::path(dir) / "side-panel-open.png");
    }
    EXPECT_EQ(host.panel()->frame(), (Rect{649, 20, 375, 748}));
    EXPECT_EQ(host.presented->view()->frame(), (Rect{0, 0, 375, 748}));
    EXPECT_NEAR(host.animator->shadowView()->alpha(), 0.4, 1e-12);
    EXPECT_EQ(handle->frame(), (Rect{609, 364, 40, 40}));
    EXPECT_TRUE(handle->transform().isApproximately(AffineTransform::rotation(-std::numbers::pi / 2)));
    EXPECT_EQ(handle->heightFactor(), 1);
    EXPECT_TRUE(host.pan()->isEnabled());
    EXPECT_EQ(host.presented->regularStates, std::vector<State>{State::displayed});
    EXPECT_EQ(host.root->presentedViewController(), host.presented);
    EXPECT_FALSE(host.window->isTransitionInFlight());

    host.animator->fullExpand([] { FAIL() << "the side panel never calls fullExpand's completion"; });
    host.advance(1);
    EXPECT_EQ(host.presented->regularStates.size(), 1u);
}

TEST(RegularPresentation, ASlowDragFollowsTheFingerThenSpringsBack) {
    Host host;
    host.present();
    host.advance(0.75);
    // A cancelled drag leaves the panel where the finger last put it.
    host.window->sendTouch(1, TouchPhase::began, {700, 400});
    for (int i = 1; i <= 10; ++i) {
        host.advance(0.1);
        host.window->sendTouch(1, TouchPhase::moved, {700.0 + 10 * i, 400});
    }
    host.window->sendTouch(1, TouchPhase::cancelled, {800, 400});
    platform::core::RunLoop::main().runUntilIdle();
    EXPECT_NEAR(host.rightConstraint()->constant(), 100, 1e-9);
    EXPECT_TRUE(host.panelAnimationDurations().empty());

    // 300 points to the right in 3 s, then held still and lifted.
    host.window->sendTouch(1, TouchPhase::began, {700, 400});
    for (int i = 1; i <= 30; ++i) {
        host.advance(0.1);
        host.window->sendTouch(1, TouchPhase::moved, {700.0 + 10 * i, 400});
    }
    // p = (375 - 300) / 375 = 0.2
    EXPECT_NEAR(host.rightConstraint()->constant(), 300, 1e-9);
    EXPECT_NEAR(host.animator->shadowView()->alpha(), 0.08, 1e-12);
    EXPECT_EQ(host.animator->swipeDownButton()->heightFactor(), 0);
    host.window->layoutIfNeeded();
    EXPECT_EQ(host.panel()->frame().origin.x, 949);
    host.advance(0.2);
    host.window->sendTouch(1, TouchPhase::ended, {1000, 400});
    platform::core::RunLoop::main().runUntilIdle();

    EXPECT_EQ(host.rightConstraint()->constant(), 0);
    const auto durations = host.panelAnimationDurations();
    ASSERT_FALSE(durations.empty());
    for (double d : durations) EXPECT_NEAR(d, 0.6, 1e-12);
    host.advance(0.6);
    EXPECT_EQ(host.panel()->frame(), (Rect{649, 20, 375, 748}));
    EXPECT_NEAR(host.animator->shadowView()->alpha(), 0.4, 1e-12);
    EXPECT_EQ(host.animator->swipeDownButton()->heightFactor(), 1);
    EXPECT_EQ(host.root->presentedViewController(), host.presented);
    EXPECT_EQ(host.presented->regularStates, std::vector<State>{State::displayed});
    EXPECT_EQ(host.delegate->swipeDown, 0);
}

TEST(RegularPresentation, TheReleaseSpeedChoosesBetweenSpringingBackAndGoing) {
    struct Case {
        std::string name;
        double distance, seconds;
        std::vector<double> panelAnimations;  // durations (its position), right after the release
        bool dismissed;
    };
    const std::vector<Case> cases{
        // 375 - 200 = 175 points left at 2000 points per second.
        {"a flick of 200 points", 200, 0.1, {0.0875}, true},
        // Past the edge: no time left to travel (not a negative one): gone
        // at once.
        {"a flick of 500 points, past the edge", 500, 0.1, {}, true},
        {"a slow drag of 100 points", 100, 2, {0.35}, false},
        // Counted as no translation: nothing moves.
        {"a drag to the left", -200, 0.1, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        host.present();
        host.advance(0.75);
        testsupport::drag(*host.window, {600, 400}, {600 + c.distance, 400}, c.seconds, 20);
        auto durations = host.panelAnimationDurations();
        ASSERT_EQ(durations.size(), c.panelAnimations.size());
        for (std::size_t i = 0; i < durations.size(); ++i) EXPECT_NEAR(durations[i], c.panelAnimations[i], 1e-4);
        host.advance(0.6);
        platform::core::RunLoop::main().runUntilIdle();
        if (c.dismissed) {
            EXPECT_EQ(host.root->presentedViewController(), nullptr);
            EXPECT_EQ(host.presented->regularStates, (std::vector<State>{State::displayed, State::closed}));
            EXPECT_EQ(host.animator->containerView(), nullptr);  // gone with the presentation
        } else {
            EXPECT_EQ(host.root->presentedViewController(), host.presented);
            EXPECT_EQ(host.presented->regularStates, std::vector<State>{State::displayed});
            EXPECT_EQ(host.panel()->frame(), (Rect{649, 20, 375, 748}));
            EXPECT_NEAR(host.animator->shadowView()->alpha(), 0.4, 1e-12);
        }
        EXPECT_EQ(host.delegate->swipeDown, 0);
    }
}

TEST(RegularPresentation, DismissTakesSixTenthsOfASecond) {
    Host host;
    host.present();
    host.advance(0.75);
    host.animator->dismiss();
    EXPECT_FALSE(host.pan()->isEnabled());
    const auto durations = host.panelAnimationDurations();
    ASSERT_FALSE(durations.empty());
    for (double d : durations) EXPECT_NEAR(d, 0.6, 1e-12);
    host.advance(0.59);
    EXPECT_EQ(host.root->presentedViewController(), host.presented);
    host.advance(0.01);
    platform::core::RunLoop::main().runUntilIdle();
    EXPECT_EQ(host.root->presentedViewController(), nullptr);
    EXPECT_EQ(host.presented->regularStates, (std::vector<State>{State::displayed, State::closed}));
}

TEST(RegularPresentation, TapsOnTheHandleAndBesideThePanelAskForTheSwipeDown) {
    Host host;
    host.present();
    host.advance(0.75);
    struct Case {
        std::string name;
        Point at;
        int swipeDowns;
    };
    for (const auto& c : std::vector<Case>{{"on the handle", {629, 384}, 1},
                                           {"on the dimmed area", {200, 400}, 1},
                                           {"on the panel", {800, 400}, 0}}) {
        SCOPED_TRACE(c.name);
        host.delegate->swipeDown = 0;
        testsupport::tap(*host.window, c.at);
        EXPECT_EQ(host.delegate->swipeDown, c.swipeDowns);
        EXPECT_EQ(host.delegate->close, 0);
    }
    // The delegate decides; the panel stays until asked.
    EXPECT_EQ(host.root->presentedViewController(), host.presented);
}

TEST(RegularPresentation, AControllerThatIsNotPresentableIsCancelledNotLeftWaiting) {
    Host host;
    struct Source : ViewControllerTransitioningDelegate {
        std::shared_ptr<AnimatedTransitioning> animator;
        std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
            const std::shared_ptr<ViewController>&, const std::shared_ptr<ViewController>&,
            const std::shared_ptr<ViewController>&) override {
            return animator;
        }
    };
    auto source = std::make_shared<Source>();
    source->animator = host.animator;
    auto plain = ViewController::create();
    plain->setModalPresentationStyle(ModalPresentationStyle::custom);
    plain->setTransitioningDelegate(source);
    ASSERT_TRUE(host.root->present(plain, true));
    EXPECT_FALSE(host.window->isTransitionInFlight());
    EXPECT_EQ(host.root->presentedViewController(), nullptr);
    EXPECT_EQ(host.animator->containerView(), nullptr);
    // The host can present again at once.
    host.animator = OVRegularVCPresentationTransitioning::create();
    host.presented->presentationTransitioning = host.animator;
    host.present();
    host.advance(0.75);
    EXPECT_EQ(host.root->presentedViewController(), host.presented);
}
