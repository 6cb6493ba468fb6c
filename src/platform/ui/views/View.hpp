// A view of the interface kit: a rectangle of the interface with its own
// layer (which it owns and whose geometry is its geometry), ordered
// subviews (held strongly, their layers mirrored in the layer tree), a weak
// superview, hit testing, coordinate conversion, autoresizing and the
// layout pass hooks. Subclasses override `layoutSubviews`, `hitTest`,
// `pointInside` and the move hooks.
//
// Made through `create()` and owned through shared_ptr; a subclass gives its
// own `create` and takes the `ConstructorKey` in its public constructor.
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/ui/animation/ViewAnimation.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

class Window;
class GestureRecognizer;
class Touch;

// Which parts of a view's frame follow a change of its superview's size.
enum class AutoresizingMask : std::uint32_t {
    none = 0,
    flexibleLeftMargin = 1 << 0,
    flexibleWidth = 1 << 1,
    flexibleRightMargin = 1 << 2,
    flexibleTopMargin = 1 << 3,
    flexibleHeight = 1 << 4,
    flexibleBottomMargin = 1 << 5,
};
constexpr AutoresizingMask operator|(AutoresizingMask a, AutoresizingMask b) {
    return static_cast<AutoresizingMask>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr bool contains(AutoresizingMask mask, AutoresizingMask flag) {
    return (static_cast<std::uint32_t>(mask) & static_cast<std::uint32_t>(flag)) != 0;
}

// How a view places its content (its layer's contents image) in its bounds.
enum class ContentMode {
    scaleToFill,
    scaleAspectFit,
    scaleAspectFill,
    center,
    top,
    bottom,
    left,
    right,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight,
};

class View : public std::enable_shared_from_this<View> {
protected:
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<View> create(const Rect& frame = {});
    View(ConstructorKey, const Rect& frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    const std::shared_ptr<Layer>& layer() const { return layer_; }

    // ---- Hierarchy ----
    std::shared_ptr<View> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // The window at the root of this view's tree, if any.
    std::shared_ptr<Window> window() const;
    // Each insertion first removes `view` from its superview. A view cannot
    // become its own descendant: such a call is refused with a debug line.
    void addSubview(const std::shared_ptr<View>& view);
    void insertSubview(const std::shared_ptr<View>& view, std::size_t index);
    // When `sibling` is not a subview, the view goes on top (above) or at the
    // bottom (below).
    void insertSubviewAbove(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void insertSubviewBelow(const std::shared_ptr<View>& view, const std::shared_ptr<View>& sibling);
    void bringSubviewToFront(const std::shared_ptr<View>& view);
    void sendSubviewToBack(const std::shared_ptr<View>& view);
    void removeFromSuperview();
    bool isDescendant(const View& ancestor) const;

    // ---- Geometry (the layer's) ----
    Rect frame() const { return layer_->frame(); }
    void setFrame(const Rect& frame);
    Rect bounds() const { return layer_->bounds(); }
    void setBounds(const Rect& bounds);
    Point center() const { return layer_->position(); }
    void setCenter(Point center);
    const AffineTransform& transform() const { return layer_->transform(); }
    void setTransform(const AffineTransform& transform) { layer_->setTransform(transform); }

    // ---- Appearance ----
    double alpha() const { return layer_->opacity(); }
    void setAlpha(double alpha) { layer_->setOpacity(alpha); }
    bool isHidden() const { return layer_->isHidden(); }
    void setHidden(bool hidden) { layer_->setHidden(hidden); }
    const std::optional<Color>& backgroundColor() const { return layer_->backgroundColor(); }
    void setBackgroundColor(std::optional<Color> color) { layer_->setBackgroundColor(color); }
    bool clipsToBounds() const { return layer_->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }
    // The layer's contents gravity, in the view's terms (scale to fill by
    // default).
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);
    // A view whose alpha masks this one (its layer becomes this layer's
    // mask); it is not part of the view tree. Held strongly.
    const std::shared_ptr<View>& maskView() const { return maskView_; }
    void setMaskView(std::shared_ptr<View> view);
    // The view's own tint, or its superview's, or the kit's blue.
    Color tintColor() const;
    void setTintColor(std::optional<Color> color);
    // Called on a view and its descendants when the tint they inherit changes.
    virtual void tintColorDidChange() {}

    // ---- Touches ----
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    // Whether `point` (in this view's coordinates) lies in its bounds.
    virtual bool pointInside(Point point) const;
    // The deepest visible, interactive descendant (or this view) containing
    // `point`, front-most first; none for a hidden view, one with alpha below
    // 0.01, one ignoring touches, or a point outside.
    virtual std::shared_ptr<View> hitTest(Point point);

    // ---- Gesture recognisers and touches (see TouchDispatcher) ----
    // Held strongly; adding one twice keeps one.
    void addGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return gestureRecognizers_; }
    // Asked for each recogniser of this view's ancestors (and its own) before
    // it begins on a touch that went down on this view or below it.
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& /*recognizer*/) { return true; }
    // The touches that went down on this view (the hit view), unless a
    // recogniser took them.
    virtual void touchesBegan(const Touch& /*touch*/) {}
    virtual void touchesMoved(const Touch& /*touch*/) {}
    virtual void touchesEnded(const Touch& /*touch*/) {}
    virtual void touchesCancelled(const Touch& /*touch*/) {}

    // ---- Conversion (model geometry, through every transform) ----
    // A null `view` means the window's (root's) coordinates.
    Point convertPoint(Point point, const View* to) const;
    Point convertPointFrom(Point point, const View* from) const;
    Rect convertRect(const Rect& rect, const View* to) const;
    Rect convertRectFrom(const Rect& rect, const View* from) const;

    // ---- Autoresizing and layout ----
    AutoresizingMask autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(AutoresizingMask mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool value) { autoresizesSubviews_ = value; }
    const EdgeInsets& layoutMargins() const { return layoutMargins_; }
    void setLayoutMargins(const EdgeInsets& margins);
    // How far the window's unsafe edges reach into this view.
    virtual EdgeInsets safeAreaInsets() const;

    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Runs the pending layout passes of this view's tree (from the outermost
    // ancestor that needs one), parents before children.
    void layoutIfNeeded();
    // Places the subviews; the plain view does nothing.
    virtual void layoutSubviews() {}

    // ---- Constraint layout (LayoutConstraint.hpp) ----
    LayoutAnchor leftAnchor() { return anchor(Attribute::left); }
    LayoutAnchor rightAnchor() { return anchor(Attribute::right); }
    LayoutAnchor topAnchor() { return anchor(Attribute::top); }
    LayoutAnchor bottomAnchor() { return anchor(Attribute::bottom); }
    LayoutAnchor leadingAnchor() { return anchor(Attribute::leading); }
    LayoutAnchor trailingAnchor() { return anchor(Attribute::trailing); }
    LayoutAnchor widthAnchor() { return anchor(Attribute::width); }
    LayoutAnchor heightAnchor() { return anchor(Attribute::height); }
    LayoutAnchor centerXAnchor() { return anchor(Attribute::centerX); }
    LayoutAnchor centerYAnchor() { return anchor(Attribute::centerY); }
    // The bounds inset by `safeAreaInsets()`, and by `layoutMargins()`.
    LayoutGuide& safeAreaLayoutGuide() { return safeAreaGuide_; }
    LayoutGuide& layoutMarginsGuide() { return marginsGuide_; }
    // On (the default), the view is held at its frame and constraints can
    // only read it; off, the solver places it.
    bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
    void setTranslatesAutoresizingMaskIntoConstraints(bool translates);
    static constexpr double noIntrinsicMetric = layout::LayoutEngine::noIntrinsicMetric;
    // The size the content asks for; a component of `noIntrinsicMetric` asks
    // for nothing on that axis. Subclasses with content override it and call
    // `invalidateIntrinsicContentSize` when it changes.
    virtual Size intrinsicContentSize() const { return {noIntrinsicMetric, noIntrinsicMetric}; }
    void invalidateIntrinsicContentSize();
    double contentHuggingPriority(Axis axis) const { return hugging_[static_cast<int>(axis)]; }
    void setContentHuggingPriority(double priority, Axis axis);
    double contentCompressionResistancePriority(Axis axis) const { return compression_[static_cast<int>(axis)]; }
    void setContentCompressionResistancePriority(double priority, Axis axis);
    // The active constraints that name this view or one of its guides, in no
    // particular order.
    const std::vector<LayoutConstraintPtr>& constraints() const { return constraintState_.constraints; }

    // ---- Animation blocks (ViewAnimation.hpp) ----
    // Plain: the block's changes animate with its duration, delay and options.
    static void animate(double duration, double delay, ViewAnimationOptions options,
                        const ViewAnimation::Block& animations, ViewAnimation::Completion completion = {}) {
        ViewAnimation::animate(duration, delay, options, animations, std::move(completion));
    }
    static void animate(double duration, const ViewAnimation::Block& animations,
                        ViewAnimation::Completion completion = {}) {
        ViewAnimation::animate(duration, animations, std::move(completion));
    }
    // Spring: a damped spring (damping ratio, initial velocity in distances
    // per second) that settles at the target by the duration.
    static void animate(double duration, double delay, double dampingRatio, double initialSpringVelocity,
                        ViewAnimationOptions options, const ViewAnimation::Block& animations,
                        ViewAnimation::Completion completion = {}) {
        ViewAnimation::animateSpring(duration, delay, dampingRatio, initialSpringVelocity, options, animations,
                                     std::move(completion));
    }
    static void animateKeyframes(double duration, double delay, ViewAnimationOptions options,
                                 const ViewAnimation::Block& animations, ViewAnimation::Completion completion = {}) {
        ViewAnimation::animateKeyframes(duration, delay, options, animations, std::move(completion));
    }
    static void addKeyframe(double relativeStartTime, double relativeDuration, const ViewAnimation::Block& animations) {
        ViewAnimation::addKeyframe(relativeStartTime, relativeDuration, animations);
    }
    static void performWithoutAnimation(const ViewAnimation::Block& actions) {
        ViewAnimation::performWithoutAnimation(actions);
    }

    // ---- Hooks ----
    virtual void willMoveToSuperview(const std::shared_ptr<View>& /*newSuperview*/) {}
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(const std::shared_ptr<View>& /*subview*/) {}
    virtual void willRemoveSubview(const std::shared_ptr<View>& /*subview*/) {}
    // Told once a nib that made this view has connected its outlets.
    virtual void awakeFromNib() {}
    // Called after each assignment of the bounds (`setBounds`, equal values
    // included) and after a frame or layout change that changed them.
    virtual void boundsDidChange(const Rect& /*oldBounds*/) {}

protected:
    // The Window sets its own layer geometry and answers `window()`.
    virtual bool isWindow() const { return false; }

private:
    friend class ConstraintLayout;
    friend class LayoutConstraint;

    // What the window's constraint layout keeps of this view.
    struct ConstraintState {
        layout::ItemId item;
        layout::ItemId guideItems[2];                    // safe area, margins
        layout::LayoutConstraintId frameConstraints[4];  // while translating
        layout::LayoutConstraintId guideConstraints[2][4];
        std::vector<LayoutConstraintPtr> constraints;
    };

    LayoutAnchor anchor(Attribute attribute) { return LayoutAnchor(weak_from_this(), LayoutItemKind::view, attribute); }
    ConstraintLayout* windowConstraintLayout() const;
    // Drops a deactivated constraint from `constraints()`, found at `slot`:
    // the last one takes its place.
    void forgetConstraint(const LayoutConstraint& constraint, std::size_t slot);
    void translatedGeometryChanged();
    void insertSubviewAt(const std::shared_ptr<View>& view, std::size_t index, const Layer* layerAbove);
    void detachFromSuperview(bool notifyWindow);
    void boundsSizeChanged(Size oldSize);
    void resizeWithOldSuperviewSize(Size oldSize);
    void layoutTreeIfNeeded();
    void notifyWindowChange(const std::shared_ptr<Window>& oldWindow);
    void notifyTintChange();
    // The map from this view's coordinates to the root's.
    AffineTransform toRootTransform() const;

    std::shared_ptr<Layer> layer_;
    std::weak_ptr<View> superview_;
    std::vector<std::shared_ptr<View>> subviews_;
    std::optional<Color> tintColor_;
    ContentMode contentMode_ = ContentMode::scaleToFill;
    std::shared_ptr<View> maskView_;
    bool userInteractionEnabled_ = true;
    std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;
    AutoresizingMask autoresizingMask_ = AutoresizingMask::none;
    bool autoresizesSubviews_ = true;
    EdgeInsets layoutMargins_{8, 8, 8, 8};
    bool needsLayout_ = true;
    // Some descendant needs layout (set along the way up from it; a new view
    // assumes so of its subviews).
    bool subtreeNeedsLayout_ = true;
    bool translatesAutoresizingMask_ = true;
    double hugging_[2] = {LayoutPriority::defaultLow, LayoutPriority::defaultLow};
    double compression_[2] = {LayoutPriority::defaultHigh, LayoutPriority::defaultHigh};
    ConstraintState constraintState_;
    LayoutGuide safeAreaGuide_{*this, LayoutItemKind::safeArea};
    LayoutGuide marginsGuide_{*this, LayoutItemKind::layoutMargins};
};

}  // namespace platform::ui
