// The discover grid's episode items: the discover page opens the episode
// page of the item whose details were asked for. Held weakly by the cell;
// main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"

namespace orvane {

class OVDiscoverRecommendationsCellDelegate {
public:
    virtual ~OVDiscoverRecommendationsCellDelegate() = default;
    virtual void didTapForDetails(const std::shared_ptr<OVTrack>& forTrack, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
