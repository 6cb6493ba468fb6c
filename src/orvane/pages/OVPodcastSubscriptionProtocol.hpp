// Records a change of one kind of subscription to a podcast in the
// listener's library: the podcast and library pages' presenters call it once
// the change is confirmed; the coordinator adopts it. Held weakly; main
// thread only.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVSubscription.hpp"

namespace orvane {

class OVPodcastSubscriptionProtocol {
public:
    virtual ~OVPodcastSubscriptionProtocol() = default;
    // True adds, false removes the subscription of that kind.
    virtual void subscription(OVSubscription forType, const OVContent& andPodcast, bool didChangeToValue) = 0;
};

}  // namespace orvane
