#include "platform/ui/lists/ScrollView.hpp"

#include <algorithm>
#include <cmath>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"

namespace platform::ui {

namespace {
constexpr double frameInterval = 1.0 / 60;

// The scroll view's own pan. A view that scrolls along one axis only leaves
// a drag that sets off mainly along the other to the pans around it (a
// horizontal pager holding vertical lists, and the reverse); one that
// scrolls both ways takes every drag, and one that scrolls neither way none.
class ScrollViewPan final : public PanGestureRecognizer {
public:
    explicit ScrollViewPan(std::weak_ptr<ScrollView> scrollView) : scrollView_(std::move(scrollView)) {}

protected:
    bool shouldBeginMoving() override {
        const auto view = scrollView_.lock();
        if (!view) return true;
        const bool alongX = view->scrollsHorizontally();
        const bool alongY = view->scrollsVertically();
        if (alongX && alongY) return true;
        const Point moved = translation(view.get());
        const bool mainlyVertical = std::fabs(moved.y) > std::fabs(moved.x);
        return mainlyVertical ? alongY : alongX;
    }

private:
    std::weak_ptr<ScrollView> scrollView_;
};
}  // namespace

std::shared_ptr<ScrollView> ScrollView::create(const Rect& frame) {
    auto view = std::make_shared<ScrollView>(ConstructorKey{}, frame);
    view->installPanGestureRecognizer();
    return view;
}

void ScrollView::installPanGestureRecognizer() {
    if (pan_) return;
    const auto self = std::static_pointer_cast<ScrollView>(shared_from_this());
    pan_ = std::make_shared<ScrollViewPan>(self);
    pan_->addTarget(self, &ScrollView::handlePan);
    pan_->setEnabled(scrollEnabled_);
    addGestureRecognizer(pan_);
}

void ScrollView::handlePan(PanGestureRecognizer& pan) {
    switch (pan.state()) {
    case GestureRecognizerState::began:
        beginDragging();
        break;
    case GestureRecognizerState::changed:
        if (dragging_) dragBy(pan.translation(this));
        break;
    case GestureRecognizerState::ended:
        if (dragging_) endDragging(pan.velocity(this));
        break;
    case GestureRecognizerState::cancelled:
    case GestureRecognizerState::failed:
        if (dragging_) cancelDragging();
        break;
    case GestureRecognizerState::possible:
        break;
    }
}

ScrollView::ScrollView(ConstructorKey key, const Rect& frame) : View(key, frame) { setClipsToBounds(true); }

void ScrollView::applyOffset(Point offset) {
    if (!std::isfinite(offset.x) || !std::isfinite(offset.y)) return;
    Rect b = bounds();
    if (b.origin == offset) return;
    b.origin = offset;
    setBounds(b);
    scrollDidChange();
    if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void ScrollView::setContentOffset(Point offset, bool animated) {
    ++animationGeneration_;
    decelerating_ = false;
    if (!animated) {
        applyOffset(offset);
        return;
    }
    animateOffset(offset, false);
}

void ScrollView::animateOffset(Point target, bool afterDrag) {
    const unsigned generation = ++animationGeneration_;
    const Point start = contentOffset();
    auto& loop = core::RunLoop::main();
    const double begin = loop.now();
    std::weak_ptr<View> weak = weak_from_this();
    auto finish = [afterDrag](ScrollView& self) {
        self.decelerating_ = false;
        if (auto d = self.delegate()) {
            if (afterDrag) d->scrollViewDidEndDecelerating(self);
            else d->scrollViewDidEndScrollingAnimation(self);
        }
        if (afterDrag) self.settlingDidEnd();
    };
    if (start == target) {
        if (afterDrag) finish(*this);
        return;
    }
    decelerating_ = afterDrag;
    // One step per frame on the loop's clock, eased in and out.
    auto step = std::make_shared<std::function<void()>>();
    *step = [weak, generation, start, target, begin, finish, stepWeak = std::weak_ptr(step)] {
        auto view = std::static_pointer_cast<ScrollView>(weak.lock());
        if (!view || view->animationGeneration_ != generation) return;
        const double t = std::clamp((core::RunLoop::main().now() - begin) / animationDuration, 0.0, 1.0);
        const double e = t * t * (3 - 2 * t);
        view->applyOffset(t >= 1 ? target : start + (target - start) * e);
        if (t >= 1) {
            finish(*view);
            return;
        }
        if (auto next = stepWeak.lock()) core::RunLoop::main().asyncAfter(frameInterval, [next] { (*next)(); });
    };
    loop.asyncAfter(frameInterval, [step] { (*step)(); });
}

void ScrollView::setContentInset(const EdgeInsets& inset) {
    // An offset resting at the top (or left) edge of the old insets stays
    // at that edge of the new ones, so the content starts below a new top
    // inset as it did below the old one.
    const EdgeInsets old = adjustedContentInset();
    contentInset_ = inset;
    const EdgeInsets now = adjustedContentInset();
    Point offset = contentOffset();
    const bool atTop = offset.y == -old.top && now.top != old.top;
    const bool atLeft = offset.x == -old.left && now.left != old.left;
    if (!atTop && !atLeft) return;
    if (atTop) offset.y = -now.top;
    if (atLeft) offset.x = -now.left;
    setContentOffset(offset);
}

EdgeInsets ScrollView::adjustedContentInset() const {
    EdgeInsets r = contentInset_;
    if (adjustment_ == ContentInsetAdjustmentBehavior::automatic) {
        const EdgeInsets safe = safeAreaInsets();
        r.top += safe.top;
        r.left += safe.left;
        r.bottom += safe.bottom;
        r.right += safe.right;
    }
    return r;
}

void ScrollView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
    if (pan_) pan_->setEnabled(enabled);
    if (!enabled && dragging_) cancelDragging();
}

Point ScrollView::minimumContentOffset() const {
    const EdgeInsets in = adjustedContentInset();
    return {-in.left, -in.top};
}

Point ScrollView::maximumContentOffset() const {
    const EdgeInsets in = adjustedContentInset();
    const Point min = minimumContentOffset();
    const Size s = bounds().size;
    return {std::max(min.x, contentSize_.width + in.right - s.width),
            std::max(min.y, contentSize_.height + in.bottom - s.height)};
}

namespace {
// Content longer than the view along an axis, with the insets it was given
// (the safe area pads only the axes that scroll).
bool longer(double content, double before, double after, double view) {
    constexpr double tolerance = 0.5;
    return content + before + after > view + tolerance;
}
}  // namespace

bool ScrollView::scrollsHorizontally() const {
    return longer(contentSize_.width, contentInset_.left, contentInset_.right, bounds().width()) ||
           (bounces_ && alwaysBounceHorizontal_);
}

bool ScrollView::scrollsVertically() const {
    return longer(contentSize_.height, contentInset_.top, contentInset_.bottom, bounds().height()) ||
           (bounces_ && alwaysBounceVertical_);
}

Point ScrollView::clamped(Point offset) const {
    const Point lo = minimumContentOffset();
    const Point hi = maximumContentOffset();
    return {std::clamp(offset.x, lo.x, hi.x), std::clamp(offset.y, lo.y, hi.y)};
}

bool ScrollView::beginDragging() {
    if (!scrollEnabled_) return false;
    ++animationGeneration_;
    decelerating_ = false;
    dragging_ = true;
    dragStart_ = contentOffset();
    if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
    return true;
}

void ScrollView::dragBy(Point translation) {
    if (!dragging_ || !scrollEnabled_) return;
    Point wanted = dragStart_ - translation;
    // Past an edge by half when bouncing; not at all along an axis the view
    // does not scroll.
    const Point inside = clamped(wanted);
    if (!bounces_) {
        wanted = inside;
    } else {
        wanted = inside + (wanted - inside) * 0.5;
        if (!scrollsHorizontally()) wanted.x = inside.x;
        if (!scrollsVertically()) wanted.y = inside.y;
    }
    applyOffset(wanted);
}

void ScrollView::endDragging(Point velocity) {
    if (!dragging_) return;
    dragging_ = false;
    Point target = clamped(contentOffset());
    if (pagingEnabled_) {
        const Size page = bounds().size;
        auto settle = [](double offset, double start, double pageSize, double v) {
            if (pageSize <= 0) return offset;
            const double startPage = std::round(start / pageSize);
            double p = std::round(offset / pageSize);
            if (v > 0) p = std::max(p, startPage + 1);
            if (v < 0) p = std::min(p, startPage - 1);
            p = std::clamp(p, startPage - 1, startPage + 1);
            return p * pageSize;
        };
        // The finger's velocity: the offset moves the other way.
        target = pagingTarget(clamped({settle(contentOffset().x, dragStart_.x, page.width, -velocity.x),
                                       settle(contentOffset().y, dragStart_.y, page.height, -velocity.y)}));
    }
    const bool willDecelerate = target != contentOffset();
    if (auto d = delegate()) d->scrollViewDidEndDragging(*this, willDecelerate);
    if (willDecelerate) {
        animateOffset(target, true);
    } else {
        settlingDidEnd();
    }
}

// ---- Wheel ----

bool ScrollView::canScrollAlong(bool vertical) const {
    if (!scrollEnabled_ || pagingEnabled_) return false;
    constexpr double tolerance = 0.5;
    const Point lo = minimumContentOffset(), hi = maximumContentOffset();
    return vertical ? hi.y - lo.y > tolerance : hi.x - lo.x > tolerance;
}

bool ScrollView::scrollBy(Point delta) {
    const Point before = contentOffset();
    // An offset past an edge (a bounce under way) comes back inside.
    setContentOffset(clamped(before + delta));
    return contentOffset() != before;
}

}  // namespace platform::ui
