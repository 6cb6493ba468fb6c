#include "platform/ui/views/View.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/input/GestureRecognizer.hpp"
#include "platform/ui/layout/ConstraintLayout.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

std::shared_ptr<View> View::create(const Rect& frame) { return std::make_shared<View>(ConstructorKey{}, frame); }

View::View(ConstructorKey, const Rect& frame) : layer_(Layer::create()) {
    layer_->setFrame(frame);
    layer_->setRecordsViewAnimations(true);
}

View::~View() = default;

// ---- Hierarchy ----

std::shared_ptr<Window> View::window() const {
    std::shared_ptr<const View> root;
    const View* v = this;
    while (auto parent = v->superview_.lock()) {
        root = parent;
        v = parent.get();
    }
    if (!v->isWindow()) return nullptr;
    if (!root) root = weak_from_this().lock();  // none while still being made
    return std::static_pointer_cast<Window>(std::const_pointer_cast<View>(root));
}

bool View::isDescendant(const View& ancestor) const {
    std::shared_ptr<const View> hold;
    for (const View* v = this; v; hold = v->superview_.lock(), v = hold.get()) {
        if (v == &ancestor) return true;
    }
    return false;
}

void View::insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index, const Layer* layerAbove) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!view) return;
    if (isDescendant(*view)) {
        core::debugPrint("View: refused to add a view to itself or to one of its descendants");
        return;
    }
    const std::shared_ptr<View> keep = view;
    const std::shared_ptr<View> self = shared_from_this();
    const auto oldSuperview = keep->superview_.lock();
    const bool moving = oldSuperview.get() != this;
    std::shared_ptr<Window> oldWindow;
    if (moving) {
        oldWindow = keep->window();
        keep->willMoveToSuperview(self);
        if (oldSuperview) keep->detachFromSuperview(false);
    } else {
        subviews_.erase(std::find(subviews_.begin(), subviews_.end(), keep));
    }
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), keep);
    if (layerAbove) layer_->insertSublayerBelow(keep->layer_, layerAbove);
    else layer_->addSublayer(keep->layer_);
    keep->superview_ = self;
    if (moving) {
        keep->didMoveToSuperview();
        keep->notifyWindowChange(oldWindow);
        if (auto w = keep->window()) ConstraintLayout::subtreeDidEnter(*keep, *w);
        didAddSubview(keep);
        keep->setNeedsLayout();
        setNeedsLayout();
    }
}

void View::addSubview(const std::shared_ptr<View>& view) { insertSubviewAt(view, subviews_.size(), nullptr); }

void View::insertSubview(const std::shared_ptr<View>& view, std::size_t index) {
    // The layer goes below the layer of the subview that will follow it.
    const View* next = nullptr;
    std::size_t k = 0;
    for (const auto& s : subviews_) {
        if (s == view) continue;
        if (k++ == index) {
            next = s.get();
            break;
        }
    }
    insertSubviewAt(view, index, next ? next->layer_.get() : nullptr);
}

void View::insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end() || sibling == view) {
        addSubview(view);
        return;
    }
    // Index among the subviews other than `view`.
    std::size_t index = 0;
    for (auto s = subviews_.begin(); s != it; ++s)
        if (*s != view) ++index;
    insertSubview(view, index + 1);
}

void View::insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling) {
    auto it = std::find(subviews_.begin(), subviews_.end(), sibling);
    if (it == subviews_.end() || sibling == view) {
        insertSubview(view, 0);
        return;
    }
    std::size_t index = 0;
    for (auto s = subviews_.begin(); s != it; ++s)
        if (*s != view) ++index;
    insertSubview(view, index);
}

void View::bringSubviewToFront(const std::shared_ptr<View>& view) {
    if (view && view->superview_.lock().get() == this) addSubview(view);
}

void View::sendSubviewToBack(const std::shared_ptr<View>& view) {
    if (view && view->superview_.lock().get() == this) insertSubview(view, 0);
}

void View::detachFromSuperview(bool notify) {
    PLATFORM_ASSERT_MAIN_THREAD();
    const auto parent = superview_.lock();
    if (!parent) return;
    const std::shared_ptr<View> self = shared_from_this();
    {
        const auto w = window();
        ConstraintLayout::subtreeWillLeave(*this, w ? w->constraintLayout() : nullptr);
    }
    std::shared_ptr<Window> oldWindow;
    if (notify) {
        oldWindow = window();
        willMoveToSuperview(nullptr);
    }
    parent->willRemoveSubview(self);
    auto& siblings = parent->subviews_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    layer_->removeFromSuperlayer();
    superview_.reset();
    parent->setNeedsLayout();
    if (notify) {
        didMoveToSuperview();
        notifyWindowChange(oldWindow);
    }
}

void View::removeFromSuperview() { detachFromSuperview(true); }

void View::notifyWindowChange(const std::shared_ptr<Window>& oldWindow) {
    const auto newWindow = window();
    if (newWindow == oldWindow) return;
    std::vector<std::shared_ptr<View>> pending{shared_from_this()};
    while (!pending.empty()) {
        auto v = pending.back();
        pending.pop_back();
        v->didMoveToWindow();
        if (newWindow && v->needsLayout_) newWindow->scheduleLayoutPass();
        for (auto it = v->subviews_.rbegin(); it != v->subviews_.rend(); ++it) pending.push_back(*it);
    }
}

// ---- Tint ----

Color View::tintColor() const {
    std::shared_ptr<const View> hold;
    for (const View* v = this; v; hold = v->superview_.lock(), v = hold.get()) {
        if (v->tintColor_) return *v->tintColor_;
    }
    return Color{0, 122.0 / 255, 1, 1};
}

void View::setTintColor(std::optional<Color> color) {
    if (tintColor_ == color) return;
    tintColor_ = color;
    notifyTintChange();
}

void View::notifyTintChange() {
    tintColorDidChange();
    for (const auto& sub : std::vector(subviews_)) {
        if (!sub->tintColor_) sub->notifyTintChange();
    }
}

void View::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    static constexpr ContentsGravity gravities[] = {
        ContentsGravity::resize,  ContentsGravity::resizeAspect, ContentsGravity::resizeAspectFill,
        ContentsGravity::center,  ContentsGravity::top,          ContentsGravity::bottom,
        ContentsGravity::left,    ContentsGravity::right,        ContentsGravity::topLeft,
        ContentsGravity::topRight, ContentsGravity::bottomLeft,  ContentsGravity::bottomRight,
    };
    layer_->setContentsGravity(gravities[static_cast<std::size_t>(mode)]);
}

void View::setMaskView(std::shared_ptr<View> view) {
    maskView_ = std::move(view);
    layer_->setMask(maskView_ ? maskView_->layer_ : nullptr);
}

// ---- Geometry ----

void View::setFrame(const Rect& frame) {
    const Rect oldBounds = layer_->bounds();
    layer_->setFrame(frame);
    if (layer_->bounds().size != oldBounds.size) boundsSizeChanged(oldBounds.size);
    translatedGeometryChanged();
    if (layer_->bounds() != oldBounds) boundsDidChange(oldBounds);
}

void View::setBounds(const Rect& bounds) {
    const Rect oldBounds = layer_->bounds();
    layer_->setBounds(bounds);
    if (bounds.size != oldBounds.size) boundsSizeChanged(oldBounds.size);
    translatedGeometryChanged();
    boundsDidChange(oldBounds);
}

void View::setCenter(Point center) {
    layer_->setPosition(center);
    translatedGeometryChanged();
}

void View::translatedGeometryChanged() {
    if (!constraintState_.item.isValid() || !(translatesAutoresizingMask_ || isWindow())) return;
    if (auto* layout = windowConstraintLayout()) layout->setNeedsUpdate();
}

void View::boundsSizeChanged(Size oldSize) {
    setNeedsLayout();
    if (!autoresizesSubviews_) return;
    for (const auto& sub : std::vector(subviews_)) sub->resizeWithOldSuperviewSize(oldSize);
}

namespace {

// One axis of the autoresizing rule: the size change of the superview is
// shared by the flexible parts (leading margin, length, trailing margin) in
// proportion to their current values, or equally when those are all zero.
void resizeAxis(double& origin, double& length, double oldSuper, double newSuper, bool flexLead, bool flexLength,
                bool flexTrail) {
    const double delta = newSuper - oldSuper;
    if (delta == 0 || !(flexLead || flexLength || flexTrail)) return;
    const double lead = origin, trail = oldSuper - (origin + length);
    double sum = 0;
    int count = 0;
    if (flexLead) sum += std::max(0.0, lead), ++count;
    if (flexLength) sum += std::max(0.0, length), ++count;
    if (flexTrail) sum += std::max(0.0, trail), ++count;
    auto share = [&](bool flexible, double value) {
        if (!flexible) return 0.0;
        return sum > 0 ? delta * std::max(0.0, value) / sum : delta / count;
    };
    origin += share(flexLead, lead);
    length = std::max(0.0, length + share(flexLength, length));
}

}  // namespace

void View::resizeWithOldSuperviewSize(Size oldSize) {
    const auto parent = superview_.lock();
    if (!parent || autoresizingMask_ == AutoresizingMask::none) return;
    const Size newSize = parent->bounds().size;
    Rect f = frame();
    using M = AutoresizingMask;
    const auto m = autoresizingMask_;
    resizeAxis(f.origin.x, f.size.width, oldSize.width, newSize.width, contains(m, M::flexibleLeftMargin),
               contains(m, M::flexibleWidth), contains(m, M::flexibleRightMargin));
    resizeAxis(f.origin.y, f.size.height, oldSize.height, newSize.height, contains(m, M::flexibleTopMargin),
               contains(m, M::flexibleHeight), contains(m, M::flexibleBottomMargin));
    setFrame(f);
}

// ---- Touches ----

void View::addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    if (!recognizer) return;
    if (std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer) != gestureRecognizers_.end())
        return;
    if (auto old = recognizer->view(); old && old.get() != this) old->removeGestureRecognizer(recognizer);
    recognizer->attachToView(shared_from_this());
    gestureRecognizers_.push_back(recognizer);
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    auto it = std::find(gestureRecognizers_.begin(), gestureRecognizers_.end(), recognizer);
    if (it == gestureRecognizers_.end()) return;
    gestureRecognizers_.erase(it);
    recognizer->attachToView(nullptr);
}

bool View::pointInside(Point point) const { return layer_->bounds().contains(point); }

std::shared_ptr<View> View::hitTest(Point point) {
    if (isHidden() || !userInteractionEnabled_ || alpha() < 0.01) return nullptr;
    // A view animation that does not allow user interaction holds touches off.
    if (!layer_->animationsAllowUserInteraction()) return nullptr;
    if (!pointInside(point)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        const auto& sub = *it;
        const auto inverse = sub->layer_->toSuperlayerTransform().inverted();
        if (!inverse) continue;
        if (auto hit = sub->hitTest(inverse->apply(point))) return hit;
    }
    return shared_from_this();
}

// ---- Conversion ----

AffineTransform View::toRootTransform() const {
    AffineTransform t;
    std::shared_ptr<const View> hold;
    for (const View* v = this; v; v = hold.get()) {
        hold = v->superview_.lock();
        if (!hold) break;  // the root's own coordinates are the common space
        t = t.concatenating(v->layer_->toSuperlayerTransform());
    }
    return t;
}

Point View::convertPoint(Point point, const View* to) const {
    const Point inRoot = toRootTransform().apply(point);
    if (!to) return inRoot;
    const auto inverse = to->toRootTransform().inverted();
    return inverse ? inverse->apply(inRoot) : inRoot;
}

Point View::convertPointFrom(Point point, const View* from) const {
    const Point inRoot = from ? from->toRootTransform().apply(point) : point;
    const auto inverse = toRootTransform().inverted();
    return inverse ? inverse->apply(inRoot) : inRoot;
}

Rect View::convertRect(const Rect& rect, const View* to) const {
    AffineTransform t = toRootTransform();
    if (to) {
        if (auto inverse = to->toRootTransform().inverted()) t = t.concatenating(*inverse);
    }
    return t.apply(rect);
}

Rect View::convertRectFrom(const Rect& rect, const View* from) const {
    AffineTransform t = from ? from->toRootTransform() : AffineTransform{};
    if (auto inverse = toRootTransform().inverted()) t = t.concatenating(*inverse);
    return t.apply(rect);
}

// ---- Layout ----

void View::setLayoutMargins(const EdgeInsets& margins) {
    if (margins == layoutMargins_) return;
    layoutMargins_ = margins;
    setNeedsLayout();
    if (constraintState_.guideItems[1].isValid()) {
        if (auto* layout = windowConstraintLayout()) layout->setNeedsUpdate();
    }
}

// ---- Constraint layout ----

ConstraintLayout* View::windowConstraintLayout() const {
    const auto w = window();
    return w ? w->constraintLayout() : nullptr;
}

void View::forgetConstraint(const LayoutConstraint& constraint, std::size_t slot) {
    auto& list = constraintState_.constraints;
    if (slot >= list.size() || list[slot].get() != &constraint) {
        std::erase_if(list, [&](const LayoutConstraintPtr& c) { return c.get() == &constraint; });
        return;
    }
    if (slot + 1 != list.size()) {
        LayoutConstraint& moved = *list.back();
        for (std::size_t i = 0; i < moved.viewCount_; ++i)
            if (moved.views_[i].lock().get() == this) moved.slots_[i] = slot;
        list[slot] = std::move(list.back());
    }
    list.pop_back();
}

void View::setTranslatesAutoresizingMaskIntoConstraints(bool translates) {
    if (translates == translatesAutoresizingMask_) return;
    translatesAutoresizingMask_ = translates;
    if (auto* layout = windowConstraintLayout()) layout->translatesChanged(*this);
}

void View::invalidateIntrinsicContentSize() {
    if (!constraintState_.item.isValid() || translatesAutoresizingMask_) return;
    if (auto* layout = windowConstraintLayout()) layout->intrinsicContentSizeChanged(*this);
}

void View::setContentHuggingPriority(double priority, Axis axis) {
    hugging_[static_cast<int>(axis)] = std::clamp(priority, 1.0, LayoutPriority::required);
    invalidateIntrinsicContentSize();
}

void View::setContentCompressionResistancePriority(double priority, Axis axis) {
    compression_[static_cast<int>(axis)] = std::clamp(priority, 1.0, LayoutPriority::required);
    invalidateIntrinsicContentSize();
}

EdgeInsets View::safeAreaInsets() const {
    const auto w = window();
    if (!w) return {};
    const EdgeInsets windowInsets = w->safeAreaInsets();
    const Rect safe = w->bounds().inset(windowInsets);
    const Rect r = convertRect(bounds(), w.get());
    auto clampTo = [](double v, double limit) { return std::clamp(v, 0.0, std::max(0.0, limit)); };
    return EdgeInsets{clampTo(safe.minY() - r.minY(), r.height()), clampTo(safe.minX() - r.minX(), r.width()),
                      clampTo(r.maxY() - safe.maxY(), r.height()), clampTo(r.maxX() - safe.maxX(), r.width())};
}

void View::setNeedsLayout() {
    needsLayout_ = true;
    // The way down to this view for the layout pass.
    std::shared_ptr<View> hold;
    for (View* v = superview_.lock().get(); v && !v->subtreeNeedsLayout_; v = hold.get()) {
        v->subtreeNeedsLayout_ = true;
        hold = v->superview_.lock();
    }
    if (auto w = window()) w->scheduleLayoutPass();
}

void View::layoutIfNeeded() {
    PLATFORM_ASSERT_MAIN_THREAD();
    const std::shared_ptr<View> self = shared_from_this();
    ConstraintLayout* layout = windowConstraintLayout();
    // Solved frames first, then the views' own layout; what that changes of
    // the constraints or of translated frames takes another round.
    constexpr int roundLimit = 8;
    for (int round = 0; round < roundLimit; ++round) {
        if (layout && layout->hasPendingChanges()) layout->applySolution();
        std::shared_ptr<View> top = self;
        for (auto v = superview_.lock(); v; v = v->superview_.lock()) {
            if (v->needsLayout_) top = v;
        }
        top->layoutTreeIfNeeded();
        if (!layout || !layout->hasPendingChanges()) return;
    }
    core::debugPrint("View: the layout pass stopped after 8 rounds with constraints still changing");
}

void View::layoutTreeIfNeeded() {
    if (!needsLayout_ && !subtreeNeedsLayout_) return;
    const std::shared_ptr<View> self = shared_from_this();
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    // Cleared before the visit: a subview that asks again during it marks
    // the way down anew for the next pass.
    subtreeNeedsLayout_ = false;
    for (const auto& sub : std::vector(subviews_)) sub->layoutTreeIfNeeded();
}

}  // namespace platform::ui
