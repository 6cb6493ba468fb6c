#include "platform/ui/controllers/NavigationController.hpp"

#include <algorithm>
#include <functional>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {

constexpr auto fill = AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight;

// The navigation controller's own view: lays out the bar and the content.
class NavigationView : public View {
public:
    static std::shared_ptr<NavigationView> create(std::function<void()> onLayout) {
        auto v = std::make_shared<NavigationView>(ConstructorKey{});
        v->onLayout_ = std::move(onLayout);
        return v;
    }
    explicit NavigationView(ConstructorKey key) : View(key, Rect{}) {}
    void layoutSubviews() override {
        if (onLayout_) onLayout_();
    }

private:
    std::function<void()> onLayout_;
};

bool contains(const std::vector<std::shared_ptr<ViewController>>& list, const std::shared_ptr<ViewController>& c) {
    return std::find(list.begin(), list.end(), c) != list.end();
}

}  // namespace

// ---- NavigationBar ----

std::shared_ptr<NavigationBar> NavigationBar::create(const Rect& frame) {
    return std::make_shared<NavigationBar>(ConstructorKey{}, frame);
}

NavigationBar::NavigationBar(ConstructorKey key, const Rect& frame) : View(key, frame) {}

void NavigationBar::setBackgroundImage(std::optional<Image> image) {
    backgroundImage_ = std::move(image);
    layer()->setContents(backgroundImage_);
}

void NavigationBar::setShadowImage(std::optional<Image> image) {
    shadowImage_ = std::move(image);
    if (!shadowImage_) {
        if (shadowView_) shadowView_->removeFromSuperview();
        shadowView_.reset();
        return;
    }
    if (!shadowView_) {
        shadowView_ = View::create();
        addSubview(shadowView_);
    }
    shadowView_->layer()->setContents(shadowImage_);
    setNeedsLayout();
}

void NavigationBar::setTopItem(const std::shared_ptr<NavigationItem>& item) {
    topItem_ = item;
    setNeedsLayout();
}

void NavigationBar::layoutSubviews() {
    layoutItem();
    if (!shadowView_ || !shadowImage_) return;
    const double h = shadowImage_->height() > 0 ? shadowImage_->height() : 1;
    shadowView_->setFrame(Rect{0, bounds().height(), bounds().width(), h});
}

void NavigationBar::layoutItem() {
    const auto item = topItem();
    const auto firstCustomView = [](const std::vector<BarButtonItem>& items) {
        return items.empty() ? nullptr : items.front().customView;
    };
    const std::shared_ptr<View> left = item ? firstCustomView(item->leftBarButtonItems()) : nullptr;
    const std::shared_ptr<View> right = item ? firstCustomView(item->rightBarButtonItems()) : nullptr;
    const std::shared_ptr<View> titleView = item ? item->titleView() : nullptr;
    for (const auto& shown : itemViews_)
        if (shown != left && shown != right && shown != titleView && shown->superview().get() == this)
            shown->removeFromSuperview();
    itemViews_.clear();

    constexpr double margin = 8, side = 44;
    const Rect b = bounds();
    const auto sizeOf = [&](const View& view) {
        Size size = view.frame().size;
        if (size.width > 0 && size.height > 0) return size;
        if (const auto* button = dynamic_cast<const Button*>(&view))
            if (const auto image = button->image(ControlState::normal); image && image->width() > 0)
                return Size{image->width(), image->height()};
        return Size{side, side};
    };
    double leftEdge = margin, rightEdge = b.width() - margin;
    const auto place = [&](const std::shared_ptr<View>& view, bool atLeft) {
        if (!view) return;
        if (view->superview().get() != this) addSubview(view);
        const Size size = sizeOf(*view);
        const double x = atLeft ? margin : b.width() - margin - size.width;
        view->setFrame(Rect{x, (b.height() - size.height) / 2, size.width, size.height});
        if (atLeft) leftEdge = x + size.width + margin;
        else rightEdge = x - margin;
        itemViews_.push_back(view);
    };
    place(left, true);
    place(right, false);

    // The title keeps clear of both sides, centred on the bar.
    const double half = std::max(0.0, std::min(b.width() / 2 - leftEdge, rightEdge - b.width() / 2));
    const Rect titleArea{b.width() / 2 - half, 0, 2 * half, b.height()};
    if (titleView) {
        if (titleView->superview().get() != this) addSubview(titleView);
        titleView->setFrame(titleArea);
        itemViews_.push_back(titleView);
    }
    const std::string title = item && !titleView ? item->title() : std::string();
    if (!titleLabel_ && title.empty()) return;
    if (!titleLabel_) {
        titleLabel_ = Label::create();
        titleLabel_->setFont(Font::systemFont(17, Font::Weight::semibold));
        titleLabel_->setTextAlignment(TextAlignment::center);
        addSubview(titleLabel_);
    }
    titleLabel_->setText(title);
    titleLabel_->setHidden(title.empty());
    titleLabel_->setFrame(titleArea);
}

// ---- NavigationController ----

std::shared_ptr<NavigationController> NavigationController::create(std::shared_ptr<ViewController> root) {
    auto nav = std::make_shared<NavigationController>(ConstructorKey{});
    if (root) nav->setViewControllers({std::move(root)}, false);
    return nav;
}

NavigationController::NavigationController(ConstructorKey key) : ViewController(key) {}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    auto top = topViewController();
    if (top && top->presentedViewController()) return top->presentedViewController();
    return top;
}

void NavigationController::loadView() {
    std::weak_ptr<NavigationController> weak = std::static_pointer_cast<NavigationController>(shared_from_this());
    auto root = NavigationView::create([weak] {
        if (auto self = weak.lock()) self->layoutContent();
    });
    content_ = View::create();
    content_->setAutoresizingMask(fill);
    root->addSubview(content_);
    bar_ = NavigationBar::create();
    bar_->setAutoresizingMask(AutoresizingMask::flexibleWidth);
    bar_->setHidden(barHidden_);
    root->addSubview(bar_);
    if (auto top = topViewController()) {
        auto v = top->view();
        v->setAutoresizingMask(fill);
        content_->addSubview(v);
        bar_->setTopItem(top->navigationItem());
    }
    setView(root);
}

void NavigationController::layoutContent() {
    auto v = viewIfLoaded();
    if (!v) return;
    const Rect b = v->bounds();
    content_->setFrame(b);
    if (auto top = topViewController(); top && top->isViewLoaded() && top->view()->superview() == content_ && !inFlight()) {
        top->view()->setFrame(content_->bounds());
    }
    const double top = v->safeAreaInsets().top;
    bar_->setFrame(Rect{0, top, b.width(), NavigationBar::height});
    bar_->setNeedsLayout();  // the top item's buttons and title may have changed
}

std::shared_ptr<NavigationBar> NavigationController::navigationBar() {
    view();
    return bar_;
}

std::shared_ptr<View> NavigationController::contentView() {
    view();
    return content_;
}

void NavigationController::setNavigationBarHidden(bool hidden, bool /*animated*/) {
    barHidden_ = hidden;
    if (bar_) bar_->setHidden(hidden);
}

void NavigationController::viewWillAppear(bool animated) {
    if (auto top = topViewController()) top->beginAppearanceTransition(true, animated);
}
void NavigationController::viewDidAppear(bool /*animated*/) {
    if (auto top = topViewController()) top->endAppearanceTransition();
}
void NavigationController::viewWillDisappear(bool animated) {
    if (auto top = topViewController()) top->beginAppearanceTransition(false, animated);
}
void NavigationController::viewDidDisappear(bool /*animated*/) {
    if (auto top = topViewController()) top->endAppearanceTransition();
}

bool NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers,
                                              bool animated) {
    for (std::size_t i = 0; i < controllers.size(); ++i) {
        const auto& c = controllers[i];
        if (!c || c.get() == this || std::find(controllers.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                               controllers.end(), c) != controllers.end()) {
            core::debugPrint("NavigationController: a stack with a missing or repeated controller; refused");
            return false;
        }
    }
    auto to = controllers.empty() ? nullptr : controllers.back();
    const auto operation = (to && contains(stack_, to)) ? NavigationControllerOperation::pop
                                                         : NavigationControllerOperation::push;
    return transition(std::move(controllers), operation, animated);
}

bool NavigationController::push(const std::shared_ptr<ViewController>& controller, bool animated) {
    if (!controller || controller.get() == this || contains(stack_, controller) || controller->parent()) {
        core::debugPrint("NavigationController: push of a controller already on a stack or contained; refused");
        return false;
    }
    auto stack = stack_;
    stack.push_back(controller);
    return transition(std::move(stack), NavigationControllerOperation::push, animated);
}

std::shared_ptr<ViewController> NavigationController::pop(bool animated) {
    if (stack_.size() < 2) return nullptr;
    auto popped = stack_.back();
    auto stack = stack_;
    stack.pop_back();
    if (!transition(std::move(stack), NavigationControllerOperation::pop, animated)) return nullptr;
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRoot(bool animated) {
    if (stack_.size() < 2) return {};
    std::vector<std::shared_ptr<ViewController>> popped(stack_.begin() + 1, stack_.end());
    if (!transition({stack_.front()}, NavigationControllerOperation::pop, animated)) return {};
    return popped;
}

bool NavigationController::transition(std::vector<std::shared_ptr<ViewController>> stack,
                                      NavigationControllerOperation operation, bool animated) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (inFlight()) {
        core::debugPrint("NavigationController: a transition is in flight; refused");
        return false;
    }
    auto self = std::static_pointer_cast<NavigationController>(shared_from_this());
    for (const auto& c : stack) {
        if (!contains(stack_, c) && c->parent() && c->parent() != self) {
            core::debugPrint("NavigationController: a controller contained elsewhere; refused");
            return false;
        }
    }
    auto oldStack = stack_;
    auto from = topViewController();
    auto to = stack.empty() ? nullptr : stack.back();
    std::vector<std::shared_ptr<ViewController>> added;
    std::vector<std::shared_ptr<ViewController>> removed;
    for (const auto& c : stack) {
        if (!contains(oldStack, c)) added.push_back(c);
    }
    for (const auto& c : oldStack) {
        if (!contains(stack, c)) removed.push_back(c);
    }
    for (const auto& c : added) addChild(c);
    for (const auto& c : removed) c->willMove(nullptr);
    stack_ = std::move(stack);

    auto settle = [self, added, removed] {
        for (const auto& c : removed) c->removeFromParent();
        for (const auto& c : added) c->didMove(self);
    };
    if (!isViewLoaded() || from == to) {
        settle();
        if (isViewLoaded() && to) bar_->setTopItem(to->navigationItem());
        return true;
    }

    auto delegate = this->delegate();
    if (to && delegate) delegate->willShow(self, to, animated);
    std::shared_ptr<AnimatedTransitioning> animator;
    if (animated && delegate && from && to) animator = delegate->animationControllerFor(self, operation, from, to);
    const bool appeared = isAppeared();
    if (appeared) {
        if (to) to->beginAppearanceTransition(true, animated);
        if (from) from->beginAppearanceTransition(false, animated);
    }
    auto window = this->window();
    if (window) window->beginIgnoringInteraction();

    std::weak_ptr<Window> weakWindow = window;
    auto content = content_;
    auto finish = [self, weakWindow, from, to, added, removed, oldStack, settle, appeared, animated,
                   content](bool completed) {
        self->transition_.reset();
        if (auto w = weakWindow.lock()) w->endIgnoringInteraction();
        if (completed) {
            if (from && from->isViewLoaded() && from->view()->superview() == content) from->view()->removeFromSuperview();
            if (to) {
                auto v = to->view();
                if (v->superview() != content) content->addSubview(v);
                v->setAutoresizingMask(fill);
                self->bar_->setTopItem(to->navigationItem());
            }
            settle();
            if (appeared) {
                if (to) to->endAppearanceTransition();
                if (from) from->endAppearanceTransition();
            }
            if (auto d = self->delegate(); d && to) d->didShow(self, to, animated);
            return;
        }
        // Cancelled: back to the stack and the view it started from.
        self->stack_ = oldStack;
        if (to && to->isViewLoaded() && to->view()->superview() == content) to->view()->removeFromSuperview();
        if (from) {
            auto v = from->view();
            if (v->superview() != content) content->addSubview(v);
            v->setFrame(content->bounds());
        }
        for (const auto& c : added) {
            c->willMove(nullptr);
            c->removeFromParent();
        }
        for (const auto& c : removed) c->didMove(self);
        if (appeared) {
            if (to) {
                to->beginAppearanceTransition(false, animated);
                to->endAppearanceTransition();
            }
            if (from) {
                from->beginAppearanceTransition(true, animated);
                from->endAppearanceTransition();
            }
        }
    };
    auto context = TransitionContext::create(content_, from, to, animated, std::move(finish));
    transition_ = context;
    if (animator) {
        context->setAnimator(animator);
        animator->animateTransition(context);
    } else {
        if (to) {
            auto v = to->view();
            v->setFrame(content_->bounds());
            v->setAutoresizingMask(fill);
            content_->addSubview(v);
        }
        context->completeTransition(true);
    }
    return true;
}

}  // namespace platform::ui
