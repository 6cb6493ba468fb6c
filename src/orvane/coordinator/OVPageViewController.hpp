// The page view controller at the base of the root container: it knows how
// many screens it pages through and which one is shown, and tells itself
// when the listener drags past the first or the last screen
// (`scrollViewIsBouncing`), whose base answer pins the inner scroll view
// back in place. It is the inner scroll view's delegate from its creation
// on. Built by the root container's storyboard scene only.
// Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "platform/ui/controllers/PageViewController.hpp"
#include "platform/ui/lists/ScrollView.hpp"

namespace orvane {

// Paging by swipe on or off for any page view controller: the inner scroll
// view's scrolling; nothing without one. Code that sets the page is not
// affected.
void setIsScrollEnable(platform::ui::PageViewController& pageViewController, bool enabled);

class OVPageViewController : public platform::ui::PageViewController, public platform::ui::ScrollViewDelegate {
public:
    explicit OVPageViewController(ConstructorKey key);

    std::optional<int> numberOfScreens() const { return numberOfScreens_; }
    void setNumberOfScreens(std::optional<int> count) { numberOfScreens_ = count; }
    std::optional<int> currentPageIndex() const { return currentPageIndex_; }
    void setCurrentPageIndex(std::optional<int> index) { currentPageIndex_ = index; }

    // The overshoot is the scroll view's width minus its horizontal offset:
    // 0 at rest, positive while the content is pulled towards a page before,
    // negative towards a page after. Past the first screen (positive) or the
    // last (negative), `scrollViewIsBouncing` hears of it; nothing while
    // either index is unknown.
    void scrollViewDidScroll(platform::ui::ScrollView& scrollView) override;
    // Puts the shown page back in place (offset one width); the offset is
    // not used.
    virtual void scrollViewIsBouncing(double withOffset);

protected:
    // Becomes the inner scroll view's delegate (loads the view); run once by
    // the maker of each instance.
    void becomeScrollViewDelegate();

private:
    std::optional<int> numberOfScreens_;
    std::optional<int> currentPageIndex_;
};

}  // namespace orvane
