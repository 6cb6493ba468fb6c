// What the podcast page's episode list reports to the page: a row's details
// and save buttons (the episode row's delegate), the choice of an episode, a
// long press on a saved episode (the removal runs only if the page calls
// `executeAction`) and a subscription change (the list's completion runs
// with true once the change is applied, maybe later, maybe never). The
// podcast page adopts it. Held weakly by the list cell; main thread only.
#pragma once

#include <functional>
#include <memory>

#include "orvane/elements/OVEpisodeTableViewCellDelegate.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVSubscription.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVEpisodeSelectionDelegate.hpp"

namespace orvane {

class OVPodcastPageUserAction : public virtual OVEpisodeTableViewCellDelegate,
                                public virtual OVEpisodeSelectionDelegate {
public:
    virtual void didLongPress(const std::shared_ptr<OVTrack>& episode, const OVContent& forPodcastInSavedSection,
                              std::function<void()> executeAction) = 0;
    virtual void subscription(OVSubscription forType, bool didChangeToValue,
                              std::function<void(bool)> withCompletion) = 0;
};

}  // namespace orvane
