// An element cell that shows a podcast: the podcast page's presenter gives
// its podcast to every element cell that adopts this. Main thread only.
#pragma once

#include "orvane/model/OVContent.hpp"

namespace orvane {

class OVPodcastUpdatable {
public:
    virtual ~OVPodcastUpdatable() = default;
    virtual void update(const OVContent& withPodcast) = 0;
};

}  // namespace orvane
