#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

using M = AutoresizingMask;

void expectRectNear(const Rect& got, const Rect& want) {
    EXPECT_NEAR(got.origin.x, want.origin.x, 1e-9);
    EXPECT_NEAR(got.origin.y, want.origin.y, 1e-9);
    EXPECT_NEAR(got.size.width, want.size.width, 1e-9);
    EXPECT_NEAR(got.size.height, want.size.height, 1e-9);
}

TEST(View, AutoresizingFollowsTheSuperviewsNewSize) {
    // Superview 100 x 100 grows to 200 x 150; the child starts at
    // (10, 20, 30, 40): margins left 10, right 60, top 20, bottom 40.
    struct Case {
        AutoresizingMask mask;
        Rect expected;
    };
    const std::vector<Case> cases{
        {M::none, {10, 20, 30, 40}},
        {M::flexibleWidth, {10, 20, 130, 40}},
        {M::flexibleLeftMargin, {110, 20, 30, 40}},
        {M::flexibleRightMargin, {10, 20, 30, 40}},
        {M::flexibleHeight | M::flexibleWidth, {10, 20, 130, 90}},
        {M::flexibleTopMargin | M::flexibleBottomMargin, {10, 20 + 50.0 * 20 / 60, 30, 40}},
        // Shared in proportion to left 10, width 30, right 60.
        {M::flexibleLeftMargin | M::flexibleWidth | M::flexibleRightMargin, {20, 20, 60, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mask));
        auto parent = View::create({0, 0, 100, 100});
        auto child = View::create({10, 20, 30, 40});
        child->setAutoresizingMask(c.mask);
        parent->addSubview(child);
        parent->setFrame({0, 0, 200, 150});
        expectRectNear(child->frame(), c.expected);
    }
    // A grandchild follows its parent's change in turn; no change when the
    // superview does not autoresize its subviews.
    auto parent = View::create({0, 0, 100, 100});
    auto child = View::create({0, 0, 100, 100});
    auto grandchild = View::create({0, 0, 50, 100});
    child->setAutoresizingMask(M::flexibleWidth);
    grandchild->setAutoresizingMask(M::flexibleWidth);
    parent->addSubview(child);
    child->addSubview(grandchild);
    parent->setBounds({0, 0, 300, 100});
    expectRectNear(grandchild->frame(), {0, 0, 250, 100});
    parent->setAutoresizesSubviews(false);
    parent->setBounds({0, 0, 100, 100});
    expectRectNear(child->frame(), {0, 0, 300, 100});
}

TEST(View, ConvertGoesThroughEveryTransform) {
    auto window = Window::create({400, 400}, 1);
    auto a = View::create({100, 100, 100, 100});
    a->setTransform(AffineTransform::rotation(std::numbers::pi / 2));  // about its centre (150, 150)
    auto b = View::create({10, 20, 40, 40});
    b->setTransform(AffineTransform::scale(2, 2));  // about its centre (30, 40) in a
    auto c = View::create({300, 0, 50, 50});
    c->setBounds({-10, -10, 50, 50});  // bounds origin shifts the content
    window->addSubview(a);
    a->addSubview(b);
    window->addSubview(c);

    // b's origin: (-20, -20) from b's centre, doubled -> (-40, -40) -> (-10, 0) in a.
    // a's (-10, 0): (-60, -50) from a's centre, turned a quarter -> (50, -60) -> (200, 90).
    const Point inWindow = b->convertPoint({0, 0}, nullptr);
    EXPECT_NEAR(inWindow.x, 200, 1e-9);
    EXPECT_NEAR(inWindow.y, 90, 1e-9);
    const Point back = b->convertPointFrom(inWindow, window.get());
    EXPECT_NEAR(back.x, 0, 1e-9);
    EXPECT_NEAR(back.y, 0, 1e-9);
    // Into a sibling: window (200, 90) is c's (200 - 300 - 10, 90 - 0 - 10).
    const Point inC = b->convertPoint({0, 0}, c.get());
    EXPECT_NEAR(inC.x, -110, 1e-9);
    EXPECT_NEAR(inC.y, 80, 1e-9);
    // A rectangle becomes the box of its transformed corners.
    expectRectNear(b->convertRect({0, 0, 40, 40}, a.get()), {-10, 0, 80, 80});
    expectRectNear(a->convertRectFrom({0, 0, 40, 40}, b.get()), b->frame());
    expectRectNear(b->convertRect({0, 0, 40, 40}, nullptr), {120, 90, 80, 80});
}

TEST(View, HitTestingSkipsHiddenTransparentAndNonInteractiveViews) {
    struct Case {
        std::string name;
        void (*change)(View&);
        bool frontViewHit;
    };
    const std::vector<Case> cases{
        {"plain", [](View&) {}, true},
        {"hidden", [](View& v) { v.setHidden(true); }, false},
        {"alpha below 0.01", [](View& v) { v.setAlpha(0.009); }, false},
        {"alpha 0.01", [](View& v) { v.setAlpha(0.01); }, true},
        {"interaction off", [](View& v) { v.setUserInteractionEnabled(false); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto root = View::create({0, 0, 100, 100});
        auto back = View::create({0, 0, 100, 100});
        auto front = View::create({0, 0, 50, 50});
        auto inner = View::create({10, 10, 10, 10});
        root->addSubview(back);
        root->addSubview(front);
        front->addSubview(inner);
        c.change(*front);
        EXPECT_EQ(root->hitTest({25, 25}), c.frontViewHit ? front : back);
        // A subview of a skipped view is skipped with it.
        EXPECT_EQ(root->hitTest({15, 15}), c.frontViewHit ? inner : back);
    }
    // A point outside the bounds finds nothing, even over a subview sticking out.
    auto root = View::create({0, 0, 100, 100});
    auto outside = View::create({90, 90, 50, 50});
    root->addSubview(outside);
    EXPECT_EQ(root->hitTest({120, 120}), nullptr);
    EXPECT_EQ(root->hitTest({95, 95}), outside);
    // Through a transform: the rotated bar is hit along its new axis.
    auto bar = View::create({30, 45, 40, 10});
    bar->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
    root->addSubview(bar);
    EXPECT_EQ(root->hitTest({50, 35}), bar);
    EXPECT_EQ(root->hitTest({35, 50}), root);
}

TEST(View, SubviewOrderIsMirroredInTheLayerTree) {
    auto root = View::create();
    auto a = View::create(), b = View::create(), c = View::create(), d = View::create();
    auto own = Layer::create();  // a layer of the root's own, not a view's
    root->layer()->addSublayer(own);
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubview(c, 1);         // a c b
    root->insertSubviewBelow(d, a);    // d a c b
    root->bringSubviewToFront(a);      // d c b a
    root->insertSubviewAbove(b, a);    // d c a b
    root->insertSubview(c, 3);         // d a b c
    const std::vector<std::shared_ptr<View>> expected{d, a, b, c};
    EXPECT_EQ(root->subviews(), expected);
    std::vector<std::shared_ptr<Layer>> viewLayers;
    for (const auto& l : root->layer()->sublayers())
        if (l != own) viewLayers.push_back(l);
    const std::vector<std::shared_ptr<Layer>> expectedLayers{d->layer(), a->layer(), b->layer(), c->layer()};
    EXPECT_EQ(viewLayers, expectedLayers);

    // Moving to another superview takes it out of the first; a view cannot
    // be put inside itself.
    auto other = View::create();
    other->addSubview(a);
    EXPECT_EQ(root->subviews().size(), 3u);
    EXPECT_EQ(a->superview(), other);
    EXPECT_EQ(a->layer()->superlayer(), other->layer());
    a->addSubview(other);
    EXPECT_EQ(other->superview(), nullptr);
    a->removeFromSuperview();
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(a->layer()->superlayer(), nullptr);
    EXPECT_TRUE(other->subviews().empty());
}

class RecordingView : public View {
public:
    static std::shared_ptr<RecordingView> create(std::vector<std::string>* log, std::string name) {
        auto v = std::make_shared<RecordingView>(ConstructorKey{}, Rect{});
        v->log_ = log;
        v->name_ = std::move(name);
        return v;
    }
    using View::View;
    void layoutSubviews() override { log_->push_back(name_ + ".layout"); }
    void didMoveToSuperview() override { log_->push_back(name_ + ".superview"); }
    void didMoveToWindow() override { log_->push_back(name_ + (window() ? ".window" : ".nowindow")); }

private:
    std::vector<std::string>* log_ = nullptr;
    std::string name_;
};

TEST(View, LayoutPassesRunParentsFirstAndOnTheRunLoop) {
    std::vector<std::string> log;
    auto window = Window::create({100, 100}, 1);
    auto parent = RecordingView::create(&log, "parent");
    auto child = RecordingView::create(&log, "child");
    parent->addSubview(child);
    EXPECT_EQ(log, (std::vector<std::string>{"child.superview"}));
    log.clear();
    window->addSubview(parent);
    EXPECT_EQ(log, (std::vector<std::string>{"parent.superview", "parent.window", "child.window"}));
    log.clear();
    // The frames wait for the pass the run loop makes at the end of the turn.
    platform::core::RunLoop::main().runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"parent.layout", "child.layout"}));
    log.clear();
    platform::core::RunLoop::main().runUntilIdle();
    EXPECT_TRUE(log.empty());
    // A size change asks for layout; layoutIfNeeded on the child starts at
    // the outermost ancestor that needs it.
    parent->setFrame({0, 0, 50, 50});
    child->setNeedsLayout();
    child->layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"parent.layout", "child.layout"}));
    log.clear();
    parent->removeFromSuperview();
    EXPECT_EQ(log, (std::vector<std::string>{"parent.superview", "parent.nowindow", "child.nowindow"}));
}

TEST(View, SafeAreaInsetsAreWhereTheViewOverlapsTheWindowsInsets) {
    auto window = Window::create({375, 812}, 3);
    window->setSafeAreaInsets({44, 0, 34, 0});
    auto full = View::create({0, 0, 375, 812});
    auto middle = View::create({0, 100, 375, 100});
    auto bottom = View::create({0, 800, 375, 100});
    window->addSubview(full);
    window->addSubview(middle);
    window->addSubview(bottom);
    EXPECT_EQ(full->safeAreaInsets(), (EdgeInsets{44, 0, 34, 0}));
    EXPECT_EQ(middle->safeAreaInsets(), EdgeInsets{});
    EXPECT_EQ(bottom->safeAreaInsets(), (EdgeInsets{0, 0, 100, 0}));
    EXPECT_EQ(View::create()->safeAreaInsets(), EdgeInsets{});
}

TEST(View, TintColorIsInherited) {
    auto root = View::create();
    auto child = View::create();
    root->addSubview(child);
    EXPECT_EQ(child->tintColor(), (Color{0, 122.0 / 255, 1, 1}));
    root->setTintColor(Color::black());
    EXPECT_EQ(child->tintColor(), Color::black());
    child->setTintColor(Color::white());
    EXPECT_EQ(child->tintColor(), Color::white());
}

TEST(Window, RootViewFillsTheWindowAndFollowsItsSize) {
    auto window = Window::create({320, 480}, 2);
    auto root = View::create();
    window->setRootView(root);
    EXPECT_EQ(root->frame(), (Rect{0, 0, 320, 480}));
    EXPECT_EQ(root->window(), window);
    window->setSize({480, 320});
    EXPECT_EQ(root->frame(), (Rect{0, 0, 480, 320}));
    // Scaled back (as a presentation over it does), it still fills the
    // window's new size, scaled about the window's centre.
    root->setTransform(AffineTransform::scale(0.9, 0.9));
    window->setSize({1024, 768});
    EXPECT_EQ(root->bounds().size, (Size{1024, 768}));
    EXPECT_EQ(root->center(), (Point{512, 384}));
    root->setTransform(AffineTransform::identity());
    window->setSize({480, 320});
    window->setRootView(View::create());
    EXPECT_EQ(root->superview(), nullptr);
    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 960);
    EXPECT_EQ(image->scale(), 2);
}

}  // namespace
