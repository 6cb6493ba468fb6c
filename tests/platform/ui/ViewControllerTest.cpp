#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/AlertController.hpp"
#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controllers/PageViewController.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/lists/ScrollView.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

using Log = std::shared_ptr<std::vector<std::string>>;

// A controller that writes its callbacks into a shared log.
class Recording : public ViewController {
public:
    static std::shared_ptr<Recording> create(Log log, std::string name) {
        auto c = std::make_shared<Recording>(ConstructorKey{});
        c->log_ = std::move(log);
        c->name_ = std::move(name);
        return c;
    }
    explicit Recording(ConstructorKey key) : ViewController(key) {}
    void loadView() override { 
        note("loadView");
        ViewController::loadView();
     }
    void viewDidLoad() override { note("viewDidLoad"); }
    void viewWillAppear(bool) override { note("willAppear"); }
    void viewDidAppear(bool) override { note("didAppear"); }
    void viewWillDisappear(bool) override { note("willDisappear"); }
    void viewDidDisappear(bool) override { note("didDisappear"); }

private:
    void note(const std::string& what) { log_->push_back(name_ + "." + what); }
    Log log_;
    std::string name_;
};

// Keeps the context it is given; the test completes it.
class HeldAnimator : public AnimatedTransitioning {
public:
    double transitionDuration(const std::shared_ptr<TransitionContext>&) override { return 0.3; }
    void animateTransition(const std::shared_ptr<TransitionContext>& context) override {
        contexts.push_back(context);
        if (auto to = context->view(TransitionContextKey::to)) context->containerView()->addSubview(to);
    }
    std::vector<std::shared_ptr<TransitionContext>> contexts;
};

class AnimatorSource : public ViewControllerTransitioningDelegate {
public:
    std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>&, const std::shared_ptr<ViewController>&,
        const std::shared_ptr<ViewController>&) override {
        return animator;
    }
    std::shared_ptr<AnimatedTransitioning> animationControllerForDismissed(const std::shared_ptr<ViewController>&) override {
        return animator;
    }
    std::shared_ptr<HeldAnimator> animator = std::make_shared<HeldAnimator>();
};

struct Scene {
    Log log = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<Window> window = Window::create({375, 667});
    std::shared_ptr<Recording> root = Recording::create(log, "root");
    Scene() {
        window->setRootViewController(root);
        log->clear();
    }
};

TEST(ViewController, ViewLoadsOnceOnFirstAccessOnly) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto controller = Recording::create(log, "c");
    controller->setTitle("Title");
    controller->navigationItem();
    EXPECT_FALSE(controller->isViewLoaded());
    EXPECT_TRUE(log->empty());
    auto first = controller->view();
    auto second = controller->view();
    EXPECT_EQ(first, second);
    EXPECT_EQ(*log, (std::vector<std::string>{"c.loadView", "c.viewDidLoad"}));
}

TEST(ViewController, PresentIsRefusedWhilePresentingAndDismissOfNothingDoesNothing) {
    Scene s;
    auto other = ViewController::create();
    EXPECT_FALSE(s.root->dismiss(true, [&] { s.log->push_back("completion"); }));
    EXPECT_FALSE(other->dismiss(false));
    EXPECT_TRUE(s.log->empty());

    auto first = Recording::create(s.log, "first");
    bool done = false;
    ASSERT_TRUE(s.root->present(first, false, [&] { done = true; }));
    EXPECT_TRUE(done);
    EXPECT_EQ(s.root->presentedViewController(), first);
    EXPECT_EQ(first->presentingViewController(), s.root);
    // Full screen: the presenter disappears while it is covered.
    EXPECT_EQ(*s.log, (std::vector<std::string>{"first.loadView", "first.viewDidLoad", "first.willAppear",
                                                 "root.willDisappear", "first.didAppear", "root.didDisappear"}));
    EXPECT_FALSE(s.root->present(ViewController::create(), false));
    EXPECT_EQ(s.root->presentedViewController(), first);

    // Dismissing from the presented controller goes through its presenter
    // and puts the presenting view back.
    s.log->clear();
    ASSERT_TRUE(first->dismiss(false));
    EXPECT_EQ(s.root->presentedViewController(), nullptr);
    EXPECT_EQ(s.root->view()->superview(), s.window);
    EXPECT_EQ(s.window->subviews().size(), 1U);
    EXPECT_EQ(*s.log, (std::vector<std::string>{"root.willAppear", "first.willDisappear", "first.didDisappear",
                                                 "root.didAppear"}));
}

TEST(ViewController, CustomPresentationOutcomeIsDecidedByTheContextCompletion) {
    for (const bool completes : {true, false}) {
        SCOPED_TRACE(completes);
        Scene s;
        auto source = std::make_shared<AnimatorSource>();
        auto presented = Recording::create(s.log, "sheet");
        presented->setModalPresentationStyle(ModalPresentationStyle::custom);
        presented->setTransitioningDelegate(source);
        bool done = false;
        ASSERT_TRUE(s.root->present(presented, true, [&] { done = true; }));

        ASSERT_EQ(source->animator->contexts.size(), 1U);
        auto context = source->animator->contexts.front();
        EXPECT_EQ(context->viewController(TransitionContextKey::from), s.root);
        EXPECT_EQ(context->viewController(TransitionContextKey::to), presented);
        EXPECT_TRUE(context->isAnimated());
        EXPECT_EQ(context->view(TransitionContextKey::from), nullptr);  // the presenter's view stays put
        // The container lies above the presenting view, which stays.
        const auto& top = s.window->subviews();
        ASSERT_EQ(top.size(), 2U);
        EXPECT_EQ(top[0], s.root->view());
        EXPECT_EQ(top[1], context->containerView());
        // In flight: nothing is linked yet, no touch lands, a second
        // presentation is refused.
        EXPECT_EQ(s.root->presentedViewController(), nullptr);
        EXPECT_TRUE(s.window->isTransitionInFlight());
        EXPECT_EQ(s.window->hitTest({10, 10}), nullptr);
        EXPECT_FALSE(s.root->present(ViewController::create(), false));

        context->completeTransition(completes);
        context->completeTransition(!completes);  // ignored
        EXPECT_FALSE(s.window->isTransitionInFlight());
        EXPECT_NE(s.window->hitTest({10, 10}), nullptr);
        EXPECT_EQ(done, completes);
        if (completes) {
            EXPECT_EQ(s.root->presentedViewController(), presented);
            EXPECT_EQ(presented->presentingViewController(), s.root);
            EXPECT_EQ(s.window->subviews().size(), 2U);
            EXPECT_EQ(*s.log, (std::vector<std::string>{"sheet.loadView", "sheet.viewDidLoad", "sheet.willAppear",
                                                         "sheet.didAppear"}));
            // The dismissal's animator runs in the same container.
            s.log->clear();
            ASSERT_TRUE(presented->dismiss(true));
            ASSERT_EQ(source->animator->contexts.size(), 2U);
            auto dismissal = source->animator->contexts.back();
            EXPECT_EQ(dismissal->containerView(), context->containerView());
            EXPECT_EQ(dismissal->viewController(TransitionContextKey::from), presented);
            EXPECT_EQ(dismissal->viewController(TransitionContextKey::to), s.root);
            dismissal->completeTransition(true);
            EXPECT_EQ(s.root->presentedViewController(), nullptr);
            EXPECT_EQ(s.window->subviews().size(), 1U);
            EXPECT_EQ(*s.log, (std::vector<std::string>{"sheet.willDisappear", "sheet.didDisappear"}));
        } else {
            EXPECT_EQ(s.root->presentedViewController(), nullptr);
            EXPECT_EQ(presented->presentingViewController(), nullptr);
            EXPECT_EQ(s.window->subviews().size(), 1U);
            EXPECT_EQ(context->containerView()->superview(), nullptr);
            EXPECT_EQ(s.log->back(), "sheet.didDisappear");
        }
    }
}

// ---- Navigation ----

class NavigationLog : public NavigationControllerDelegate {
public:
    explicit NavigationLog(Log log) : log_(std::move(log)) {}
    void willShow(const std::shared_ptr<NavigationController>&, const std::shared_ptr<ViewController>& vc,
                  bool animated) override {
        log_->push_back("willShow " + vc->title() + (animated ? " animated" : ""));
    }
    void didShow(const std::shared_ptr<NavigationController>&, const std::shared_ptr<ViewController>& vc,
                 bool) override {
        log_->push_back("didShow " + vc->title());
    }
    std::shared_ptr<AnimatedTransitioning> animationControllerFor(const std::shared_ptr<NavigationController>&,
                                                                  NavigationControllerOperation operation,
                                                                  const std::shared_ptr<ViewController>& from,
                                                                  const std::shared_ptr<ViewController>& to) override {
        log_->push_back(std::string(operation == NavigationControllerOperation::push ? "push " : "pop ") +
                        from->title() + ">" + to->title());
        return animator;
    }
    std::shared_ptr<HeldAnimator> animator = std::make_shared<HeldAnimator>();

private:
    Log log_;
};

TEST(NavigationController, PushAndPopCallTheDelegateInOrder) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto window = Window::create({375, 667});
    auto make = [](std::string title) {
        auto c = ViewController::create();
        c->setTitle(std::move(title));
        return c;
    };
    auto a = make("A");
    auto b = make("B");
    auto c = make("C");
    auto nav = NavigationController::create(a);
    auto delegate = std::make_shared<NavigationLog>(log);
    nav->setDelegate(delegate);
    window->setRootViewController(nav);

    // Animated: the delegate's animator runs, completion ends it.
    ASSERT_TRUE(nav->push(b, true));
    EXPECT_FALSE(nav->push(c, false));  // a transition is in flight
    ASSERT_EQ(delegate->animator->contexts.size(), 1U);
    delegate->animator->contexts.back()->completeTransition(true);
    // Without animation, no animator is asked.
    ASSERT_TRUE(nav->push(c, false));
    EXPECT_EQ(nav->topViewController(), c);
    EXPECT_EQ(c->navigationController(), nav);
    EXPECT_EQ(nav->navigationBar()->topItem(), c->navigationItem());

    EXPECT_EQ(nav->pop(true), c);
    delegate->animator->contexts.back()->completeTransition(true);
    EXPECT_EQ(nav->popToRoot(false), (std::vector<std::shared_ptr<ViewController>>{b}));
    EXPECT_EQ(nav->pop(false), nullptr);  // the root stays
    EXPECT_EQ(*log, (std::vector<std::string>{"willShow B animated", "push A>B", "didShow B", "willShow C",
                                               "didShow C", "willShow B animated", "pop C>B", "didShow B",
                                               "willShow A", "didShow A"}));
    EXPECT_EQ(nav->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{a}));
    EXPECT_EQ(b->parent(), nullptr);

    // A cancelled pop leaves the stack as it was.
    nav->push(b, false);
    log->clear();
    nav->pop(true);
    delegate->animator->contexts.back()->completeTransition(false);
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(b->view()->superview(), nav->contentView());
    EXPECT_EQ(*log, (std::vector<std::string>{"willShow A animated", "pop B>A"}));
}

// ---- Paging ----

class Pages : public PageViewControllerDataSource, public PageViewControllerDelegate {
public:
    explicit Pages(Log log) : log_(std::move(log)) {
        for (int i = 0; i < 3; ++i) pages.push_back(ViewController::create());
    }
    std::shared_ptr<ViewController> viewControllerBefore(PageViewController&,
                                                         const std::shared_ptr<ViewController>& current) override {
        log_->push_back("before");
        const auto i = index(current);
        return i > 0 ? pages[i - 1] : nullptr;
    }
    std::shared_ptr<ViewController> viewControllerAfter(PageViewController&,
                                                        const std::shared_ptr<ViewController>& current) override {
        log_->push_back("after");
        const auto i = index(current);
        return i + 1 < pages.size() ? pages[i + 1] : nullptr;
    }
    void willTransitionTo(PageViewController&, const std::vector<std::shared_ptr<ViewController>>& p) override {
        log_->push_back("willTransition " + std::to_string(index(p.front())));
    }
    void didFinishAnimating(PageViewController&, bool finished, const std::vector<std::shared_ptr<ViewController>>& p,
                            bool completed) override {
        log_->push_back("didFinish " + std::to_string(finished) + " " + std::to_string(index(p.front())) + " " +
                        std::to_string(completed));
    }
    std::size_t index(const std::shared_ptr<ViewController>& c) const {
        return static_cast<std::size_t>(std::find(pages.begin(), pages.end(), c) - pages.begin());
    }
    std::vector<std::shared_ptr<ViewController>> pages;

private:
    Log log_;
};

TEST(PageViewController, OnlyUserPagingTellsTheDataSourceAndDelegate) {
    using D = PageViewControllerNavigationDirection;
    auto log = std::make_shared<std::vector<std::string>>();
    auto pages = std::make_shared<Pages>(log);
    auto pager = PageViewController::create();
    pager->setDataSource(pages);
    pager->setDelegate(pages);
    bool finished = false;
    ASSERT_TRUE(pager->setViewControllers({pages->pages[1]}, D::forward, true, [&](bool f) { finished = f; }));
    EXPECT_TRUE(finished);
    EXPECT_TRUE(log->empty());
    EXPECT_EQ(pages->pages[1]->view()->superview(), pager->scrollView());

    struct Step {
        D direction;
        bool completes;
        bool enabled;
        bool accepted;
        std::size_t shownAfter;
        std::vector<std::string> calls;
    };
    const std::vector<Step> steps{
        {D::forward, true, true, true, 2, {"after", "willTransition 2", "didFinish 1 1 1"}},
        {D::forward, true, true, false, 2, {"after"}},  // no page after the last
        {D::reverse, false, true, true, 2, {"before", "willTransition 1", "didFinish 1 2 0"}},  // let go back
        {D::reverse, true, false, false, 2, {}},  // scrolling disabled
        {D::reverse, true, true, true, 1, {"before", "willTransition 1", "didFinish 1 2 1"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.calls.size());
        log->clear();
        pager->scrollView()->setScrollEnabled(step.enabled);
        EXPECT_EQ(pager->userPage(step.direction, step.completes), step.accepted);
        EXPECT_EQ(pages->index(pager->viewControllers().front()), step.shownAfter);
        EXPECT_EQ(*log, step.calls);
    }
    EXPECT_EQ(pages->pages[2]->parent(), nullptr);
    EXPECT_EQ(pages->pages[1]->parent(), pager);

    // Dragging the inner scroll view: at rest it shows the current page one
    // width in; the drag asks for the neighbour and pages when it settles
    // on it. Without a neighbour it settles back without a delegate call.
    // On the loop's manual clock, whatever clock earlier tests left it with:
    // deceleration settles on the clock, not on wall time.
    auto& loop = platform::core::RunLoop::main();
    loop.useManualClock();
    pager->view()->setFrame({0, 0, 375, 600});
    pager->view()->layoutIfNeeded();
    auto scroll = pager->scrollView();
    const auto settle = [&] {
        for (int frame = 0; frame < 600 && scroll->isDecelerating(); ++frame) loop.advance(1.0 / 60);
    };
    EXPECT_EQ(scroll->contentOffset().x, 375);
    EXPECT_EQ(scroll->contentSize().width, 3 * 375);
    struct Drag {
        double translation;
        std::size_t shownAfter;
        std::vector<std::string> calls;
    };
    const std::vector<Drag> drags{
        {-250, 2, {"after", "willTransition 2", "didFinish 1 1 1"}},
        {-250, 2, {"after"}},
        {+100, 2, {"before", "willTransition 1", "didFinish 1 2 0"}},  // not far enough: back
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.translation);
        log->clear();
        ASSERT_TRUE(scroll->beginDragging());
        scroll->dragBy({drag.translation, 0});
        scroll->endDragging();
        settle();
        ASSERT_FALSE(scroll->isDecelerating());
        EXPECT_EQ(pages->index(pager->viewControllers().front()), drag.shownAfter);
        EXPECT_EQ(scroll->contentOffset().x, 375);
        EXPECT_EQ(*log, drag.calls);
        EXPECT_EQ(scroll->subviews().size(), 1U);
    }
}

TEST(PageViewController, AnAnimatedChangeByCodeSlidesInFromItsDirectionOnTheLoopsClock) {
    using D = PageViewControllerNavigationDirection;
    auto& loop = platform::core::RunLoop::main();
    loop.useManualClock();
    struct Case {
        const char* name;
        D direction;
        double sideX;     // where the new page waits beside the shown one
        double midwayX;   // the offset is between the middle and that side
    };
    for (const Case c : {Case{"forward: from the right", D::forward, 750, 1}, Case{"reverse: from the left", D::reverse, 0, -1}}) {
        SCOPED_TRACE(c.name);
        auto log = std::make_shared<std::vector<std::string>>();
        auto pages = std::make_shared<Pages>(log);
        auto window = Window::create({375, 600});
        auto pager = PageViewController::create();
        pager->setDataSource(pages);
        pager->setDelegate(pages);
        window->setRootViewController(pager);
        ASSERT_TRUE(pager->setViewControllers({pages->pages[1]}, D::forward, false));
        window->layoutIfNeeded();
        auto scroll = pager->scrollView();
        ASSERT_EQ(scroll->contentOffset().x, 375);

        int completions = 0;
        const auto next = pages->pages[c.direction == D::forward ? 2 : 0];
        ASSERT_TRUE(pager->setViewControllers({next}, c.direction, true, [&](bool finished) {
            EXPECT_TRUE(finished);
            ++completions;
        }));
        // The new page is the page from now on, but comes in beside the
        // old one, which stays in the middle until it has slid away.
        EXPECT_EQ(pager->viewControllers().front(), next);
        EXPECT_EQ(next->parent(), pager);
        EXPECT_EQ(next->view()->frame().minX(), c.sideX);
        EXPECT_EQ(pages->pages[1]->view()->frame().minX(), 375);
        EXPECT_EQ(completions, 0);
        window->layoutIfNeeded();  // a layout pass meanwhile keeps the slide
        loop.advance(0.15);
        const double midway = scroll->contentOffset().x;
        EXPECT_GT((midway - 375) * c.midwayX, 50) << midway;
        EXPECT_LT((midway - 375) * c.midwayX, 325) << midway;
        EXPECT_EQ(completions, 0);
        // Touches wait for the slide to end.
        EXPECT_TRUE(window->isTransitionInFlight());

        loop.advance(0.2);
        EXPECT_EQ(completions, 1);
        EXPECT_EQ(scroll->contentOffset().x, 375);
        EXPECT_EQ(next->view()->frame().minX(), 375);
        EXPECT_EQ(next->view()->superview(), scroll);
        EXPECT_EQ(pages->pages[1]->view()->superview(), nullptr);
        EXPECT_EQ(pages->pages[1]->parent(), nullptr);
        EXPECT_FALSE(window->isTransitionInFlight());
        EXPECT_TRUE(log->empty()) << "code tells neither the data source nor the delegate";

        // A second change while one slides lands the first at once.
        int more = 0;
        ASSERT_TRUE(pager->setViewControllers({pages->pages[1]}, D::forward, true, [&](bool) { ++more; }));
        loop.advance(0.1);
        ASSERT_TRUE(pager->setViewControllers({next}, D::reverse, true, [&](bool) { ++more; }));
        EXPECT_EQ(more, 1);
        EXPECT_EQ(pages->pages[1]->parent(), pager);
        loop.advance(0.4);
        EXPECT_EQ(more, 2);
        EXPECT_EQ(pager->viewControllers().front(), next);
        EXPECT_EQ(scroll->subviews().size(), 1U);
        EXPECT_FALSE(window->isTransitionInFlight());
    }
}

// ---- Alerts ----

TEST(AlertController, ActionSheetAtRegularWidthNeedsAnAnchor) {
    struct Case {
        double width;
        AlertControllerStyle style;
        bool anchored;
        bool presented;
    };
    const std::vector<Case> cases{
        {375, AlertControllerStyle::actionSheet, false, true},
        {768, AlertControllerStyle::actionSheet, false, false},
        {768, AlertControllerStyle::actionSheet, true, true},
        {768, AlertControllerStyle::alert, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        auto window = Window::create({c.width, 1024});
        auto root = ViewController::create();
        window->setRootViewController(root);
        auto sheet = AlertController::create("Title", std::nullopt, c.style);
        std::vector<std::string> ran;
        sheet->addAction({"Delete", AlertActionStyle::destructive, [&](const AlertAction& a) { ran.push_back(a.title); }});
        sheet->addAction({"Cancel", AlertActionStyle::cancel, [&](const AlertAction& a) { ran.push_back(a.title); }});
        EXPECT_FALSE(sheet->addAction({"Another cancel", AlertActionStyle::cancel, {}}));
        if (c.anchored) {
            sheet->popoverAnchor().sourceView = root->view();
            sheet->popoverAnchor().sourceRect = {0, 0, 10, 10};
        }
        EXPECT_EQ(root->present(sheet, false), c.presented);
        EXPECT_EQ(root->presentedViewController() == sheet, c.presented);
        if (!c.presented) continue;
        // A tap dismisses first, then runs the handler; the presenter stays.
        EXPECT_EQ(root->view()->superview(), window);
        ASSERT_TRUE(sheet->tapAction(1));
        EXPECT_EQ(root->presentedViewController(), nullptr);
        EXPECT_EQ(ran, (std::vector<std::string>{"Cancel"}));
    }
    // The size class follows the window and can be overridden.
    auto window = Window::create({600, 800});
    auto root = ViewController::create();
    window->setRootViewController(root);
    EXPECT_EQ(root->horizontalSizeClass(), UserInterfaceSizeClass::regular);
    window->setSize({599, 800});
    EXPECT_EQ(root->horizontalSizeClass(), UserInterfaceSizeClass::compact);
    root->overrideHorizontalSizeClass(UserInterfaceSizeClass::regular);
    EXPECT_EQ(root->horizontalSizeClass(), UserInterfaceSizeClass::regular);
}

// ---- Nibs ----

class Cell : public View {
public:
    static std::shared_ptr<Cell> create(Log log) {
        auto c = std::make_shared<Cell>(ConstructorKey{});
        c->log_ = std::move(log);
        return c;
    }
    explicit Cell(ConstructorKey key) : View(key, {}) {}
    void awakeFromNib() override { log_->push_back(std::string("awake, outlet ") + (label ? "set" : "missing")); }
    std::shared_ptr<View> label;

private:
    Log log_;
};

TEST(NibRegistry, OutletsAreConnectedBeforeAwakeFromNib) {
    auto log = std::make_shared<std::vector<std::string>>();
    auto& registry = NibRegistry::shared();
    registry.registerNib("Cell", [log](NibBuild& build) {
        auto cell = Cell::create(log);
        auto label = View::create();
        cell->addSubview(label);
        build.add(cell);
        build.add(label, false);
        build.connect([cell, label] { cell->label = label; });
        return true;
    });
    registry.registerNib("Broken", [](NibBuild&) { return false; });
    registry.registerNib("Throws", [](NibBuild&) -> bool { throw std::runtime_error("bad archive"); });
    registry.registerNib("Plain", [](NibBuild& build) {
        build.add(View::create());
        return true;
    });

    auto cell = registry.instantiateFirst<Cell>("Cell");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->label, cell->subviews().front());
    EXPECT_EQ(*log, (std::vector<std::string>{"awake, outlet set"}));
    EXPECT_EQ(registry.instantiateFirst<Cell>("Missing"), nullptr);
    EXPECT_EQ(registry.instantiateFirst<Cell>("Broken"), nullptr);
    EXPECT_EQ(registry.instantiateFirst<Cell>("Throws"), nullptr);
    EXPECT_EQ(registry.instantiateFirst<Cell>("Plain"), nullptr);  // wrong class
    EXPECT_NE(registry.instantiateFirst<View>("Plain"), nullptr);

    registry.registerStoryboard("Main", {{"Root", [](NibBuild& build) {
                                              build.add(NavigationController::create(ViewController::create()));
                                              return true;
                                          }}},
                                "Root");
    EXPECT_NE(registry.instantiateViewController<NavigationController>("Main", "Root"), nullptr);
    EXPECT_NE(registry.instantiateInitialViewController("Main"), nullptr);
    EXPECT_EQ(registry.instantiateViewController<PageViewController>("Main", "Root"), nullptr);
    EXPECT_EQ(registry.instantiateViewController("Main", "Nothing"), nullptr);
}

// ---- Scrolling ----

class ScrollLog : public ScrollViewDelegate {
public:
    void scrollViewDidScroll(ScrollView& s) override { offsets.push_back(s.contentOffset().y); }
    void scrollViewDidEndScrollingAnimation(ScrollView&) override { ++animationsEnded; }
    void scrollViewDidEndDecelerating(ScrollView&) override { ++decelerationsEnded; }
    std::vector<double> offsets;
    int animationsEnded = 0;
    int decelerationsEnded = 0;
};

TEST(ScrollView, DelegateIsToldOfEveryScroll) {
    auto& loop = platform::core::RunLoop::main();
    auto scroll = ScrollView::create({0, 0, 100, 100});
    scroll->setContentSize({100, 300});
    auto delegate = std::make_shared<ScrollLog>();
    scroll->setDelegate(delegate);

    scroll->setContentOffset({0, 50});
    EXPECT_EQ(delegate->offsets, (std::vector<double>{50}));
    scroll->setContentOffset({0, 150}, true);
    ASSERT_TRUE(loop.runUntil([&] { return delegate->animationsEnded == 1; }, 5));
    EXPECT_GT(delegate->offsets.size(), 3U);
    EXPECT_EQ(delegate->offsets.back(), 150);

    // A drag past the end bounces back; without bouncing it stops at the end.
    for (const bool bounces : {true, false}) {
        SCOPED_TRACE(bounces);
        scroll->setBounces(bounces);
        scroll->setContentOffset({0, 150});
        ASSERT_TRUE(scroll->beginDragging());
        scroll->dragBy({0, -100});  // the content moves up by 100
        EXPECT_EQ(scroll->contentOffset().y, bounces ? 225 : 200);
        const int ended = delegate->decelerationsEnded;
        scroll->endDragging();
        if (bounces) {
            ASSERT_TRUE(loop.runUntil([&] { return delegate->decelerationsEnded == ended + 1; }, 5));
        }
        EXPECT_EQ(scroll->contentOffset().y, 200);
    }
    scroll->setScrollEnabled(false);
    EXPECT_FALSE(scroll->beginDragging());
}

}  // namespace
