// What the discover grid item's presenter sees of the item: one `update`
// per record. The item adopts it; the presenter holds it weakly. Main
// thread only.
#pragma once

#include "orvane/elements/OVDiscoverRecommendationEpisodeCellModel.hpp"

namespace orvane {

class OVDiscoverRecommendationEpisodeCellInput {
public:
    virtual ~OVDiscoverRecommendationEpisodeCellInput() = default;
    virtual void update(const OVDiscoverRecommendationEpisodeCellModel::Style& withViewModel) = 0;
    virtual void update(const OVDiscoverRecommendationEpisodeCellModel::Data& withViewModel) = 0;
    virtual void update(const OVDiscoverRecommendationEpisodeCellModel::CurrentTrack& withViewModel) = 0;
    virtual void update(const OVDiscoverRecommendationEpisodeCellModel::AudioStatus& withViewModel) = 0;
};

}  // namespace orvane
