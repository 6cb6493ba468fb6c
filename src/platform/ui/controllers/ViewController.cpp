#include "platform/ui/controllers/ViewController.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/controllers/NavigationItem.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {

constexpr auto fill = AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight;

void refuse(std::string_view what) {
    std::string line = "ViewController: ";
    line += what;
    core::debugPrint(line);
}

}  // namespace

std::shared_ptr<ViewController> ViewController::create() {
    return std::make_shared<ViewController>(ConstructorKey{});
}

ViewController::ViewController(ConstructorKey) {}

ViewController::~ViewController() = default;

// ---- The view ----

std::shared_ptr<View> ViewController::view() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!view_) {
        loadView();
        if (!view_) view_ = View::create();
        viewDidLoad();
    }
    return view_;
}

void ViewController::setView(std::shared_ptr<View> view) { view_ = std::move(view); }

void ViewController::loadView() { setView(View::create()); }

// ---- Appearance ----

void ViewController::beginAppearanceTransition(bool isAppearing, bool animated) {
    if (isAppearing) {
        if (appearance_ == Appearance::appeared || appearance_ == Appearance::appearing) return;
        view();
        appearance_ = Appearance::appearing;
        appearanceAnimated_ = animated;
        viewWillAppear(animated);
    } else {
        if (appearance_ == Appearance::disappeared || appearance_ == Appearance::disappearing) return;
        appearance_ = Appearance::disappearing;
        appearanceAnimated_ = animated;
        viewWillDisappear(animated);
    }
}

void ViewController::endAppearanceTransition() {
    if (appearance_ == Appearance::appearing) {
        appearance_ = Appearance::appeared;
        viewDidAppear(appearanceAnimated_);
    } else if (appearance_ == Appearance::disappearing) {
        appearance_ = Appearance::disappeared;
        viewDidDisappear(appearanceAnimated_);
    }
}

// ---- Title and navigation item ----

void ViewController::setTitle(std::string title) {
    title_ = std::move(title);
    navigationItem()->setTitle(title_);
}

const std::shared_ptr<NavigationItem>& ViewController::navigationItem() {
    if (!navigationItem_) navigationItem_ = std::make_shared<NavigationItem>(title_);
    return navigationItem_;
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    for (auto p = parent(); p; p = p->parent()) {
        if (auto nav = std::dynamic_pointer_cast<NavigationController>(p)) return nav;
    }
    return nullptr;
}

// ---- Containment ----

void ViewController::addChild(const std::shared_ptr<ViewController>& child) {
    if (!child || child.get() == this) return;
    auto self = shared_from_this();
    if (child->parent() == self) return;
    for (auto p = parent(); p; p = p->parent()) {
        if (p == child) {
            refuse("a controller cannot become the child of its own descendant; refused");
            return;
        }
    }
    if (child->parent()) child->removeFromParent();
    child->willMove(self);
    children_.push_back(child);
    child->parent_ = self;
}

void ViewController::removeFromParent() {
    auto p = parent();
    if (!p) return;
    auto self = shared_from_this();
    std::erase(p->children_, self);
    parent_.reset();
    didMove(nullptr);
}

// ---- Traits ----

std::shared_ptr<Window> ViewController::window() const {
    if (view_) {
        if (auto w = view_->window()) return w;
    }
    // Covered by a full-screen presentation, the view is out of the tree.
    if (auto host = hiddenPresenterSuperview_.lock()) return host->window();
    if (auto p = parent()) return p->window();
    if (auto p = presentingViewController()) return p->window();
    return nullptr;
}

std::optional<UserInterfaceSizeClass> ViewController::sizeClassOverride() const {
    if (sizeClassOverride_) return sizeClassOverride_;
    if (auto p = parent()) return p->sizeClassOverride();
    if (auto p = presentingViewController()) return p->sizeClassOverride();
    return std::nullopt;
}

UserInterfaceSizeClass ViewController::horizontalSizeClass() const {
    if (auto o = sizeClassOverride()) return *o;
    auto w = window();
    if (!w) return UserInterfaceSizeClass::unspecified;
    return w->size().width >= regularWidthThreshold ? UserInterfaceSizeClass::regular
                                                    : UserInterfaceSizeClass::compact;
}

// ---- Presentation ----

std::shared_ptr<View> ViewController::presentationHost() const {
    if (!view_) return nullptr;
    return view_->window();
}

bool ViewController::transitionInFlight() const { return transition_ && !transition_->isCompleted(); }

void ViewController::setWindowInteraction(bool ignoring) {
    if (ignoring) {
        auto w = window();
        interactionWindow_ = w;
        if (w) w->beginIgnoringInteraction();
    } else {
        if (auto w = interactionWindow_.lock()) w->endIgnoringInteraction();
        interactionWindow_.reset();
    }
}

bool ViewController::present(const std::shared_ptr<ViewController>& controller, bool animated,
                             std::function<void()> completion) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!controller || controller.get() == this) {
        refuse("present: nothing to present; refused");
        return false;
    }
    if (presented_ || transitionInFlight()) {
        refuse("present: already presenting a controller; refused");
        return false;
    }
    if (controller->presentingViewController() || controller->parent() || controller->transitionInFlight()) {
        refuse("present: the controller is already presented or contained; refused");
        return false;
    }
    if (auto why = controller->presentationRefusal(*this)) {
        refuse("present: " + *why + "; refused");
        return false;
    }
    auto host = presentationHost();
    if (!host) {
        refuse("present: the presenting view is in no window; refused");
        return false;
    }
    auto self = shared_from_this();
    auto container = View::create(host->bounds());
    container->setAutoresizingMask(fill);
    host->addSubview(container);
    presentationContainer_ = container;

    std::shared_ptr<AnimatedTransitioning> animator;
    if (animated) {
        if (auto delegate = controller->transitioningDelegate()) {
            animator = delegate->animationControllerForPresented(controller, self, self);
        }
    }
    controller->beingPresented_ = true;
    controller->beginAppearanceTransition(true, animated);
    if (controller->modalPresentationStyle() == ModalPresentationStyle::fullScreen) {
        beginAppearanceTransition(false, animated);
    }
    setWindowInteraction(true);

    std::weak_ptr<ViewController> weakSelf = self;
    auto context = TransitionContext::create(
        container, self, controller, animated,
        [weakSelf, controller, animated, completion = std::move(completion)](bool completed) {
            if (auto s = weakSelf.lock()) s->finishPresentation(controller, completed, animated, completion);
        });
    transition_ = context;
    if (controller->modalPresentationStyle() == ModalPresentationStyle::custom) {
        context->withholdView(TransitionContextKey::from);
    }
    if (animator) {
        context->setAnimator(animator);
        animator->animateTransition(context);
    } else {
        auto v = controller->view();
        v->setFrame(context->finalFrame(*controller));
        v->setAutoresizingMask(fill);
        container->addSubview(v);
        context->completeTransition(true);
    }
    return true;
}

void ViewController::finishPresentation(const std::shared_ptr<ViewController>& presented, bool completed,
                                        bool animated, const std::function<void()>& completion) {
    transition_.reset();
    setWindowInteraction(false);
    presented->beingPresented_ = false;
    const bool fullScreen = presented->modalPresentationStyle() == ModalPresentationStyle::fullScreen;
    if (completed) {
        presented_ = presented;
        presented->presenting_ = shared_from_this();
        if (fullScreen) hidePresenterView();
        presented->endAppearanceTransition();
        if (fullScreen) endAppearanceTransition();
        if (completion) completion();
        return;
    }
    if (auto v = presented->viewIfLoaded(); v && presentationContainer_ && v->superview() == presentationContainer_) {
        v->removeFromSuperview();
    }
    if (presentationContainer_) presentationContainer_->removeFromSuperview();
    presentationContainer_.reset();
    presented->beginAppearanceTransition(false, animated);
    presented->endAppearanceTransition();
    if (fullScreen) {
        beginAppearanceTransition(true, animated);
        endAppearanceTransition();
    }
}

void ViewController::hidePresenterView() {
    // The view covered is the presenting view's outermost ancestor under
    // the window (the presenting view itself when it is the root view).
    auto host = presentationHost();
    if (!host || !view_) return;
    auto covered = view_;
    while (covered->superview() && covered->superview() != host) covered = covered->superview();
    if (covered->superview() != host) return;
    const auto& siblings = host->subviews();
    hiddenPresenterIndex_ =
        static_cast<std::size_t>(std::find(siblings.begin(), siblings.end(), covered) - siblings.begin());
    hiddenPresenterSuperview_ = host;
    hiddenPresenterView_ = covered;
    covered->removeFromSuperview();
}

bool ViewController::dismiss(bool animated, std::function<void()> completion) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!presented_) {
        auto presenter = presentingViewController();
        if (presenter && presenter->presented_.get() == this) return presenter->dismiss(animated, std::move(completion));
        return false;
    }
    if (transitionInFlight() || presented_->transitionInFlight()) {
        refuse("dismiss: a transition is in flight; refused");
        return false;
    }
    auto self = shared_from_this();
    auto presented = presented_;
    // What the presented controller presents in turn goes first, at once.
    if (presented->presented_) presented->dismiss(false);

    std::shared_ptr<AnimatedTransitioning> animator;
    if (animated) {
        if (auto delegate = presented->transitioningDelegate()) animator = delegate->animationControllerForDismissed(presented);
    }
    const bool fullScreen = presented->modalPresentationStyle() == ModalPresentationStyle::fullScreen;
    if (fullScreen) {
        auto hidden = hiddenPresenterView_.lock();
        if (auto sv = hiddenPresenterSuperview_.lock(); sv && hidden && !hidden->superview()) {
            sv->insertSubview(hidden, std::min(hiddenPresenterIndex_, sv->subviews().size()));
        }
        hiddenPresenterSuperview_.reset();
        hiddenPresenterView_.reset();
        beginAppearanceTransition(true, animated);
    }
    presented->beingDismissed_ = true;
    presented->beginAppearanceTransition(false, animated);
    setWindowInteraction(true);

    std::weak_ptr<ViewController> weakSelf = self;
    auto context = TransitionContext::create(
        presentationContainer_, presented, self, animated,
        [weakSelf, presented, animated, completion = std::move(completion)](bool completed) {
            if (auto s = weakSelf.lock()) s->finishDismissal(presented, completed, animated, completion);
        });
    transition_ = context;
    if (!fullScreen) context->withholdView(TransitionContextKey::to);
    if (animator) {
        context->setAnimator(animator);
        animator->animateTransition(context);
    } else {
        context->completeTransition(true);
    }
    return true;
}

void ViewController::finishDismissal(const std::shared_ptr<ViewController>& presented, bool completed,
                                     bool animated, const std::function<void()>& completion) {
    transition_.reset();
    setWindowInteraction(false);
    presented->beingDismissed_ = false;
    const bool fullScreen = presented->modalPresentationStyle() == ModalPresentationStyle::fullScreen;
    if (completed) {
        if (auto v = presented->viewIfLoaded()) v->removeFromSuperview();
        if (presentationContainer_) presentationContainer_->removeFromSuperview();
        presentationContainer_.reset();
        presented_.reset();
        presented->presenting_.reset();
        presented->endAppearanceTransition();
        if (fullScreen) endAppearanceTransition();
        if (completion) completion();
        return;
    }
    // Cancelled: the presented controller stays where it was.
    presented->beginAppearanceTransition(true, animated);
    presented->endAppearanceTransition();
    if (fullScreen) {
        beginAppearanceTransition(false, animated);
        endAppearanceTransition();
        hidePresenterView();
    }
}

}  // namespace platform::ui
