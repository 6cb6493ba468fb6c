// A scroll view: a view whose bounds origin is the content offset over a
// content of a given size, with insets (its own and those the safe area
// adds), scrolling that can be turned off, bouncing past the edges, paging,
// and a weak delegate told of every change of the offset. Offsets change
// at once or animated on the run loop's clock.
//
// Users scroll through the drag driver (`beginDragging`, `dragBy`,
// `endDragging`), which the pan recogniser of the input layer feeds; it
// does nothing while scrolling is disabled. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/views/View.hpp"

namespace platform::ui {

class ScrollView;
class PanGestureRecognizer;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& /*scrollView*/) {}
    virtual void scrollViewWillBeginDragging(ScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndDragging(ScrollView& /*scrollView*/, bool /*willDecelerate*/) {}
    virtual void scrollViewDidEndDecelerating(ScrollView& /*scrollView*/) {}
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& /*scrollView*/) {}
};

enum class ContentInsetAdjustmentBehavior { automatic, never };

class ScrollView : public View {
public:
    // How long an animated offset change and a settle after a drag take.
    static constexpr double animationDuration = 0.3;

    static std::shared_ptr<ScrollView> create(const Rect& frame = {});
    ScrollView(ConstructorKey key, const Rect& frame);

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size) { contentSize_ = size; }
    Point contentOffset() const { return bounds().origin; }
    // Stops an animation in flight; tells the delegate when the offset
    // changes (every step of an animation, then the end of it).
    void setContentOffset(Point offset, bool animated = false);

    const EdgeInsets& contentInset() const { return contentInset_; }
    // An offset at the top (left) edge of the old insets moves to that edge
    // of the new ones.
    void setContentInset(const EdgeInsets& inset);
    // The content inset plus, when the behaviour is automatic, the safe
    // area's insets.
    EdgeInsets adjustedContentInset() const;
    ContentInsetAdjustmentBehavior contentInsetAdjustmentBehavior() const { return adjustment_; }
    void setContentInsetAdjustmentBehavior(ContentInsetAdjustmentBehavior b) { adjustment_ = b; }

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    // Whether a drag bounces along an axis even when the content fits the
    // view that way (with bouncing on). Off by default; a table view bounces
    // vertically from the start.
    bool alwaysBounceHorizontal() const { return alwaysBounceHorizontal_; }
    void setAlwaysBounceHorizontal(bool always) { alwaysBounceHorizontal_ = always; }
    bool alwaysBounceVertical() const { return alwaysBounceVertical_; }
    void setAlwaysBounceVertical(bool always) { alwaysBounceVertical_ = always; }
    // Whether a drag moves the content along an axis: the content (with the
    // insets it was given) is longer than the view that way, or the view
    // always bounces that way.
    bool scrollsHorizontally() const;
    bool scrollsVertically() const;
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }

    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }

    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<ScrollViewDelegate>& delegate) { delegate_ = delegate; }

    // The least and greatest offsets the content allows.
    Point minimumContentOffset() const;
    Point maximumContentOffset() const;

    // The recogniser that drives the drag below from touches (began:
    // `beginDragging`, changed: `dragBy(translation)`, ended:
    // `endDragging(velocity)`, cancelled: `cancelDragging`), enabled with
    // scrolling. In a view that scrolls along one axis only, it fails a drag
    // that sets off mainly along the other, and in one that scrolls along
    // neither, every drag: the pans of the views around then take them.
    const std::shared_ptr<PanGestureRecognizer>& panGestureRecognizer() const { return pan_; }

    // ---- Drag driver ----
    // Starts a drag (false, nothing done, while scrolling is disabled).
    bool beginDragging();
    // Moves the content by the drag's translation since it began (the
    // content follows the finger, so the offset moves the other way); past
    // an edge only when bouncing, and then by half.
    void dragBy(Point translation);
    // Ends the drag, given the finger's velocity: with paging, settles on
    // the nearest page, or the next one the way the content was flung;
    // otherwise back inside the edges when past them.
    void endDragging(Point velocity = {});
    // Ends a drag that the input layer cancelled: settles as without velocity.
    void cancelDragging() { endDragging({}); }

    // ---- Wheel ----
    // Whether a wheel moves the content along an axis: scrolling enabled, no
    // paging, and content longer than the view with its insets.
    bool canScrollAlong(bool vertical) const;
    // Moves the offset by `delta` at once, clamped to the content (stopping
    // an animation in flight); gives whether it moved.
    bool scrollBy(Point delta);

protected:
    // Makes the pan recogniser and attaches it; every maker of a scroll view
    // (this class's `create` and its subclasses') calls it once.
    void installPanGestureRecognizer();

    // Hooks for views built on the scroll view (the page view controller's):
    // after every change of the offset, before the delegate hears of it;
    // the offset a paging drag settles on; the end of a drag's settling.
    virtual void scrollDidChange() {}
    virtual Point pagingTarget(Point proposed) { return proposed; }
    virtual void settlingDidEnd() {}

private:
    void handlePan(PanGestureRecognizer& pan);
    void applyOffset(Point offset);
    void animateOffset(Point target, bool afterDrag);
    Point clamped(Point offset) const;

    Size contentSize_;
    EdgeInsets contentInset_;
    ContentInsetAdjustmentBehavior adjustment_ = ContentInsetAdjustmentBehavior::automatic;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    bool alwaysBounceHorizontal_ = false;
    bool alwaysBounceVertical_ = false;
    bool pagingEnabled_ = false;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    bool dragging_ = false;
    bool decelerating_ = false;
    Point dragStart_;
    std::weak_ptr<ScrollViewDelegate> delegate_;
    std::shared_ptr<PanGestureRecognizer> pan_;
    unsigned animationGeneration_ = 0;
};

}  // namespace platform::ui
