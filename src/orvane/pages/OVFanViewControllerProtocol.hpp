// What pages and screens see of the root container, the controller that
// pages sideways between the screens: a screen finds it as its parent, and
// a page reaches it through its screen. The root container adopts it.
// Main thread only.
#pragma once

#include "platform/ui/controllers/PageViewController.hpp"

namespace orvane {

class OVFanViewControllerProtocol {
public:
    virtual ~OVFanViewControllerProtocol() = default;
    // Shows the screen before (reverse) or after (forward) the one shown,
    // with animation; nothing when there is none.
    virtual void swipe(platform::ui::PageViewControllerNavigationDirection withDirection) = 0;
};

}  // namespace orvane
