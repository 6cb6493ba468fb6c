// The subscription element's four buttons (subscribe, unsubscribe, start and
// stop notifications): the podcast page applies the change, maybe after
// asking, and calls the completion with true once it is applied; the cell
// switches its buttons only then. A completion never called leaves the cell
// as it was. Held weakly by the cell; main thread only.
#pragma once

#include <functional>

#include "orvane/model/OVSubscription.hpp"

namespace orvane {

class OVPodcastSubscriptionCellDelegate {
public:
    virtual ~OVPodcastSubscriptionCellDelegate() = default;
    virtual void subscription(OVSubscription forType, bool didChangeToValue,
                              std::function<void(bool)> withCompletion) = 0;
};

}  // namespace orvane
