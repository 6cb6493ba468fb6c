// What the discover grid's presenter sees of the grid cell: the style
// record, the news that the items changed, the coordinator and the page's
// delegate. The grid cell adopts it; the presenter holds it weakly. Main
// thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellInputModel.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"

namespace orvane {

class OVDiscoverRecommendationsCellInput {
public:
    virtual ~OVDiscoverRecommendationsCellInput() = default;
    virtual void update(const OVDiscoverRecommendationsCellInputModel::Style& withViewModel) = 0;
    // The items were replaced: the grid reloads and the height follows.
    virtual void dataSourceDidUpdate() = 0;
    virtual std::shared_ptr<OVPageCoordinator> coordinator() const = 0;
    virtual std::shared_ptr<OVDiscoverRecommendationsCellDelegate> delegate() const = 0;
};

}  // namespace orvane
