// What the headline carousel's presenter sees of the row cell: the style
// record, the news that the podcasts changed, and the page's delegate. The
// row cell adopts it; the presenter holds it weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVRecommendationHeadlinesCellInputModel.hpp"
#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"

namespace orvane {

class OVRecommendationHeadlinesCellInput {
public:
    virtual ~OVRecommendationHeadlinesCellInput() = default;
    virtual void update(const OVRecommendationHeadlinesCellInputModel::Style& withViewModel) = 0;
    // The podcasts were replaced: the carousel reloads.
    virtual void dataSourceDidUpdate() = 0;
    virtual std::shared_ptr<OVRecommendationsHeadlinesDelegate> delegate() const = 0;
};

}  // namespace orvane
