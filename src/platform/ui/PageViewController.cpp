#include "platform/ui/PageViewController.hpp"

#include "platform/core/DebugPrint.hpp"

namespace platform::ui {

namespace {
constexpr auto fill = AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight;
}

std::shared_ptr<PageViewController> PageViewController::create(PageViewControllerNavigationOrientation orientation) {
    return std::make_shared<PageViewController>(ConstructorKey{}, orientation);
}

PageViewController::PageViewController(ConstructorKey key, PageViewControllerNavigationOrientation orientation)
    : ViewController(key), orientation_(orientation) {}

void PageViewController::loadView() {
    auto root = View::create();
    scrollView_ = ScrollView::create();
    scrollView_->setAutoresizingMask(fill);
    scrollView_->setPagingEnabled(true);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior::never);
    root->addSubview(scrollView_);
    if (!pages_.empty()) {
        auto v = pages_.front()->view();
        v->setAutoresizingMask(fill);
        scrollView_->addSubview(v);
    }
    setView(root);
}

std::shared_ptr<ScrollView> PageViewController::scrollView() {
    view();
    return scrollView_;
}

void PageViewController::show(const std::shared_ptr<ViewController>& controller, bool animated) {
    auto self = shared_from_this();
    auto old = pages_.empty() ? nullptr : pages_.front();
    if (old == controller) return;
    const bool appeared = isAppeared();
    if (controller->parent() != self) addChild(controller);
    if (old) old->willMove(nullptr);
    if (appeared) {
        controller->beginAppearanceTransition(true, animated);
        if (old) old->beginAppearanceTransition(false, animated);
    }
    pages_ = {controller};
    if (isViewLoaded()) {
        auto v = controller->view();
        v->setFrame(scrollView_->bounds());
        v->setAutoresizingMask(fill);
        scrollView_->addSubview(v);
        if (old && old->isViewLoaded() && old->view()->superview() == scrollView_) old->view()->removeFromSuperview();
    }
    if (old) old->removeFromParent();
    controller->didMove(self);
    if (appeared) {
        controller->endAppearanceTransition();
        if (old) old->endAppearanceTransition();
    }
}

bool PageViewController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers,
                                            Direction /*direction*/, bool animated,
                                            std::function<void(bool finished)> completion) {
    if (controllers.empty() || !controllers.front() || controllers.front().get() == this) {
        core::debugPrint("PageViewController: no controller to show; refused");
        return false;
    }
    show(controllers.front(), animated);
    if (completion) completion(true);
    return true;
}

bool PageViewController::userPage(Direction direction, bool completes) {
    auto scroll = scrollView();
    if (!scroll->isScrollEnabled() || pages_.empty()) return false;
    auto source = dataSource();
    if (!source) return false;
    auto current = pages_.front();
    auto next = direction == Direction::forward ? source->viewControllerAfter(*this, current)
                                                : source->viewControllerBefore(*this, current);
    if (!next || next == current) return false;
    auto d = delegate();
    if (d) d->willTransitionTo(*this, {next});
    if (completes) show(next, true);
    if (d) d->didFinishAnimating(*this, true, {current}, completes);
    return true;
}

void PageViewController::viewWillAppear(bool animated) {
    if (!pages_.empty()) pages_.front()->beginAppearanceTransition(true, animated);
}
void PageViewController::viewDidAppear(bool /*animated*/) {
    if (!pages_.empty()) pages_.front()->endAppearanceTransition();
}
void PageViewController::viewWillDisappear(bool animated) {
    if (!pages_.empty()) pages_.front()->beginAppearanceTransition(false, animated);
}
void PageViewController::viewDidDisappear(bool /*animated*/) {
    if (!pages_.empty()) pages_.front()->endAppearanceTransition();
}

}  // namespace platform::ui
