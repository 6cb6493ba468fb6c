// An element cell that follows the current episode: the pages' presenters
// give the episode and its podcast to every element cell that adopts this.
// Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"

namespace orvane {

class OVEpisodeUpdatable {
public:
    virtual ~OVEpisodeUpdatable() = default;
    virtual void update(const std::shared_ptr<OVTrack>& forEpisode, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
