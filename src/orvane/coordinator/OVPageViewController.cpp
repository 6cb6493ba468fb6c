#include "orvane/coordinator/OVPageViewController.hpp"

namespace orvane {

using platform::ui::PageViewControllerNavigationOrientation;

void setIsScrollEnable(platform::ui::PageViewController& pageViewController, bool enabled) {
    if (const auto scroll = pageViewController.scrollView()) scroll->setScrollEnabled(enabled);
}

OVPageViewController::OVPageViewController(ConstructorKey key)
    : PageViewController(key, PageViewControllerNavigationOrientation::horizontal) {}

void OVPageViewController::becomeScrollViewDelegate() {
    if (const auto scroll = scrollView()) {
        scroll->setDelegate(std::dynamic_pointer_cast<platform::ui::ScrollViewDelegate>(shared_from_this()));
    }
}

void OVPageViewController::scrollViewDidScroll(platform::ui::ScrollView& scrollView) {
    if (!currentPageIndex_ || !numberOfScreens_) return;
    const double overshoot = scrollView.bounds().width() - scrollView.contentOffset().x;
    if (*currentPageIndex_ == 0 && overshoot > 0) {
        scrollViewIsBouncing(overshoot);
    } else if (*currentPageIndex_ == *numberOfScreens_ - 1 && overshoot < 0) {
        scrollViewIsBouncing(overshoot);
    }
}

void OVPageViewController::scrollViewIsBouncing(double /*withOffset*/) {
    if (const auto scroll = scrollView()) scroll->setContentOffset({scroll->bounds().width(), 0});
}

}  // namespace orvane
