// A listener's request to download an episode to the device. The coordinator
// adopts it and starts the download; the list elements that are offered the
// coordinator adopt it too and ignore the call. Held weakly; main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTrack.hpp"

namespace orvane {

class OVUserTrackDownloadAction {
public:
    virtual ~OVUserTrackDownloadAction() = default;
    virtual void didTapDownload(const std::shared_ptr<OVTrack>& forTrack) = 0;
};

}  // namespace orvane
