#include <gtest/gtest.h>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/text/TextLayout.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace platform::ui;
using platform::core::DebugCapture;
using platform::core::RunLoop;

class ConstraintLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { RunLoop::main().useManualClock(); }

    std::shared_ptr<Window> makeWindow(Size size, EdgeInsets safeArea = {}) {
        auto window = Window::create(size, 1);
        window->setSafeAreaInsets(safeArea);
        window->setRootView(View::create());
        return window;
    }
    static std::shared_ptr<View> addConstrained(const std::shared_ptr<View>& parent) {
        auto view = View::create();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        parent->addSubview(view);
        return view;
    }
};

// A sheet pinned to the safe area, 500 wide when it fits (priority 250), never
// wider than the root view less 40, centred: the two window widths land on
// either side of the bound.
TEST_F(ConstraintLayoutTest, ASheetPinnedToTheSafeAreaTakesItsPreferredWidthOrItsBound) {
    struct Case {
        Size window;
        Rect frame;
    };
    const Case cases[] = {
        {{1024, 768}, {{262, 44}, {500, 690}}},  // 500 fits: centred
        {{414, 800}, {{20, 44}, {374, 722}}},   // width <= 414 - 40 holds at its bound
    };
    for (const auto& c : cases) {
        auto window = makeWindow(c.window, EdgeInsets{44, 0, 34, 0});
        const auto& root = window->rootView();
        auto sheet = addConstrained(root);
        auto preferred = sheet->widthAnchor().constraintEqualToConstant(500);
        preferred->setPriority(LayoutPriority::defaultLow);
        LayoutConstraint::activate({
            sheet->topAnchor().constraintEqualTo(root->safeAreaLayoutGuide().topAnchor()),
            sheet->bottomAnchor().constraintEqualTo(root->safeAreaLayoutGuide().bottomAnchor()),
            sheet->centerXAnchor().constraintEqualTo(root->centerXAnchor()),
            sheet->widthAnchor().constraintLessThanOrEqualTo(root->widthAnchor(), -40),
            preferred,
        });
        EXPECT_EQ(sheet->frame(), Rect{}) << "frames wait for a layout pass";
        window->layoutIfNeeded();
        EXPECT_EQ(sheet->frame(), c.frame) << c.window.width;
    }
}

TEST_F(ConstraintLayoutTest, AChangedConstantMovesTheFrameOnlyInTheNextPass) {
    auto window = makeWindow({400, 400});
    const auto& root = window->rootView();
    auto panel = addConstrained(root);
    auto right = panel->rightAnchor().constraintEqualTo(root->rightAnchor(), 100);
    LayoutConstraint::activate({right, panel->widthAnchor().constraintEqualToConstant(100),
                                panel->topAnchor().constraintEqualTo(root->topAnchor()),
                                panel->heightAnchor().constraintEqualTo(root->heightAnchor())});
    window->layoutIfNeeded();
    EXPECT_EQ(panel->frame(), (Rect{{400, 0}, {100, 400}}));

    right->setConstant(0);
    EXPECT_EQ(panel->frame().origin.x, 400) << "stale until a layout pass";
    RunLoop::main().runUntil([&] { return panel->frame().origin.x == 300; }, 1);  // the end-of-turn pass
    EXPECT_EQ(panel->frame(), (Rect{{300, 0}, {100, 400}}));

    // A resized window moves it too: the root follows the window by its mask.
    window->setSize({600, 400});
    window->layoutIfNeeded();
    EXPECT_EQ(panel->frame(), (Rect{{500, 0}, {100, 400}}));
}

TEST_F(ConstraintLayoutTest, AConflictingRequiredConstraintIsDroppedWithOneLineAndTheRestStillHold) {
    auto window = makeWindow({300, 300});
    const auto& root = window->rootView();
    auto box = addConstrained(root);
    LayoutConstraint::activate({box->leftAnchor().constraintEqualTo(root->leftAnchor(), 10),
                                box->topAnchor().constraintEqualTo(root->topAnchor(), 20),
                                box->widthAnchor().constraintEqualToConstant(50),
                                box->heightAnchor().constraintGreaterThanOrEqualToConstant(30)});
    DebugCapture lines;
    auto conflict = box->widthAnchor().constraintEqualToConstant(80);
    conflict->setActive(true);
    EXPECT_FALSE(conflict->isActive());
    EXPECT_EQ(lines.count("Layout: dropped a required constraint that cannot be met"), 1u);
    EXPECT_TRUE(lines.contains("View.width == 80"));

    // A constant that makes an active one contradict the others drops it too.
    auto floor = box->heightAnchor().constraintLessThanOrEqualToConstant(100);
    floor->setActive(true);
    floor->setConstant(10);
    EXPECT_FALSE(floor->isActive());
    EXPECT_EQ(lines.count("Layout: dropped"), 2u);

    window->layoutIfNeeded();
    EXPECT_EQ(box->frame(), (Rect{{10, 20}, {50, 30}}));
    EXPECT_EQ(box->constraints().size(), 4u);
}

// Two views in different subtrees, under containers placed by frames: the
// constraint between them meets in window coordinates and each frame comes
// back in its own superview's coordinates.
TEST_F(ConstraintLayoutTest, AnchorsAcrossSubtreesMeetInWindowCoordinates) {
    auto window = makeWindow({500, 500});
    const auto& root = window->rootView();
    auto left = View::create(Rect{{10, 10}, {200, 200}});
    auto right = View::create(Rect{{250, 100}, {200, 200}});
    root->addSubview(left);
    root->addSubview(right);
    auto a = View::create(Rect{{5, 5}, {40, 40}});  // placed by its frame
    left->addSubview(a);
    auto b = addConstrained(right);
    LayoutConstraint::activate({b->leftAnchor().constraintEqualTo(a->rightAnchor(), 20),
                                b->topAnchor().constraintEqualTo(a->bottomAnchor()),
                                b->widthAnchor().constraintEqualTo(a->widthAnchor(), 0),
                                b->heightAnchor().constraintEqualToConstant(10)});
    window->layoutIfNeeded();
    // a spans x 15..55, y 15..55 in the window; b starts at (75, 55).
    EXPECT_EQ(b->frame(), (Rect{{75 - 250, 55 - 100}, {40, 10}}));

    // Moving a's container by its frame moves b at the next pass.
    left->setFrame(Rect{{30, 10}, {200, 200}});
    window->layoutIfNeeded();
    EXPECT_EQ(b->frame().origin.x, 95 - 250);

    // Removing a deactivates what reaches outside its subtree.
    a->removeFromSuperview();
    EXPECT_TRUE(b->constraints().size() == 1u && b->constraints()[0]->firstAnchor().attribute() == Attribute::height);
}

TEST_F(ConstraintLayoutTest, ConstraintsWaitUntilBothViewsAreInTheWindow) {
    auto window = makeWindow({200, 200});
    auto container = View::create(Rect{{0, 0}, {200, 200}});
    auto child = addConstrained(container);
    auto pin = child->leftAnchor().constraintEqualTo(container->leftAnchor(), 30);
    LayoutConstraint::activate({pin, child->topAnchor().constraintEqualTo(container->topAnchor(), 40),
                                child->widthAnchor().constraintEqualToConstant(10),
                                child->heightAnchor().constraintEqualToConstant(10)});
    EXPECT_TRUE(pin->isActive());
    EXPECT_FALSE(pin->isInstalled());
    window->rootView()->addSubview(container);
    EXPECT_TRUE(pin->isInstalled());
    window->layoutIfNeeded();
    EXPECT_EQ(child->frame(), (Rect{{30, 40}, {10, 10}}));

    // Leaving the window keeps the inner constraints active, waiting again.
    container->removeFromSuperview();
    EXPECT_TRUE(pin->isActive());
    EXPECT_FALSE(pin->isInstalled());
    auto other = makeWindow({100, 100});
    other->rootView()->addSubview(container);
    pin->setConstant(5);
    other->layoutIfNeeded();
    EXPECT_EQ(child->frame().origin, (Point{5, 40}));
}

TEST_F(ConstraintLayoutTest, ALabelIsSizedByItsTextThroughHuggingAndCompressionResistance) {
    ScopedTextMeasurer measure(std::make_shared<FixedAdvanceTextMeasurer>(10, 20));
    auto window = makeWindow({300, 100});
    const auto& root = window->rootView();
    auto label = Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setText("hello");
    root->addSubview(label);
    LayoutConstraint::activate({label->leftAnchor().constraintEqualTo(root->leftAnchor(), 8),
                                label->topAnchor().constraintEqualTo(root->topAnchor(), 8)});
    window->layoutIfNeeded();
    EXPECT_EQ(label->frame(), (Rect{{8, 8}, {50, 20}}));
    label->setText("hello world");
    window->layoutIfNeeded();
    EXPECT_EQ(label->frame().size, (Size{110, 20}));
    // A required bound beats compression resistance (750).
    label->widthAnchor().constraintLessThanOrEqualToConstant(60)->setActive(true);
    window->layoutIfNeeded();
    EXPECT_EQ(label->frame().size.width, 60);
}

TEST_F(ConstraintLayoutTest, ALayoutPassInAnAnimationBlockAnimatesTheFramesItChanges) {
    auto& loop = RunLoop::main();
    auto window = makeWindow({400, 400});
    const auto& root = window->rootView();
    auto panel = addConstrained(root);
    auto left = panel->leftAnchor().constraintEqualTo(root->leftAnchor(), 0);
    LayoutConstraint::activate({left, panel->topAnchor().constraintEqualTo(root->topAnchor()),
                                panel->widthAnchor().constraintEqualToConstant(100),
                                panel->heightAnchor().constraintEqualToConstant(100)});
    window->layoutIfNeeded();
    left->setConstant(200);
    View::animate(1.0, 0, {.curve = ViewAnimationCurve::linear}, [&] { root->layoutIfNeeded(); });
    EXPECT_EQ(panel->frame().origin.x, 200) << "the model moves at once";
    loop.advance(0.5);
    const Point shown = panel->layer()->presented<Point>("position", panel->center());
    EXPECT_NEAR(shown.x, 150, 1e-6);  // centre half-way from 50 to 250
    loop.advance(0.6);
    EXPECT_TRUE(panel->layer()->animationKeys().empty());
}

}  // namespace
