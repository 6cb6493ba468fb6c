#include <gtest/gtest.h>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/text/TextLayout.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

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

TEST_F(ConstraintLayoutTest, AConstraintWithANaNConstantIsRefusedWithOneDebugLine) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto window = makeWindow({300, 300});
    const auto& root = window->rootView();
    auto a = addConstrained(root);
    auto b = addConstrained(root);
    auto gap = b->leftAnchor().constraintEqualTo(a->rightAnchor(), 10);
    LayoutConstraint::activate({a->leftAnchor().constraintEqualTo(root->leftAnchor(), 20),
                                a->topAnchor().constraintEqualTo(root->topAnchor()),
                                a->widthAnchor().constraintEqualToConstant(50),
                                a->heightAnchor().constraintEqualToConstant(50), gap,
                                b->topAnchor().constraintEqualTo(root->topAnchor()),
                                b->widthAnchor().constraintEqualToConstant(30),
                                b->heightAnchor().constraintEqualToConstant(30)});
    window->layoutIfNeeded();
    ASSERT_EQ(b->frame(), (Rect{{80, 0}, {30, 30}}));

    DebugCapture lines;
    auto hostile = b->leftAnchor().constraintEqualTo(a->rightAnchor(), nan);
    hostile->setActive(true);
    EXPECT_FALSE(hostile->isActive());
    ASSERT_EQ(lines.lines().size(), 1u);
    EXPECT_EQ(lines.lines()[0],
              "Layout: refused a constraint with a value that is not finite or out of range: View.left == View.right + nan");

    // A NaN constant for an active constraint is refused the same way; the
    // constraint keeps the constant it had.
    gap->setConstant(nan);
    EXPECT_TRUE(gap->isActive());
    EXPECT_EQ(gap->constant(), 10);
    EXPECT_EQ(lines.count("Layout: refused a constraint"), 2u);
    window->layoutIfNeeded();
    EXPECT_EQ(b->frame(), (Rect{{80, 0}, {30, 30}}));
}

// Every hostile value is refused with one debug line naming the constraint,
// and no frame changes, let alone becomes infinite or NaN.
TEST_F(ConstraintLayoutTest, ValuesBeyondTheRangeAreRefusedAndFramesStayFinite) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Views {
        std::shared_ptr<View> root, box, wide;
    };
    struct Case {
        std::string name;
        std::function<LayoutConstraintPtr(const Views&)> make;
        std::string line;
    };
    const std::string refused = "Layout: refused a constraint with a value that is not finite or out of range: ";
    const std::vector<Case> cases = {
        {"infinite width", [&](const Views& v) { return v.box->widthAnchor().constraintEqualToConstant(inf); },
         refused + "View.width == inf"},
        {"huge width", [](const Views& v) { return v.box->widthAnchor().constraintEqualToConstant(1e308); },
         refused + "View.width == 1e+308"},
        {"huge negative offset",
         [](const Views& v) { return v.box->leftAnchor().constraintEqualTo(v.root->leftAnchor(), -1e308); },
         refused + "View.left == View.left - 1e+308"},
        {"just beyond the range", [](const Views& v) { return v.box->heightAnchor().constraintEqualToConstant(2e7); },
         refused + "View.height == 2e+07"},
        {"infinite multiplier",
         [&](const Views& v) { return v.box->widthAnchor().constraint(Relation::equal, v.root->widthAnchor(), 0, inf); },
         refused + "View.width == inf * View.width"},
        {"huge multiplier",
         [](const Views& v) { return v.box->widthAnchor().constraint(Relation::equal, v.root->widthAnchor(), 0, 1e308); },
         refused + "View.width == 1e+308 * View.width"},
        {"vanishing multiplier",
         [](const Views& v) { return v.box->widthAnchor().constraint(Relation::equal, v.root->widthAnchor(), 0, 1e-9); },
         refused + "View.width == 1e-09 * View.width"},
        {"a solution beyond the range",
         [](const Views& v) { return v.box->widthAnchor().constraint(Relation::equal, v.wide->widthAnchor(), 0, 1000); },
         "Layout: dropped a constraint that would put a frame out of range: View.width == 1000 * View.width"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = makeWindow({300, 300});
        Views v{window->rootView(), addConstrained(window->rootView()), addConstrained(window->rootView())};
        LayoutConstraint::activate({v.box->leftAnchor().constraintEqualTo(v.root->leftAnchor(), 10),
                                    v.box->topAnchor().constraintEqualTo(v.root->topAnchor(), 20),
                                    v.box->widthAnchor().constraintGreaterThanOrEqualToConstant(40),
                                    v.box->heightAnchor().constraintEqualToConstant(30),
                                    v.wide->leftAnchor().constraintEqualTo(v.root->leftAnchor()),
                                    v.wide->topAnchor().constraintEqualTo(v.root->topAnchor()),
                                    v.wide->widthAnchor().constraintEqualToConstant(20000),
                                    v.wide->heightAnchor().constraintEqualToConstant(10)});
        window->layoutIfNeeded();
        const Rect before = v.box->frame();
        DebugCapture lines;
        auto hostile = c.make(v);
        hostile->setActive(true);
        EXPECT_FALSE(hostile->isActive());
        EXPECT_EQ(lines.lines(), std::vector<std::string>{c.line});
        window->layoutIfNeeded();
        EXPECT_EQ(v.box->frame(), before);
        for (const auto& view : {v.box, v.wide}) {
            const Rect f = view->frame();
            EXPECT_TRUE(std::isfinite(f.origin.x) && std::isfinite(f.origin.y) && std::isfinite(f.size.width) &&
                        std::isfinite(f.size.height));
        }
    }
    // A priority that is not a number is refused too; the constraint keeps its own.
    auto window = makeWindow({300, 300});
    auto box = addConstrained(window->rootView());
    auto width = box->widthAnchor().constraintEqualToConstant(40);
    width->setPriority(LayoutPriority::defaultLow);
    DebugCapture lines;
    width->setPriority(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(width->priority(), LayoutPriority::defaultLow);
    EXPECT_EQ(lines.lines(), std::vector<std::string>{refused + "View.width == 40 @nan"});
}

// A chain of views in a container leaves the window and comes back: its
// constraints wait and are installed again in another order (the container's
// first), and the frames come back the same; taking out one link deactivates
// the constraints that reached it and the rest still hold.
TEST_F(ConstraintLayoutTest, AChainOfViewsRemovedAndAddedBackIsLaidOutAsBefore) {
    auto window = makeWindow({400, 400});
    auto container = View::create(Rect{{0, 0}, {400, 400}});
    window->rootView()->addSubview(container);
    std::vector<std::shared_ptr<View>> chain;
    std::vector<LayoutConstraintPtr> constraints;
    for (int i = 0; i < 60; ++i) {
        auto view = addConstrained(container);
        constraints.push_back(i == 0 ? view->leftAnchor().constraintEqualTo(container->leftAnchor(), 5)
                                     : view->leftAnchor().constraintEqualTo(chain.back()->rightAnchor(), 1));
        constraints.push_back(view->topAnchor().constraintEqualTo(container->topAnchor(), 8));
        constraints.push_back(view->widthAnchor().constraintEqualToConstant(4 + i % 3));
        constraints.push_back(view->heightAnchor().constraintEqualToConstant(10));
        chain.push_back(std::move(view));
    }
    LayoutConstraint::activate(constraints);
    const auto expectChain = [&](std::size_t from) {
        double x = 5;
        for (std::size_t i = 0; i < chain.size(); ++i) {
            const double width = 4 + static_cast<double>(i % 3);
            if (i >= from) {
                EXPECT_EQ(chain[i]->frame(), (Rect{{x, 8}, {width, 10}})) << i;
            }
            x += width + 1;
        }
    };
    window->layoutIfNeeded();
    expectChain(0);
    for (int round = 0; round < 2; ++round) {
        container->removeFromSuperview();
        EXPECT_TRUE(constraints.front()->isActive());
        EXPECT_FALSE(constraints.front()->isInstalled());
        window->rootView()->addSubview(container);
        window->layoutIfNeeded();
        expectChain(0);
    }
    // The first link goes: the second loses its left edge and with it the
    // chain's place, but every other constraint still holds.
    chain.front()->removeFromSuperview();
    EXPECT_FALSE(constraints[4]->isActive());
    constraints[4] = chain[1]->leftAnchor().constraintEqualTo(container->leftAnchor(), 5 + 4 + 1);
    constraints[4]->setActive(true);
    window->layoutIfNeeded();
    expectChain(1);
}

}  // namespace
