// What the discover screen recommends, as a host supplies it through the
// facade: the headline podcasts of its carousel, in order, and the episodes
// of its grid, each with the podcast that holds it. Plain value.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"

#include <vector>

namespace orvane {

struct OVDiscoverRecommendations {
    std::vector<OVContent> headlines;
    std::vector<OVTrackInPodcast> episodes;
};

}  // namespace orvane
