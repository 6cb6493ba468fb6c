// What the headline carousel item's presenter sees of the item: one
// `update` per record. The item adopts it; the presenter holds it weakly.
// Main thread only.
#pragma once

#include "orvane/elements/OVRecommendationHeadlinesPodcastCellModel.hpp"

namespace orvane {

class OVRecommendationHeadlinesPodcastCellInput {
public:
    virtual ~OVRecommendationHeadlinesPodcastCellInput() = default;
    virtual void update(const OVRecommendationHeadlinesPodcastCellModel::Style& withViewModel) = 0;
    virtual void update(const OVRecommendationHeadlinesPodcastCellModel::Data& withViewModel) = 0;
};

}  // namespace orvane
