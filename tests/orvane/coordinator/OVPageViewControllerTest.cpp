// The root container's paging parts on their own: the edge-bounce detection
// of the page view controller base (which overshoots reach
// `scrollViewIsBouncing`, and the base's answer of pinning the page back),
// paging by swipe switched off, and the interactor as the page data source
// (neighbours without wrap-around, the index it follows, popups refused
// without a theme and a colour).
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "orvane/coordinator/OVFanVCInteractor.hpp"
#include "orvane/coordinator/OVPageViewController.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using platform::ui::ViewController;

// Records the overshoots it is told of; the base's pinning on request.
class RecordingPager : public OVPageViewController {
public:
    static std::shared_ptr<RecordingPager> create() {
        auto pager = std::make_shared<RecordingPager>(ConstructorKey{});
        pager->becomeScrollViewDelegate();
        return pager;
    }
    explicit RecordingPager(ConstructorKey key) : OVPageViewController(key) {}
    void scrollViewIsBouncing(double withOffset) override {
        bounces.push_back(withOffset);
        if (pin) OVPageViewController::scrollViewIsBouncing(withOffset);
    }
    std::vector<double> bounces;
    bool pin = false;
};

class NoPopupController : public OVFanVCInput {
public:
    void present(const std::shared_ptr<OVPopup>&) override { ++presented; }
    int presented = 0;
};

TEST(OVPageViewControllerTest, OnlyOvershootsPastTheFirstOrLastScreenReachTheBounceHook) {
    struct Case {
        const char* name;
        std::optional<int> index, count;
        double overshoot;
        std::vector<double> bounces;
    };
    const Case cases[] = {
        {"first screen pulled right", 0, 3, 30, {30}},
        {"first screen pulled left: a page turn", 0, 3, -30, {}},
        {"last screen pulled left", 2, 3, -30, {-30}},
        {"last screen pulled right: a page turn", 2, 3, 30, {}},
        {"middle screen", 1, 3, 30, {}},
        {"one screen, right", 0, 1, 30, {30}},
        {"one screen, left", 0, 1, -30, {-30}},
        {"at rest", 0, 3, 0, {}},
        {"no index", std::nullopt, 3, 30, {}},
        {"no count", 0, std::nullopt, 30, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto pager = RecordingPager::create();
        pager->view()->setFrame({0, 0, 390, 844});
        pager->view()->layoutIfNeeded();
        pager->setCurrentPageIndex(c.index);
        pager->setNumberOfScreens(c.count);
        pager->scrollView()->setContentOffset({390 - c.overshoot, 0});
        EXPECT_EQ(pager->bounces, c.bounces);
    }
}

TEST(OVPageViewControllerTest, TheBaseAnswerPinsThePageBackAndSwipePagingCanBeSwitchedOff) {
    auto pager = RecordingPager::create();
    pager->pin = true;
    pager->view()->setFrame({0, 0, 390, 844});
    pager->view()->layoutIfNeeded();
    pager->setCurrentPageIndex(0);
    pager->setNumberOfScreens(3);
    pager->scrollView()->setContentOffset({350, 0});
    EXPECT_EQ(pager->bounces, std::vector<double>{40});
    EXPECT_EQ(pager->scrollView()->contentOffset(), (platform::graphics::Point{390, 0}));

    EXPECT_TRUE(pager->scrollView()->isScrollEnabled());
    setIsScrollEnable(*pager, false);
    EXPECT_FALSE(pager->scrollView()->isScrollEnabled());
    EXPECT_FALSE(pager->scrollView()->beginDragging());
    setIsScrollEnable(*pager, true);
    EXPECT_TRUE(pager->scrollView()->isScrollEnabled());
}

TEST(OVFanVCInteractorTest, NeighboursFollowPagingOrderWithoutWrapAround) {
    auto controller = std::make_shared<NoPopupController>();
    OVFanVCInteractor interactor(controller);
    auto screen = [] { return OVScreen::create(OVPage::create<OVPage>()); };
    const auto library = screen(), main = screen(), discover = screen(), stranger = screen();
    interactor.update({library, main, discover});
    auto pager = platform::ui::PageViewController::create();

    struct Case {
        const char* name;
        std::shared_ptr<ViewController> of, before, after;
    };
    const Case cases[] = {
        {"main", main, library, discover},
        {"library", library, nullptr, main},
        {"discover", discover, main, nullptr},
        {"a screen not in the list", stranger, nullptr, nullptr},
        {"not a screen", ViewController::create(), nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(interactor.viewControllerBefore(*pager, c.of), c.before);
        EXPECT_EQ(interactor.viewControllerAfter(*pager, c.of), c.after);
    }

    // The index starts on the main screen and follows each transition.
    EXPECT_EQ(interactor.currentScreenIndex(), 1);
    interactor.didTransition(discover);
    EXPECT_EQ(interactor.currentScreenIndex(), 2);
    interactor.update({library, main});  // leaves the index alone
    EXPECT_EQ(interactor.currentScreenIndex(), 2);
    interactor.didTransition(stranger);
    EXPECT_EQ(interactor.currentScreenIndex(), std::nullopt);
}

TEST(OVFanVCInteractorTest, NoPopupIsShownUntilThemeAndMainColourAreSet) {
    auto controller = std::make_shared<NoPopupController>();
    OVFanVCInteractor interactor(controller);
    const platform::ui::AttributedString text("Saved");
    interactor.displayPopup(text);
    interactor.setTheme(OVTheme::light);
    interactor.displayPopup(text);
    EXPECT_EQ(controller->presented, 0);
    interactor.setTheme(std::nullopt);
    interactor.setMainColor(platform::graphics::Color::plainBlue());
    interactor.displayPopup(text);
    EXPECT_EQ(controller->presented, 0);
}

}  // namespace
