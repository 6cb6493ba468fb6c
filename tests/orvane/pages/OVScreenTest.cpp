// Screens: a rounded navigation stack of pages whose bar background is shown
// or hidden for its pages, and its push and pop animation on the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVNavigationPushTransitioning.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;
using platform::core::RunLoop;
using Log = std::shared_ptr<std::vector<std::string>>;

// A page that writes what its screen tells it into a shared log.
class RecordingPage : public OVPage {
public:
    static std::shared_ptr<RecordingPage> create(Log log, std::string name) {
        auto page = std::make_shared<RecordingPage>(ConstructorKey{});
        page->log_ = std::move(log);
        page->name_ = std::move(name);
        return page;
    }
    explicit RecordingPage(ConstructorKey key) : OVPage(key) {}
    void navigationBarDisplayChanged(bool to) override { log_->push_back(name_ + (to ? " shown" : " hidden")); }

private:
    Log log_;
    std::string name_;
};

AffineTransform shownTransform(const std::shared_ptr<View>& view) {
    return view->layer()->presented<AffineTransform>("transform", view->transform());
}
double shownAlpha(const std::shared_ptr<View>& view) {
    return view->layer()->presented<double>("opacity", view->alpha());
}

TEST(OVScreen, ANewScreenHoldsItsOnePageWithRoundedClippedCorners) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto main = RecordingPage::create(log, "main");
    auto screen = OVScreen::create(main);
    EXPECT_EQ(screen->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{main}));
    EXPECT_EQ(screen->pages(), (std::vector<std::shared_ptr<OVPage>>{main}));
    EXPECT_EQ(screen->currentPage(), main);
    EXPECT_EQ(screen->view()->layer()->cornerRadius(), 12);
    EXPECT_TRUE(screen->view()->clipsToBounds());
    EXPECT_EQ(screen->delegate(), screen);
    EXPECT_EQ(screen->fanViewController(), nullptr);
    EXPECT_TRUE(log->empty());

    // A controller on top that is not a page is left out.
    auto other = ViewController::create();
    ASSERT_TRUE(screen->push(other, false));
    EXPECT_EQ(screen->pages(), (std::vector<std::shared_ptr<OVPage>>{main}));
    EXPECT_EQ(screen->currentPage(), main);
}

TEST(OVScreen, HidingAndShowingTheBarSwapsItsImagesAndTellsThePagesRootFirstOnce) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto root = RecordingPage::create(log, "root");
    auto pushed = RecordingPage::create(log, "pushed");
    auto screen = OVScreen::create(root);
    ASSERT_TRUE(screen->push(pushed, false));
    auto bar = screen->navigationBar();
    ASSERT_FALSE(bar->backgroundImage().has_value());  // the standard appearance

    struct Step {
        bool display;
        std::vector<std::string> heard;
        bool emptyImages;  // else the images of the screen's creation (none)
    };
    const std::vector<Step> steps = {
        {true, {}, false},
        {false, {"root hidden", "pushed hidden"}, true},
        {false, {}, true},
        {true, {"root shown", "pushed shown"}, false},
        {true, {}, false},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        log->clear();
        screen->dispalayNavigationBar(steps[i].display);
        EXPECT_EQ(*log, steps[i].heard);
        EXPECT_EQ(screen->navigationBarIsDisplayed(), steps[i].display);
        EXPECT_EQ(bar->isHidden(), false);  // the bar stays in place
        if (steps[i].emptyImages) {
            ASSERT_TRUE(bar->backgroundImage().has_value());
            EXPECT_TRUE(bar->backgroundImage()->isEmpty());
            ASSERT_TRUE(bar->shadowImage().has_value());
            EXPECT_TRUE(bar->shadowImage()->isEmpty());
        } else {
            EXPECT_FALSE(bar->backgroundImage().has_value());
            EXPECT_FALSE(bar->shadowImage().has_value());
        }
    }
}

TEST(OVScreen, TheAnimatorFollowsTheTheme) {
    auto screen = OVScreen::create(RecordingPage::create(std::make_shared<std::vector<std::string>>(), "p"));
    auto from = ViewController::create();
    auto to = ViewController::create();
    EXPECT_EQ(screen->animationControllerFor(screen, NavigationControllerOperation::push, from, to), nullptr);
    screen->setTheme(OVTheme::dark);
    for (auto operation : {NavigationControllerOperation::push, NavigationControllerOperation::pop}) {
        auto animator = std::dynamic_pointer_cast<OVNavigationPushTransitioning>(
            screen->animationControllerFor(screen, operation, from, to));
        ASSERT_NE(animator, nullptr);
        EXPECT_EQ(animator->operation(), operation);
        EXPECT_EQ(animator->backgroundColor(), (Color{29 / 255.0, 30 / 255.0, 31 / 255.0, 1}));
        EXPECT_EQ(animator->transitionDuration(nullptr), 0.2);
    }
}

class OVScreenTransitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        t0 = loop.useManualClock()->now();
        screen = OVScreen::create(first);
        screen->setTheme(OVTheme::light);
        window->setRootViewController(screen);
        window->layoutIfNeeded();
    }
    void advanceTo(double seconds) { loop.advance(t0 + seconds - loop.now()); }

    RunLoop& loop = RunLoop::main();
    double t0 = 0;
    Log log = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<Window> window = Window::create({375, 667});
    std::shared_ptr<RecordingPage> first = RecordingPage::create(log, "first");
    std::shared_ptr<RecordingPage> second = RecordingPage::create(log, "second");
    std::shared_ptr<OVScreen> screen;
};

TEST_F(OVScreenTransitionTest, APushSlidesTheNewPageInFromTheRightWhileItFadesIn) {
    auto container = screen->contentView();
    auto oldView = first->view();
    ASSERT_TRUE(screen->push(second, true));
    auto newView = second->view();
    EXPECT_EQ(newView->superview(), container);
    EXPECT_EQ(container->backgroundColor(), OVTheme::light.backgroundColor());
    EXPECT_EQ(newView->frame(), container->bounds());
    // Before the clock moves: the new page at +70 and transparent.
    EXPECT_EQ(shownTransform(newView), AffineTransform::translation(70, 0));
    EXPECT_EQ(shownAlpha(newView), 0);
    EXPECT_EQ(shownTransform(oldView), AffineTransform::identity());
    // Half-way, eased out: more than half of the way done.
    advanceTo(0.1);
    EXPECT_GT(shownTransform(newView).tx, 0);
    EXPECT_LT(shownTransform(newView).tx, 35);
    EXPECT_GT(shownAlpha(newView), 0.5);
    EXPECT_LT(shownTransform(oldView).tx, -35);
    EXPECT_EQ(screen->topViewController(), second);  // the stack changes at once
    advanceTo(0.2);
    loop.runUntilIdle();
    EXPECT_EQ(shownTransform(newView), AffineTransform::identity());
    EXPECT_EQ(shownAlpha(newView), 1);
    EXPECT_EQ(oldView->transform(), AffineTransform::identity());
    EXPECT_EQ(shownTransform(oldView), AffineTransform::identity());
    EXPECT_EQ(container->backgroundColor(), std::nullopt);
    EXPECT_EQ(oldView->superview(), nullptr);
    // The transition is over: another push is taken.
    EXPECT_TRUE(screen->push(RecordingPage::create(log, "third"), false));
}

TEST_F(OVScreenTransitionTest, APopSlidesTheCurrentPageOutToTheRightWhileItFadesOut) {
    ASSERT_TRUE(screen->push(second, false));
    auto container = screen->contentView();
    auto leaving = second->view();
    auto back = first->view();
    ASSERT_EQ(screen->pop(true), second);
    // The previous page comes back from -70, under the current one.
    ASSERT_EQ(back->superview(), container);
    const auto& subviews = container->subviews();
    const auto at = [&](const std::shared_ptr<View>& v) { return std::find(subviews.begin(), subviews.end(), v); };
    EXPECT_LT(at(back), at(leaving));
    EXPECT_EQ(shownTransform(back), AffineTransform::translation(-70, 0));
    EXPECT_EQ(shownAlpha(back), 1);
    EXPECT_EQ(container->backgroundColor(), OVTheme::light.backgroundColor());
    advanceTo(0.1);
    EXPECT_GT(shownTransform(leaving).tx, 35);
    EXPECT_LT(shownAlpha(leaving), 0.5);
    advanceTo(0.2);
    loop.runUntilIdle();
    EXPECT_EQ(shownTransform(back), AffineTransform::identity());
    EXPECT_EQ(leaving->transform(), AffineTransform::translation(70, 0));
    EXPECT_EQ(leaving->alpha(), 0);
    EXPECT_EQ(container->backgroundColor(), std::nullopt);
    EXPECT_EQ(screen->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{first}));
    EXPECT_EQ(leaving->superview(), nullptr);
}

TEST(OVNavigationPushTransitioning, AContextWithoutViewsStillCompletes) {
    bool completed = false;
    auto context = TransitionContext::create(View::create(), nullptr, nullptr, true,
                                             [&](bool done) { completed = done; });
    OVNavigationPushTransitioning::create(Color::white(), NavigationControllerOperation::push)
        ->animateTransition(context);
    EXPECT_TRUE(context->isCompleted());
    EXPECT_TRUE(completed);
}

}  // namespace
