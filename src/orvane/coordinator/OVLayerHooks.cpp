#include "orvane/coordinator/OVLayerHooks.hpp"

#include "orvane/coordinator/OVFanViewController.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/playback/OVDiskStores.hpp"
#include "orvane/widget/OVWebView.hpp"

namespace orvane {

void installLayerHooks() {
    installDiskStores();
    // The element cells' nibs, under their reuse identifiers.
    OVElementNibs::registerAll();
    // The storyboard whose initial scene is the root container.
    OVFanViewController::registerStoryboard();
    // A widget's web view restarts the component through the facade.
    OVWebView::installComponentStarter([] { Orvane::shared().start(); });
}

}  // namespace orvane
