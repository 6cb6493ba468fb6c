#include "orvane/coordinator/OVLayerHooks.hpp"

#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/coordinator/OVPopup.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/playback/OVDiskStores.hpp"
#include "orvane/widget/OVWebView.hpp"

namespace orvane {

void installLayerHooks() {
    installDiskStores();
    // The element cells' nibs, under their reuse identifiers.
    OVElementNibs::registerAll();
    // The footer player's and the popup's nibs.
    OVFooterPlayer::registerNib();
    OVPopup::registerNib();
    // A widget's web view restarts the component through the facade.
    OVWebView::installComponentStarter([] { Orvane::shared().start(); });
}

}  // namespace orvane
