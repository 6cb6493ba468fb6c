// What the open podcast cell offers its interactor: the view models to
// apply. Held weakly by the interactor; main thread only.
#pragma once

#include "orvane/elements/OVOpenPodcastTableViewCellModel.hpp"

namespace orvane {

class OVOpenPodcastTableViewCellInput {
public:
    virtual ~OVOpenPodcastTableViewCellInput() = default;
    virtual void update(const OVOpenPodcastTableViewCellModel::Style& withViewModel) = 0;
    virtual void update(const OVOpenPodcastTableViewCellModel::Podcast& withViewModel) = 0;
};

}  // namespace orvane
