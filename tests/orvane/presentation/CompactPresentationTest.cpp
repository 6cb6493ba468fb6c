#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "PresentationTestSupport.hpp"
#include "orvane/presentation/OVCancelButton.hpp"
#include "orvane/presentation/OVCompactSheetMotion.hpp"
#include "orvane/presentation/OVCompactVCPresentationTransitioning.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/animation/SpringAnimation.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace orvane;
using namespace platform::ui;
using presentation_test::CountingDelegate;
using State = OVCompactDisplayState;
using Change = std::pair<State, State>;
using Sheet = OVCompactVCPresentationTransitioning;

namespace {

const Color presentedColor{0.95, 0.55, 0.1, 1};
const Color previewColor{0.1, 0.45, 0.85, 1};

// The root container as the bottom sheet sees it, recording what the
// animator calls on it: a view the window's size following its superview, a
// preview view 300 points high at its top, a navigation bar it contributes
// as an extra property, a switchable answer to whether a shrink may start,
// and, as the root container does, it enables the dismiss pan when the sheet
// reaches full screen from the preview and lets the close tap take only
// touches outside its view.
class SheetPresentable : public ViewController, public OVCompactPresentableViewController {
public:
    static std::shared_ptr<SheetPresentable> create(Rect frame) {
        auto vc = std::make_shared<SheetPresentable>(ConstructorKey{});
        vc->frame_ = frame;
        return vc;
    }
    explicit SheetPresentable(ConstructorKey key) : ViewController(key) {}

    std::vector<std::string> calls;
    std::vector<Change> changes;
    std::vector<double> shrinkPositions;
    std::vector<std::pair<double, bool>> imageRatios;
    bool shrinkAllowed = true;
    std::optional<OVTheme> themeValue = OVTheme::light;
    // Whether this controller was still presented when told `closed`.
    std::optional<bool> presentedWhenClosed;
    std::shared_ptr<TapGestureRecognizer> closeTap;
    std::shared_ptr<PanGestureRecognizer> expandingPan, dismissPan;
    std::shared_ptr<View> previewView = View::create({0, 0, 414, 300});
    std::shared_ptr<View> navigationBar = View::create({0, 0, 414, 44});
    std::shared_ptr<OVVCPresentationTransitioningProtocol> presentationTransitioning;

    std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>&, const std::shared_ptr<ViewController>&,
        const std::shared_ptr<ViewController>&) override {
        return presentationTransitioning;
    }
    void loadView() override {
        auto v = View::create(frame_);
        v->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
        v->setBackgroundColor(presentedColor);
        previewView->setBackgroundColor(previewColor);
        previewView->setAutoresizingMask(AutoresizingMask::flexibleWidth);
        navigationBar->setBackgroundColor(Color::white());
        v->addSubview(previewView);
        v->addSubview(navigationBar);
        setView(v);
    }

    std::optional<OVTheme> theme() const override { return themeValue; }
    void controllerViewWasAddedToContainer(LayoutGuide&) override {
        calls.push_back("controllerViewWasAddedToContainer");
    }
    void closeTapGestureRecognizerWasSet(const std::shared_ptr<TapGestureRecognizer>& r) override {
        closeTap = r;
        calls.push_back("closeTapGestureRecognizerWasSet");
    }
    void presentationAnimationWillStart() override { calls.push_back("presentationAnimationWillStart"); }
    void expandingPanGestureRecognizerWasSet(const std::shared_ptr<PanGestureRecognizer>& r) override {
        expandingPan = r;
        calls.push_back("expandingPanGestureRecognizerWasSet");
    }
    void dismissPanGestureRecognizerWasSet(const std::shared_ptr<PanGestureRecognizer>& r) override {
        dismissPan = r;
        calls.push_back("dismissPanGestureRecognizerWasSet");
    }
    void stateDidChange(State from, State to) override {
        changes.emplace_back(from, to);
        if (to == State::closed) presentedWhenClosed = presentingViewController() != nullptr;
        if (to == State::fullScreen && (from == State::preview || from == State::expanding) && dismissPan) {
            dismissPan->setEnabled(true);
        }
    }
    OVCompactTransitionPropertyList transitionProperties() override {
        calls.push_back("transitionProperties");
        return {OVCompactTransitionProperty::NavigationBarDisplay::create(navigationBar)};
    }
    std::shared_ptr<View> preview() override {
        calls.push_back("preview");
        return previewView;
    }
    void setImageRatio(double ratio, bool withoutAnimation) override {
        imageRatios.emplace_back(ratio, withoutAnimation);
    }
    bool shouldStartShrink() override { return shrinkAllowed; }
    void isShrinking(double p) override { shrinkPositions.push_back(p); }

    bool gestureRecognizerShouldReceive(GestureRecognizer& recognizer, const Touch& touch) override {
        if (closeTap && &recognizer == closeTap.get()) return !view()->bounds().contains(touch.location(view().get()));
        return true;
    }

private:
    Rect frame_;
};

// A host 414 x 800 points without insets presenting the recording
// controller through the bottom sheet.
struct Host : presentation_test::PresentationHost<SheetPresentable, Sheet> {
    explicit Host(Size size = {414, 800}, bool fullExpandRequired = false) {
        window = Window::create(size, 1);
        presented = SheetPresentable::create({{}, size});
        animator = Sheet::create(fullExpandRequired);
        wire();
    }

    // Presents and lets the opening spring end.
    void open() {
        present();
        advance(0.75);
    }
    // Opens, then drags the sheet up until it expands, and lets the spring end.
    void openFullScreen() {
        open();
        testsupport::drag(*window, {207, 700}, {207, 100}, 0.6, 30);
        advance(1.5);
    }
    std::shared_ptr<View> sheet() const {
        auto v = presented->viewIfLoaded();
        return v ? v->superview() : nullptr;
    }
    Rect inWindow(const std::shared_ptr<View>& v) const { return v->convertRect(v->bounds(), nullptr); }
    std::shared_ptr<const Animation> sheetAnimation() const {
        return sheet() ? sheet()->layer()->animation(keypath::position) : nullptr;
    }
    std::shared_ptr<View> alphaMask() const {
        for (const auto& v : sheet()->subviews()) {
            if (v->backgroundColor() == OVTheme::light.backgroundColor() && v != presented->view()) return v;
        }
        return nullptr;
    }

    // A drag with the pan's vertical translation `ty` and velocity `vy` at
    // its release, timed on binary fractions of a second so that both are
    // exact: the last move covers the last 1/16 s at `vy`.
    void release(Point from, double ty, double vy) {
        constexpr double lastStep = 0.0625;
        window->sendTouch(0, TouchPhase::began, from);
        advance(0.25);
        window->sendTouch(0, TouchPhase::moved, {from.x, from.y + ty - vy * lastStep});
        advance(lastStep);
        window->sendTouch(0, TouchPhase::moved, {from.x, from.y + ty});
        loop().runUntilIdle();  // each event in its own turn, with its layout pass
        window->sendTouch(0, TouchPhase::ended, {from.x, from.y + ty});
        loop().runUntilIdle();
    }
    // Touch phases of one finger, each after `dt` seconds.
    void touch(TouchPhase phase, Point at, double dt = 1.0 / 32) {
        advance(dt);
        window->sendTouch(0, phase, at);
    }

    void snapshot(const std::string& name) {
        auto image = window->snapshot();
        ASSERT_TRUE(image);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) image->writePng(std::filesystem::path(dir) / name);
        lastSnapshot = image;
    }
    std::optional<Image> lastSnapshot;
};

const Change opened{State::closed, State::preview};
const Change expanded{State::preview, State::fullScreen};

}  // namespace

TEST(CompactPresentation, OpensToThePreviewOverTheDimmedHostAndReportsPreviewOnceAtTheEnd) {
    Host host;
    host.present();
    EXPECT_EQ(host.presented->calls,
              (std::vector<std::string>{"closeTapGestureRecognizerWasSet", "expandingPanGestureRecognizerWasSet",
                                        "dismissPanGestureRecognizerWasSet", "controllerViewWasAddedToContainer",
                                        "transitionProperties", "preview", "presentationAnimationWillStart"}));
    EXPECT_EQ(host.presented->imageRatios.front(), (std::pair{2.0 / 3.0, true}));
    EXPECT_EQ(host.animator->transitionDuration(nullptr), 0.7);
    EXPECT_TRUE(host.presented->expandingPan->isEnabled());
    EXPECT_FALSE(host.presented->dismissPan->isEnabled());

    host.advance(0.69);
    EXPECT_TRUE(host.presented->changes.empty());
    EXPECT_FALSE(host.root->presentedViewController());
    host.advance(0.02);
    EXPECT_EQ(host.presented->changes, std::vector<Change>{opened});
    EXPECT_EQ(host.root->presentedViewController(), host.presented);

    EXPECT_EQ(host.sheet()->frame(), (Rect{8, 500, 398, 800}));
    EXPECT_EQ(host.presented->view()->frame(), (Rect{0, 0, 398, 800}));
    EXPECT_EQ(host.inWindow(host.alphaMask()).origin.y, 800);
    EXPECT_EQ(host.inWindow(host.animator->swipeDownButton()), (Rect{187, 460, 40, 40}));
    EXPECT_EQ(host.inWindow(host.animator->cancelButton()), (Rect{8, 460, 40, 40}));
    EXPECT_NEAR(host.animator->cancelButton()->alpha(), 0.8, 1e-12);
    EXPECT_NEAR(host.animator->shadowView()->alpha(), 0.4, 1e-12);
    EXPECT_EQ(host.root->view()->layer()->cornerRadius(), 6);
    EXPECT_TRUE(host.root->view()->transform().isApproximately(AffineTransform{}));
    EXPECT_TRUE(host.presented->navigationBar->isHidden());

    // Eight properties of its own, then the controller's; every compact one
    // knows the preview's relative position.
    const auto& properties = host.animator->transitionProperties();
    ASSERT_EQ(properties.size(), 9u);
    for (const auto& p : properties) {
        auto compact = std::dynamic_pointer_cast<OVCompactTransitionProperty>(p);
        ASSERT_TRUE(compact);
        EXPECT_EQ(compact->previewRelativePosition(), 0.375);
    }

    // The handle does not take taps yet; the cancel button quits; the dimmed
    // host puts the sheet away.
    testsupport::tap(*host.window, {207, 480});
    EXPECT_EQ(host.delegate->swipeDown, 0);
    testsupport::tap(*host.window, {28, 480});
    EXPECT_EQ(host.delegate->close, 1);
    testsupport::tap(*host.window, {207, 200});
    EXPECT_EQ(host.delegate->swipeDown, 1);

    host.snapshot("bottom-sheet-preview.png");
    const auto dimmed = renderprobe::pixelAt(*host.lastSnapshot, 207, 200);
    EXPECT_TRUE(renderprobe::near(dimmed, {153, 153, 153, 255}, 3)) << renderprobe::describe(dimmed);
    const auto preview = renderprobe::pixelAt(*host.lastSnapshot, 207, 650);
    EXPECT_TRUE(renderprobe::near(preview, {26, 115, 217, 255}, 3)) << renderprobe::describe(preview);
    // The sheet leaves 8 points on either side.
    const auto beside = renderprobe::pixelAt(*host.lastSnapshot, 3, 650);
    EXPECT_TRUE(renderprobe::near(beside, {153, 153, 153, 255}, 3)) << renderprobe::describe(beside);
}

TEST(CompactPresentation, SheetWidthFollowsTheContainerAndNoThemeMeansNoMask) {
    struct Case {
        Size window;
        bool theme;
        Rect sheet;
    };
    for (const auto& c : std::vector<Case>{{{414, 800}, false, {8, 500, 398, 800}},
                                           {{600, 800}, true, {50, 500, 500, 800}}}) {
        SCOPED_TRACE(std::to_string(c.window.width));
        Host host(c.window);
        if (!c.theme) host.presented->themeValue.reset();
        host.open();
        EXPECT_EQ(host.sheet()->frame(), c.sheet);
        EXPECT_EQ(static_cast<bool>(host.alphaMask()), c.theme);
        EXPECT_EQ(host.animator->transitionProperties().size(), 9u);
        EXPECT_EQ(host.inWindow(host.animator->swipeDownButton()).origin.x, c.window.width / 2 - 20);
        EXPECT_EQ(host.inWindow(host.animator->cancelButton()).origin.x, c.sheet.origin.x);
        EXPECT_EQ(host.presented->changes, std::vector<Change>{opened});
    }
}

TEST(CompactPresentation, ACancelledDragLeavesTheSheetWhereItWas) {
    Host host;
    host.open();
    host.touch(TouchPhase::began, {207, 650});
    host.touch(TouchPhase::moved, {207, 620});
    host.touch(TouchPhase::moved, {207, 550});
    host.window->layoutIfNeeded();
    EXPECT_EQ(host.sheet()->frame().origin.y, 400);
    host.touch(TouchPhase::cancelled, {207, 550});
    host.advance(1);
    EXPECT_EQ(host.sheet()->frame().origin.y, 400);
    EXPECT_TRUE(host.sheet()->layer()->animationKeys().empty());
    EXPECT_EQ(host.presented->changes, std::vector<Change>{opened});
    EXPECT_TRUE(host.presented->expandingPan->isEnabled());
}

TEST(CompactPresentation, DraggingUpUntilTheEstimateFallsUnder75ExpandsToFullScreen) {
    Host host;
    host.openFullScreen();
    EXPECT_EQ(host.presented->changes, (std::vector<Change>{opened, expanded}));
    EXPECT_EQ(host.sheet()->frame(), (Rect{0, 30, 414, 782}));
    EXPECT_FALSE(host.alphaMask());
    EXPECT_TRUE(host.root->view()->transform().isApproximately(AffineTransform::scale(0.9, 0.9)));
    EXPECT_EQ(host.root->view()->layer()->cornerRadius(), 12);
    EXPECT_TRUE(host.root->view()->layer()->masksToBounds());
    EXPECT_EQ(host.animator->cancelButton()->alpha(), 0);
    EXPECT_EQ(host.animator->swipeDownButton()->heightFactor(), 1);
    EXPECT_FALSE(host.presented->navigationBar->isHidden());
    EXPECT_FALSE(host.presented->expandingPan->isEnabled());
    EXPECT_TRUE(host.presented->dismissPan->isEnabled());
    EXPECT_EQ(host.presented->imageRatios.back(), (std::pair{1.0, false}));
    // Expanded by the drag itself, not by a release: the handle stays
    // without its tap.
    testsupport::tap(*host.window, {207, 10});
    EXPECT_EQ(host.delegate->swipeDown, 0);

    host.snapshot("bottom-sheet-full-screen.png");
    const auto top = renderprobe::pixelAt(*host.lastSnapshot, 207, 300);
    EXPECT_TRUE(renderprobe::near(top, {26, 115, 217, 255}, 3)) << renderprobe::describe(top);
    const auto content = renderprobe::pixelAt(*host.lastSnapshot, 207, 700);
    EXPECT_TRUE(renderprobe::near(content, {242, 140, 26, 255}, 3)) << renderprobe::describe(content);
}

TEST(CompactPresentation, ReleaseOfTheExpandingPanSnapsBackDismissesOrExpands) {
    struct Case {
        double vy, ty;
        std::vector<Change> changes;
        bool handleWired;
    };
    const std::vector<Case> cases{
        {250, 60, {opened}, false},
        {-30, -60, {opened}, false},
        {30, 80, {opened, {State::preview, State::dismissing}, {State::dismissing, State::closed}}, false},
        {-30, -80, {opened, expanded}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("vy " + std::to_string(c.vy) + ", ty " + std::to_string(c.ty));
        Host host;
        host.open();
        host.release({207, 650}, c.ty, c.vy);
        auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
        if (c.changes.size() == 1) {
            ASSERT_TRUE(spring);
            EXPECT_EQ(spring->duration(), 0.7);
            EXPECT_NEAR(spring->initialVelocity(), 0.1, 1e-12);
        }
        host.advance(1.5);
        EXPECT_EQ(host.presented->changes, c.changes);
        if (c.changes.size() == 1) {
            EXPECT_EQ(host.sheet()->frame(), (Rect{8, 500, 398, 800}));
        }
        if (c.changes.back().second == State::closed) {
            EXPECT_EQ(host.presented->presentedWhenClosed, false) << "dismissed first, then told";
            EXPECT_FALSE(host.root->presentedViewController());
            EXPECT_FALSE(host.sheet());
        }
        if (c.changes.back().second == State::fullScreen) {
            EXPECT_EQ(host.sheet()->frame(), (Rect{0, 30, 414, 782}));
            testsupport::tap(*host.window, {207, 10});
            EXPECT_EQ(host.delegate->swipeDown, c.handleWired ? 1 : 0);
        }
    }
}

TEST(CompactPresentation, ShrinkReversesAboveItsStartThenAFlickDismisses) {
    Host host;
    host.openFullScreen();
    auto& changes = host.presented->changes;
    changes.clear();

    // Down: the shrink starts with its translation reset, the sheet follows.
    host.touch(TouchPhase::began, {207, 400});
    host.touch(TouchPhase::moved, {207, 420});
    host.touch(TouchPhase::moved, {207, 440});
    EXPECT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::shrinking}}));
    host.touch(TouchPhase::moved, {207, 480});
    host.window->layoutIfNeeded();
    EXPECT_EQ(host.sheet()->frame().origin.y, 70);
    EXPECT_EQ(host.presented->shrinkPositions.back(), 1 - 40.0 / 800);

    // Above the start: back to full screen over 0.1 s.
    host.touch(TouchPhase::moved, {207, 420});
    EXPECT_EQ(changes.back(), (Change{State::shrinking, State::fullScreen}));
    EXPECT_EQ(host.sheet()->frame().origin.y, 30);
    ASSERT_TRUE(host.sheetAnimation());
    EXPECT_EQ(host.sheetAnimation()->duration(), 0.1);

    // Down again: a new shrink; then a flick takes the sheet away.
    host.touch(TouchPhase::moved, {207, 450});
    EXPECT_EQ(changes.back(), (Change{State::fullScreen, State::shrinking}));
    host.touch(TouchPhase::moved, {207, 460}, 0.25);
    host.touch(TouchPhase::moved, {207, 560}, 0.0625);  // 1600 points per second
    host.touch(TouchPhase::ended, {207, 560}, 0);
    EXPECT_EQ(changes.back(), (Change{State::shrinking, State::dismissing}));
    EXPECT_FALSE(host.presented->dismissPan->isEnabled());
    host.advance(0.7);
    EXPECT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::shrinking},
                                            {State::shrinking, State::fullScreen},
                                            {State::fullScreen, State::shrinking},
                                            {State::shrinking, State::dismissing},
                                            {State::dismissing, State::closed}}));
    EXPECT_FALSE(host.root->presentedViewController());
    EXPECT_TRUE(host.root->view()->transform().isApproximately(AffineTransform{}));
    EXPECT_EQ(host.root->view()->layer()->cornerRadius(), 0);
}

TEST(CompactPresentation, ShrinkOnlyWhereThePageAllowsAndSpringsBackWithoutAFlick) {
    Host host;
    host.openFullScreen();
    auto& changes = host.presented->changes;
    changes.clear();
    host.presented->shrinkAllowed = false;
    testsupport::drag(*host.window, {207, 300}, {207, 600}, 0.5, 10);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(host.sheet()->frame().origin.y, 30);

    host.presented->shrinkAllowed = true;
    host.touch(TouchPhase::began, {207, 300});
    host.touch(TouchPhase::moved, {207, 320});
    host.touch(TouchPhase::moved, {207, 330});
    host.touch(TouchPhase::moved, {207, 390});
    EXPECT_EQ(host.sheet()->frame().origin.y, 90);
    host.touch(TouchPhase::ended, {207, 390}, 0.25);  // held still: no velocity, 60 points down
    EXPECT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::shrinking},
                                            {State::shrinking, State::fullScreen}}));
    auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
    ASSERT_TRUE(spring);
    EXPECT_EQ(spring->duration(), 0.7);
    EXPECT_EQ(spring->initialVelocity(), 1.0);
    host.advance(1);
    EXPECT_EQ(host.sheet()->frame(), (Rect{0, 30, 414, 782}));
    EXPECT_TRUE(host.presented->dismissPan->isEnabled());
}

TEST(CompactPresentation, DismissalAndExpansionTimings) {
    {
        SCOPED_TRACE("dismiss() from the preview: 0.6 s");
        Host host;
        host.open();
        host.animator->dismiss();
        EXPECT_EQ(host.presented->changes.back(), (Change{State::preview, State::dismissing}));
        ASSERT_TRUE(host.sheetAnimation());
        EXPECT_EQ(host.sheetAnimation()->duration(), 0.6);
        host.advance(0.59);
        EXPECT_TRUE(host.root->presentedViewController());
        host.advance(0.02);
        EXPECT_FALSE(host.root->presentedViewController());
        EXPECT_EQ(host.presented->changes.back(), (Change{State::dismissing, State::closed}));
    }
    {
        SCOPED_TRACE("dismiss() with the sheet's top at 74: 726 / 1678 s");
        Host host;
        host.openFullScreen();
        host.touch(TouchPhase::began, {207, 400});
        host.touch(TouchPhase::moved, {207, 420});
        host.touch(TouchPhase::moved, {207, 430});
        host.touch(TouchPhase::moved, {207, 474});
        host.window->layoutIfNeeded();
        ASSERT_EQ(host.sheet()->frame().origin.y, 74);
        host.animator->dismiss();
        ASSERT_TRUE(host.sheetAnimation());
        EXPECT_NEAR(host.sheetAnimation()->duration(), 726.0 / 1678.0, 1e-12);
        EXPECT_NEAR(host.sheetAnimation()->duration(), 0.433, 1e-3);
        host.touch(TouchPhase::ended, {207, 474});
    }
    {
        SCOPED_TRACE("opening straight to full screen: 500 points, 1.0 s at 1.3");
        Host host({414, 800}, true);
        host.present();
        auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
        ASSERT_TRUE(spring);
        EXPECT_EQ(spring->duration(), 1.0);
        EXPECT_NEAR(spring->initialVelocity(), 1.3, 1e-12);
        EXPECT_FALSE(host.root->presentedViewController());
        host.advance(1.01);
        EXPECT_EQ(host.presented->changes, (std::vector<Change>{{State::closed, State::fullScreen}}));
        EXPECT_EQ(host.root->presentedViewController(), host.presented);
        EXPECT_EQ(host.sheet()->frame(), (Rect{0, 30, 414, 782}));
    }
}

TEST(CompactPresentation, SheetArithmeticGuardsAndTables) {
    using namespace orvane::compactsheet;
    struct Release {
        double vy, ty;
        ExpandingRelease expected;
        bool shrinkDismisses;
    };
    for (const auto& r : std::vector<Release>{{250, 60, ExpandingRelease::snapBack, false},
                                              {251, 0, ExpandingRelease::dismiss, false},
                                              {30, 80, ExpandingRelease::dismiss, true},
                                              {30, 75, ExpandingRelease::snapBack, false},
                                              {-30, -80, ExpandingRelease::expand, false},
                                              {-30, -60, ExpandingRelease::snapBack, false},
                                              {-750, 0, ExpandingRelease::snapBack, false},
                                              {-751, 0, ExpandingRelease::expand, false},
                                              {750, 0, ExpandingRelease::dismiss, false},
                                              {751, 0, ExpandingRelease::dismiss, true}}) {
        SCOPED_TRACE(std::to_string(r.vy) + ", " + std::to_string(r.ty));
        EXPECT_EQ(expandingRelease(r.vy, r.ty), r.expected);
        EXPECT_EQ(shrinkReleaseDismisses(r.vy, r.ty), r.shrinkDismisses);
    }

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Spring {
        std::string name;
        double H, previewHeight, translation, velocity;
        double distance, duration, springVelocity;
    };
    for (const auto& s : std::vector<Spring>{
             {"500 points at 650", 800, 300, 0, 650, 500, 1.0, 1.3},
             {"a fling clamped at 1250", 800, 300, 0, -4000, 500, 1.0, 2.5},
             {"a slow one raised to 250", 800, 300, 0, 10, 500, 1.0, 0.5},
             {"150 points: the 0.4 s floor", 800, 300, -350, 650, 150, 0.4, 650.0 / 150},
             {"one point left: no spring velocity", 800, 300, -499, 650, 1, 0.4, 0},
             {"past the top: no spring velocity", 800, 300, -600, 650, -100, 0.4, 0},
             {"no container height", 0, 300, 0, 650, -300, 0.4, 0},
             {"velocity not a number", 800, 300, 0, nan, 500, 1.0, 0.5},
             {"translation not a number", 800, 300, nan, 650, 0, 0.4, 0},
         }) {
        SCOPED_TRACE(s.name);
        const auto e = expansion(s.H, s.previewHeight, s.translation, s.velocity);
        EXPECT_DOUBLE_EQ(e.distance, s.distance);
        EXPECT_DOUBLE_EQ(e.duration, s.duration);
        EXPECT_DOUBLE_EQ(e.springVelocity, s.springVelocity);
    }

    EXPECT_DOUBLE_EQ(defaultDismissalVelocity(800, 500), 400);
    EXPECT_DOUBLE_EQ(dismissalDuration(800, 500, 400), 0.6);
    EXPECT_DOUBLE_EQ(defaultDismissalVelocity(800, 74), 1678);
    EXPECT_DOUBLE_EQ(dismissalDuration(800, 74, 1678), 726.0 / 1678);
    EXPECT_EQ(dismissalDuration(800, 1600, 250), 0) << "past the bottom: at once";
    EXPECT_EQ(dismissalDuration(800, 500, nan), 0.6);
    EXPECT_EQ(dismissalDuration(800, 500, inf), 0.6) << "an infinite speed counts as none";

    EXPECT_EQ(expandingRelativePosition(300, 0, 800), 0.375);
    EXPECT_EQ(expandingRelativePosition(300, -100, 800), 0.5);
    EXPECT_EQ(expandingRelativePosition(300, 0, 0), std::nullopt);
    EXPECT_EQ(shrinkingRelativePosition(200, 800), 0.75);
    EXPECT_EQ(shrinkingRelativePosition(200, 0), std::nullopt);

    // The estimate: none before a known top; the last translation carries
    // over to the next drag.
    auto pan = Sheet::ExpandingPanGestureRecognizer::create(std::make_shared<CountingDelegate>(),
                                                            &CountingDelegate::didTapClose);
    EXPECT_EQ(pan->positionEstimation(-40), std::nullopt);
    EXPECT_EQ(pan->lastTranslation(), 0);
    pan->setRealPosition(500);
    EXPECT_EQ(pan->positionEstimation(-40), 460);
    EXPECT_EQ(pan->positionEstimation(-100), 440);
    pan->setRealPosition(400);
    EXPECT_EQ(pan->positionEstimation(-20), 480) << "a new drag counts from the old translation";
}

TEST(CompactPresentation, FullExpandAtFullScreenOnlyCompletesAndTheSheetStillShrinks) {
    Host host;
    host.open();
    int completions = 0;
    host.animator->fullExpand([&] { ++completions; });
    auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
    ASSERT_TRUE(spring);
    EXPECT_NEAR(spring->initialVelocity(), 1.2, 1e-12);
    host.advance(1.1);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(host.presented->changes, (std::vector<Change>{opened, expanded}));

    host.animator->fullExpand([&] { ++completions; });
    host.animator->fullExpand(nullptr);
    EXPECT_EQ(completions, 2);
    EXPECT_EQ(host.presented->changes.size(), 2u);
    EXPECT_TRUE(host.presented->dismissPan->isEnabled());
    testsupport::drag(*host.window, {207, 300}, {207, 400}, 0.5, 10);
    EXPECT_EQ(host.presented->changes.at(2), (Change{State::fullScreen, State::shrinking}));
}

TEST(CompactPresentation, FullExpandWhileShrinkingSpringsBackAndTheSheetStillShrinks) {
    Host host;
    host.openFullScreen();
    auto& changes = host.presented->changes;
    changes.clear();
    host.touch(TouchPhase::began, {207, 400});
    host.touch(TouchPhase::moved, {207, 420});
    host.touch(TouchPhase::moved, {207, 440});
    host.touch(TouchPhase::moved, {207, 480});
    ASSERT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::shrinking}}));
    host.window->layoutIfNeeded();
    EXPECT_EQ(host.sheet()->frame().origin.y, 70);

    int completions = 0;
    host.animator->fullExpand([&] { ++completions; });
    EXPECT_EQ(changes.back(), (Change{State::shrinking, State::fullScreen}));
    auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
    ASSERT_TRUE(spring);
    EXPECT_EQ(spring->duration(), 0.7);
    // The finger still down no longer moves the sheet: its drag was ended.
    host.touch(TouchPhase::moved, {207, 560});
    host.touch(TouchPhase::ended, {207, 560});
    EXPECT_EQ(changes.size(), 2u);
    host.advance(1);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(host.sheet()->frame(), (Rect{0, 30, 414, 782}));

    // The dismiss pan was never disabled: the next drag shrinks the sheet.
    EXPECT_TRUE(host.presented->dismissPan->isEnabled());
    testsupport::drag(*host.window, {207, 300}, {207, 400}, 0.5, 10);
    EXPECT_EQ(changes.at(2), (Change{State::fullScreen, State::shrinking}));
}

TEST(CompactPresentation, FullExpandWhileDismissingLetsTheSheetGo) {
    Host host;
    host.openFullScreen();
    auto& changes = host.presented->changes;
    changes.clear();
    host.animator->dismiss();
    ASSERT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::dismissing}}));
    int completions = 0;
    host.animator->fullExpand([&] { ++completions; });
    host.advance(1);
    EXPECT_EQ(completions, 0);
    EXPECT_EQ(changes, (std::vector<Change>{{State::fullScreen, State::dismissing}, {State::dismissing, State::closed}}));
    EXPECT_FALSE(host.root->presentedViewController());
}

TEST(CompactPresentation, RefusedOpeningCompletesWithFalseAndBuildsNothing) {
    platform::core::RunLoop::main().useManualClock();
    auto container = View::create({0, 0, 414, 800});
    auto plain = ViewController::create();
    auto presentable = SheetPresentable::create({0, 0, 414, 800});
    struct Case {
        std::string name;
        std::shared_ptr<ViewController> from, to;
    };
    for (const auto& c : std::vector<Case>{{"no presenting controller", nullptr, presentable},
                                           {"a presented controller of another kind", plain, plain}}) {
        SCOPED_TRACE(c.name);
        auto animator = Sheet::create(false);
        std::optional<bool> outcome;
        auto context = TransitionContext::create(container, c.from, c.to, true, [&](bool ok) { outcome = ok; });
        animator->animateTransition(context);
        EXPECT_EQ(outcome, false);
        EXPECT_FALSE(animator->containerView());
        EXPECT_TRUE(container->subviews().empty());
        EXPECT_TRUE(presentable->calls.empty());
    }
}

TEST(CompactPresentation, TwiceDismissedLeavesAtOnceAndReportsClosedOnce) {
    Host host;
    host.open();
    host.animator->dismiss();
    host.animator->dismiss();  // the sheet's top is already past the bottom
    Host::loop().runUntilIdle();
    EXPECT_FALSE(host.root->presentedViewController());
    host.advance(1);
    EXPECT_EQ(host.presented->changes,
              (std::vector<Change>{opened,
                                   {State::preview, State::dismissing},
                                   {State::dismissing, State::dismissing},
                                   {State::dismissing, State::closed}}));
}

TEST(CompactPresentation, AContainerWithoutHeightMovesNothing) {
    Host host({414, 0});
    host.open();
    EXPECT_EQ(host.presented->changes, std::vector<Change>{opened});
    for (const auto& p : host.animator->transitionProperties()) {
        EXPECT_EQ(std::dynamic_pointer_cast<OVCompactTransitionProperty>(p)->previewRelativePosition(), std::nullopt);
    }
    const Rect before = host.sheet()->frame();
    testsupport::drag(*host.window, {207, 0}, {207, -300}, 0.3, 10);
    EXPECT_EQ(host.sheet()->frame(), before);
    int completions = 0;
    host.animator->fullExpand([&] { ++completions; });
    auto spring = std::dynamic_pointer_cast<const SpringAnimation>(host.sheetAnimation());
    if (spring) {
        EXPECT_EQ(spring->initialVelocity(), 0);
    }
    host.advance(1);
    EXPECT_EQ(completions, 1);
    const Rect after = host.sheet()->frame();
    EXPECT_TRUE(std::isfinite(after.origin.x) && std::isfinite(after.origin.y) && std::isfinite(after.size.width) &&
                std::isfinite(after.size.height));
}
