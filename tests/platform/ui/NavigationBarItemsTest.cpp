// The navigation bar shows its top item: the title centred between the
// side buttons, the first left and right custom views at the edges (tapped
// through the window), the pushed controller's item replacing the root's;
// and a scroll view resting at the top of its insets stays there when they
// change, so content starts below a new top inset.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/lists/ScrollView.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace platform::ui;
using platform::graphics::EdgeInsets;
using platform::graphics::Image;
using platform::graphics::Point;
using platform::graphics::Rect;

struct Taps {
    void left() { heard.push_back("left"); }
    void right() { heard.push_back("right"); }
    std::vector<std::string> heard;
};

std::shared_ptr<Button> sideButton(const std::shared_ptr<Taps>& taps, void (Taps::*action)(), bool withImage) {
    auto button = Button::create();
    if (withImage) button->setImage(*Image::fromData(testimages::png(56, 56, 3), 2), ControlState::normal);
    button->addTarget(taps, action, ControlEvents::touchUpInside);
    return button;
}

TEST(NavigationBarItems, TheTopItemsTitleAndSideButtonsAreShownAndTappable) {
    platform::core::RunLoop::main().useManualClock();
    auto taps = std::make_shared<Taps>();
    auto root = ViewController::create();
    root->setTitle("Library");
    BarButtonItem left, right;
    left.customView = sideButton(taps, &Taps::left, /*withImage=*/true);
    right.customView = sideButton(taps, &Taps::right, /*withImage=*/false);
    root->navigationItem()->setLeftBarButtonItem(left);
    root->navigationItem()->setRightBarButtonItem(right);
    auto navigation = NavigationController::create(root);
    auto window = Window::create({375, 667});
    window->setRootViewController(navigation);
    window->layoutIfNeeded();

    const auto bar = navigation->navigationBar();
    EXPECT_EQ(left.customView->superview(), bar);
    EXPECT_EQ(left.customView->frame(), (Rect{8, 8, 28, 28})) << "its image's size";
    EXPECT_EQ(right.customView->frame(), (Rect{375 - 8 - 44, 0, 44, 44})) << "44 square without an image";
    ASSERT_NE(bar->titleLabel(), nullptr);
    EXPECT_EQ(bar->titleLabel()->text(), "Library");
    // Centred, as wide as it can be while clear of both buttons (the right one is wider).
    EXPECT_EQ(bar->titleLabel()->frame(), (Rect{60, 0, 255, 44}));
    for (const auto& view : {left.customView, right.customView}) {
        testsupport::tap(*window, view->convertPoint({view->bounds().midX(), view->bounds().midY()}, window.get()));
    }
    EXPECT_EQ(taps->heard, (std::vector<std::string>{"left", "right"}));

    // A pushed controller's item replaces the root's: its title, no buttons.
    auto pushed = ViewController::create();
    pushed->setTitle("Episode");
    navigation->push(pushed, false);
    window->layoutIfNeeded();
    EXPECT_EQ(left.customView->superview(), nullptr);
    EXPECT_EQ(right.customView->superview(), nullptr);
    EXPECT_EQ(bar->titleLabel()->text(), "Episode");
    EXPECT_EQ(bar->titleLabel()->frame(), (Rect{8, 0, 375 - 16, 44}));
    navigation->pop(false);
    window->layoutIfNeeded();
    EXPECT_EQ(left.customView->superview(), bar);
}

TEST(ScrollViewInsets, AnOffsetAtTheTopEdgeFollowsTheInsetsElseStaysPut) {
    struct Case {
        std::string name;
        Point offsetBefore;
        EdgeInsets inset;
        Point offsetAfter;
    };
    const std::vector<Case> cases{
        {"at the top", {0, 0}, {50, 0, 140, 0}, {0, -50}},
        {"at the top and left", {0, 0}, {50, 10, 0, 0}, {-10, -50}},
        {"scrolled", {0, 120}, {50, 0, 140, 0}, {0, 120}},
        {"bottom only", {0, 0}, {0, 0, 140, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto scroll = ScrollView::create({0, 0, 100, 100});
        scroll->setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior::never);
        scroll->setContentSize({100, 400});
        scroll->setContentOffset(c.offsetBefore);
        scroll->setContentInset(c.inset);
        EXPECT_EQ(scroll->contentOffset(), c.offsetAfter);
    }
    // Added to again, from the new top edge.
    auto scroll = ScrollView::create({0, 0, 100, 100});
    scroll->setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior::never);
    scroll->setContentInset({50, 0, 0, 0});
    scroll->setContentInset({70, 0, 0, 0});
    EXPECT_EQ(scroll->contentOffset(), (Point{0, -70}));
}

}  // namespace
