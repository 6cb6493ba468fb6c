// A page view controller: shows one controller at a time in an inner
// scroll view made when its view loads (the first subview of its view).
// The inner scroll view is three pages long and, at rest, shows the current
// page in the middle (content offset one page width or height), with the
// page before or after placed on either side while a user drags.
// Code sets the page with `setViewControllers` (no delegate calls): at once,
// or animated by sliding the new page in from the side of the direction
// given, as a user's paging does, on the run loop's clock. A user
// pages by dragging the inner scroll view (or through `userPage`), which
// asks the weak data source for the controller before or after the current
// one and tells the weak delegate before and after the swap. User paging
// is off while the inner scroll view's scrolling is disabled.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/lists/ScrollView.hpp"

namespace platform::ui {

class PageViewController;

enum class PageViewControllerNavigationDirection { forward, reverse };
enum class PageViewControllerNavigationOrientation { horizontal, vertical };

class PageViewControllerDataSource {
public:
    virtual ~PageViewControllerDataSource() = default;
    virtual std::shared_ptr<ViewController> viewControllerBefore(PageViewController& pageViewController,
                                                                 const std::shared_ptr<ViewController>& current) = 0;
    virtual std::shared_ptr<ViewController> viewControllerAfter(PageViewController& pageViewController,
                                                                const std::shared_ptr<ViewController>& current) = 0;
};

class PageViewControllerDelegate {
public:
    virtual ~PageViewControllerDelegate() = default;
    virtual void willTransitionTo(PageViewController& /*pageViewController*/,
                                  const std::vector<std::shared_ptr<ViewController>>& /*pending*/) {}
    virtual void didFinishAnimating(PageViewController& /*pageViewController*/, bool /*finished*/,
                                    const std::vector<std::shared_ptr<ViewController>>& /*previous*/,
                                    bool /*transitionCompleted*/) {}
};

class PageViewController : public ViewController {
public:
    using Direction = PageViewControllerNavigationDirection;
    static std::shared_ptr<PageViewController> create(
        PageViewControllerNavigationOrientation orientation = PageViewControllerNavigationOrientation::horizontal);
    PageViewController(ConstructorKey key, PageViewControllerNavigationOrientation orientation);

    PageViewControllerNavigationOrientation navigationOrientation() const { return orientation_; }
    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return pages_; }
    // Shows `controllers` (the first one), which `viewControllers` gives
    // from now on. Animated, with a page shown and the view laid out, the
    // new page slides in from the side of `direction` (forward: after,
    // reverse: before) while the shown one leaves on the other, in
    // `ScrollView::animationDuration` on the run loop's clock, the window
    // ignoring touches meanwhile; otherwise at once. `completion(true)`
    // once the new page is in place. A slide still in flight lands at once
    // when another change comes. Refuses an empty list or a missing
    // controller (false).
    bool setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, Direction direction,
                            bool animated, std::function<void(bool finished)> completion = {});

    std::shared_ptr<PageViewControllerDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<PageViewControllerDataSource>& d) { dataSource_ = d; }
    std::shared_ptr<PageViewControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PageViewControllerDelegate>& d) { delegate_ = d; }

    // The inner scroll view (loads the view).
    std::shared_ptr<ScrollView> scrollView();

    // A user's swipe towards `direction`: asks the data source for the
    // neighbour, tells the delegate `willTransitionTo`, swaps when the swipe
    // `completes` (the user did not let go back), then tells
    // `didFinishAnimating(finished: true, previous, completed)`. False (and
    // nothing told) when scrolling is disabled, without a current page, a
    // data source or a neighbour.
    bool userPage(Direction direction, bool completes = true);

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    friend class PagingScrollView;
    void show(const std::shared_ptr<ViewController>& controller, bool animated);
    // Starts the slide of `setViewControllers` from the shown page to
    // `controller`; false (nothing done) when it cannot slide.
    bool slide(const std::shared_ptr<ViewController>& controller, Direction direction,
               std::function<void(bool finished)> completion);
    // The slide in flight, if any, lands: the page it brought in stands in
    // the middle, the one it replaced is gone.
    void finishSlide();
    // The user's drag reached the side of `direction`: the neighbour there
    // is asked for once per drag and placed.
    void prepareNeighbour(Direction direction);
    bool hasNeighbour(Direction direction) const;
    // The drag settled on the side of `direction`, or back in the middle.
    void finishUserPaging(std::optional<Direction> landed);
    // Places the pages in the inner scroll view and, at rest, the offset.
    void layoutPages(bool resetOffset);

    PageViewControllerNavigationOrientation orientation_;
    std::vector<std::shared_ptr<ViewController>> pages_;
    std::weak_ptr<PageViewControllerDataSource> dataSource_;
    std::weak_ptr<PageViewControllerDelegate> delegate_;
    std::shared_ptr<ScrollView> scrollView_;
    // The neighbours asked for during the current drag (none when the data
    // source had none), and whether the delegate was told of them.
    struct Neighbour {
        bool asked = false;
        std::shared_ptr<ViewController> controller;
    };
    Neighbour before_;
    Neighbour after_;
    bool toldWillTransition_ = false;
    // A page set by code sliding in over the one it replaces.
    struct Slide {
        unsigned generation = 0;
        std::shared_ptr<ViewController> from;
        Direction direction = Direction::forward;
        bool appeared = false;
        std::weak_ptr<Window> window;
        std::function<void(bool finished)> completion;
    };
    std::optional<Slide> slide_;
    unsigned slideGeneration_ = 0;
};

}  // namespace platform::ui
