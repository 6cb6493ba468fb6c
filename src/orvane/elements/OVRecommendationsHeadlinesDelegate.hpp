// The headline carousel's podcasts: the discover page opens the podcast page
// of the chosen one. Held weakly by the cell; main thread only.
#pragma once

#include "orvane/model/OVContent.hpp"

namespace orvane {

class OVRecommendationsHeadlinesDelegate {
public:
    virtual ~OVRecommendationsHeadlinesDelegate() = default;
    virtual void didSelectPodcast(const OVContent& podcast) = 0;
};

}  // namespace orvane
