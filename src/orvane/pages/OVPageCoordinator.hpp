// The coordinator as pages, their presenters and their elements see it:
// every protocol through which they reach it, in one type, since the
// coordinator itself lives in the layer above. Pages receive it when they
// are made and hand it on to their elements, their presenters and the pages
// those open; all of them hold it weakly and call it only through these
// protocols: the player actions of the player cell and the transport
// buttons, an episode's selection and download, a subscription change and
// the share actions. `OVCoordinator` adopts it. Main thread only.
#pragma once

#include "orvane/elements/OVShareTableViewCellDelegate.hpp"
#include "orvane/pages/OVEpisodeSelectionDelegate.hpp"
#include "orvane/pages/OVPodcastSubscriptionProtocol.hpp"
#include "orvane/pages/OVUserTrackDownloadAction.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"

namespace orvane {

class OVPageCoordinator : public virtual OVPlayerUserActionDelegate,
                          public virtual OVEpisodeSelectionDelegate,
                          public virtual OVUserTrackDownloadAction,
                          public virtual OVPodcastSubscriptionProtocol,
                          public virtual OVShareTableViewCellDelegate {};

}  // namespace orvane
