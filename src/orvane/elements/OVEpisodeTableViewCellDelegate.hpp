// The episode row's buttons: details (the pages open the episode page for
// the pair) and save (the pages keep the episode in the listener's library).
// The main and podcast pages' user actions refine it; held weakly by the
// rows; main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"

namespace orvane {

class OVEpisodeTableViewCellDelegate {
public:
    virtual ~OVEpisodeTableViewCellDelegate() = default;
    virtual void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) = 0;
    virtual void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
