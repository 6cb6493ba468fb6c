// What pages, screens and the coordinator see of the root container, the
// controller that pages sideways between the screens: a screen finds it as
// its parent, a page reaches it through its screen, and the coordinator
// keeps the one it last presented. The root container adopts it.
// Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTrack.hpp"
#include "platform/ui/controllers/PageViewController.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVFanViewControllerProtocol {
public:
    virtual ~OVFanViewControllerProtocol() = default;
    // Shows the screen before (reverse) or after (forward) the one shown,
    // with animation; nothing when there is none.
    virtual void swipe(platform::ui::PageViewControllerNavigationDirection withDirection) = 0;
    // Shows the text as a transient popup above the footer player (the
    // confirmations after a save or a subscription).
    virtual void displayPopup(const platform::ui::AttributedString& withAttributedString) = 0;
    // Back to the main screen: its root page scrolled to the top, and the
    // main screen popped to its root or paged to.
    virtual void moveToMainPage() = 0;
    // As `moveToMainPage`; from a side screen, that screen is also popped to
    // its root a moment later.
    virtual void popToRootAndMoveToMainPage() = 0;
    // The root container itself as a controller: pages present their
    // action sheets on it.
    virtual std::shared_ptr<platform::ui::ViewController> viewController() = 0;
    // Every change of an episode's download status, from the coordinator.
    virtual void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack,
                                         const OVTrack::DownloadStatus& to) = 0;
};

}  // namespace orvane
