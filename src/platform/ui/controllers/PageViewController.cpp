#include "platform/ui/controllers/PageViewController.hpp"

#include <cmath>
#include <utility>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {
constexpr auto fill = AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight;
}

// The inner scroll view: reports drags and settling to its controller.
class PagingScrollView : public ScrollView {
public:
    static std::shared_ptr<PagingScrollView> create(const std::shared_ptr<PageViewController>& owner) {
        auto v = std::make_shared<PagingScrollView>(ConstructorKey{});
        v->owner_ = owner;
        v->installPanGestureRecognizer();
        return v;
    }
    explicit PagingScrollView(ConstructorKey key) : ScrollView(key, Rect{}) {}

    bool horizontal() const {
        auto o = owner_.lock();
        return !o || o->navigationOrientation() == PageViewControllerNavigationOrientation::horizontal;
    }
    double pageLength() const { return horizontal() ? bounds().width() : bounds().height(); }
    double along(Point p) const { return horizontal() ? p.x : p.y; }
    Point at(double v) const { return horizontal() ? Point{v, 0} : Point{0, v}; }

    void layoutSubviews() override {
        if (auto o = owner_.lock()) o->layoutPages(!isDragging() && !isDecelerating());
    }

protected:
    void scrollDidChange() override {
        auto o = owner_.lock();
        if (!o || (!isDragging() && !isDecelerating())) return;
        const double offset = along(contentOffset());
        const double page = pageLength();
        if (offset < page) o->prepareNeighbour(PageViewControllerNavigationDirection::reverse);
        if (offset > page) o->prepareNeighbour(PageViewControllerNavigationDirection::forward);
    }
    Point pagingTarget(Point proposed) override {
        auto o = owner_.lock();
        const double page = pageLength();
        const double t = along(proposed);
        if (!o) return at(page);
        if (t < page && !o->hasNeighbour(PageViewControllerNavigationDirection::reverse)) return at(page);
        if (t > page && !o->hasNeighbour(PageViewControllerNavigationDirection::forward)) return at(page);
        return proposed;
    }
    void settlingDidEnd() override {
        auto o = owner_.lock();
        if (!o) return;
        const double page = pageLength();
        const double offset = along(contentOffset());
        std::optional<PageViewControllerNavigationDirection> landed;
        if (page > 0 && std::abs(offset) < 0.5) landed = PageViewControllerNavigationDirection::reverse;
        if (page > 0 && std::abs(offset - 2 * page) < 0.5) landed = PageViewControllerNavigationDirection::forward;
        o->finishUserPaging(landed);
    }

private:
    std::weak_ptr<PageViewController> owner_;
};

std::shared_ptr<PageViewController> PageViewController::create(PageViewControllerNavigationOrientation orientation) {
    return std::make_shared<PageViewController>(ConstructorKey{}, orientation);
}

PageViewController::PageViewController(ConstructorKey key, PageViewControllerNavigationOrientation orientation)
    : ViewController(key), orientation_(orientation) {}

void PageViewController::loadView() {
    auto root = View::create();
    scrollView_ = PagingScrollView::create(std::static_pointer_cast<PageViewController>(shared_from_this()));
    scrollView_->setAutoresizingMask(fill);
    scrollView_->setPagingEnabled(true);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior::never);
    root->addSubview(scrollView_);
    if (!pages_.empty()) {
        auto v = pages_.front()->view();
        v->setAutoresizingMask(AutoresizingMask::none);
        scrollView_->addSubview(v);
    }
    setView(root);
}

std::shared_ptr<ScrollView> PageViewController::scrollView() {
    view();
    return scrollView_;
}

void PageViewController::layoutPages(bool resetOffset) {
    if (!scrollView_) return;
    auto& paging = static_cast<PagingScrollView&>(*scrollView_);
    const Size size = scrollView_->bounds().size;
    const double page = paging.pageLength();
    const bool horizontal = paging.horizontal();
    scrollView_->setContentSize(horizontal ? Size{3 * size.width, size.height} : Size{size.width, 3 * size.height});
    auto place = [&](const std::shared_ptr<ViewController>& c, int slot) {
        if (!c || !c->isViewLoaded() || c->view()->superview() != scrollView_) return;
        const Point origin = paging.at(slot * page);
        c->view()->setFrame(Rect{origin, size});
    };
    if (slide_) {
        // The page leaving stays in the middle until the slide lands.
        place(slide_->from, 1);
        if (!pages_.empty()) place(pages_.front(), slide_->direction == Direction::forward ? 2 : 0);
        return;
    }
    if (!pages_.empty()) place(pages_.front(), 1);
    place(before_.controller, 0);
    place(after_.controller, 2);
    if (resetOffset) scrollView_->setContentOffset(paging.at(page));
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
        v->setAutoresizingMask(AutoresizingMask::none);
        if (v->superview() != scrollView_) scrollView_->addSubview(v);
        if (old && old->isViewLoaded() && old->view()->superview() == scrollView_) old->view()->removeFromSuperview();
        layoutPages(true);
    }
    if (old) old->removeFromParent();
    controller->didMove(self);
    if (appeared) {
        controller->endAppearanceTransition();
        if (old) old->endAppearanceTransition();
    }
}

bool PageViewController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers,
                                            Direction direction, bool animated,
                                            std::function<void(bool finished)> completion) {
    if (controllers.empty() || !controllers.front() || controllers.front().get() == this) {
        core::debugPrint("PageViewController: no controller to show; refused");
        return false;
    }
    finishSlide();
    if (animated && slide(controllers.front(), direction, completion)) return true;
    show(controllers.front(), animated);
    if (completion) completion(true);
    return true;
}

bool PageViewController::slide(const std::shared_ptr<ViewController>& controller, Direction direction,
                               std::function<void(bool finished)> completion) {
    auto old = pages_.empty() ? nullptr : pages_.front();
    if (!old || old == controller || !scrollView_ || scrollView_->isDragging() || scrollView_->isDecelerating())
        return false;
    auto& paging = static_cast<PagingScrollView&>(*scrollView_);
    const double page = paging.pageLength();
    if (page <= 0) return false;
    // The neighbours of a drag that never settled are not shown any more.
    for (auto* neighbour : {&before_, &after_}) {
        const auto& c = neighbour->controller;
        if (c && c != controller && c->isViewLoaded() && c->view()->superview() == scrollView_)
            c->view()->removeFromSuperview();
        *neighbour = {};
    }
    toldWillTransition_ = false;

    auto self = shared_from_this();
    const bool appeared = isAppeared();
    if (controller->parent() != self) addChild(controller);
    old->willMove(nullptr);
    if (appeared) {
        controller->beginAppearanceTransition(true, true);
        old->beginAppearanceTransition(false, true);
    }
    pages_ = {controller};
    const unsigned generation = ++slideGeneration_;
    auto window = this->window();
    slide_ = Slide{generation, old, direction, appeared, window, std::move(completion)};
    if (window) window->beginIgnoringInteraction();
    auto v = controller->view();
    v->setAutoresizingMask(AutoresizingMask::none);
    if (v->superview() != scrollView_) scrollView_->addSubview(v);
    scrollView_->setContentOffset(paging.at(page));
    layoutPages(false);
    scrollView_->setContentOffset(paging.at(direction == Direction::forward ? 2 * page : 0), true);
    // Lands when the offset's animation has run its time, whatever became
    // of the animation meanwhile.
    std::weak_ptr<PageViewController> weak = std::static_pointer_cast<PageViewController>(self);
    std::weak_ptr<Window> weakWindow = window;
    core::RunLoop::main().asyncAfter(ScrollView::animationDuration, [weak, weakWindow, generation] {
        const auto me = weak.lock();
        if (!me) {
            if (const auto w = weakWindow.lock()) w->endIgnoringInteraction();
            return;
        }
        if (me->slide_ && me->slide_->generation == generation) me->finishSlide();
    });
    return true;
}

void PageViewController::finishSlide() {
    if (!slide_) return;
    Slide landed = std::move(*slide_);
    slide_.reset();
    if (const auto w = landed.window.lock()) w->endIgnoringInteraction();
    auto self = shared_from_this();
    const auto& from = landed.from;
    const auto to = pages_.empty() ? nullptr : pages_.front();
    if (from != to && from->isViewLoaded() && from->view()->superview() == scrollView_) from->view()->removeFromSuperview();
    layoutPages(true);
    if (from != to) from->removeFromParent();
    if (to) to->didMove(self);
    if (landed.appeared) {
        if (to) to->endAppearanceTransition();
        from->endAppearanceTransition();
    }
    if (landed.completion) landed.completion(true);
}

bool PageViewController::hasNeighbour(Direction direction) const {
    return (direction == Direction::forward ? after_ : before_).controller != nullptr;
}

void PageViewController::prepareNeighbour(Direction direction) {
    auto& neighbour = direction == Direction::forward ? after_ : before_;
    if (neighbour.asked || pages_.empty()) return;
    neighbour.asked = true;
    auto source = dataSource();
    if (!source) return;
    auto current = pages_.front();
    auto next = direction == Direction::forward ? source->viewControllerAfter(*this, current)
                                                : source->viewControllerBefore(*this, current);
    if (!next || next == current || next->parent()) return;
    neighbour.controller = next;
    if (scrollView_) {
        auto v = next->view();
        v->setAutoresizingMask(AutoresizingMask::none);
        scrollView_->addSubview(v);
        layoutPages(false);
    }
    toldWillTransition_ = true;
    if (auto d = delegate()) d->willTransitionTo(*this, {next});
}

void PageViewController::finishUserPaging(std::optional<Direction> landed) {
    auto before = std::move(before_);
    auto after = std::move(after_);
    before_ = {};
    after_ = {};
    const bool told = std::exchange(toldWillTransition_, false);
    auto landedOn = !landed ? nullptr : (*landed == Direction::forward ? after.controller : before.controller);
    auto previous = pages_.empty() ? nullptr : pages_.front();
    for (const auto& c : {before.controller, after.controller}) {
        if (c && c != landedOn && c->isViewLoaded() && c->view()->superview() == scrollView_) {
            c->view()->removeFromSuperview();
        }
    }
    if (landedOn) {
        show(landedOn, true);
    } else {
        layoutPages(true);
    }
    if (told && previous) {
        if (auto d = delegate()) d->didFinishAnimating(*this, true, {previous}, landedOn != nullptr);
    }
}

bool PageViewController::userPage(Direction direction, bool completes) {
    auto scroll = scrollView();
    finishSlide();
    if (!scroll->isScrollEnabled() || pages_.empty() || !dataSource()) return false;
    prepareNeighbour(direction);
    if (!hasNeighbour(direction)) {
        before_ = {};
        after_ = {};
        toldWillTransition_ = false;
        return false;
    }
    finishUserPaging(completes ? std::optional(direction) : std::nullopt);
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
