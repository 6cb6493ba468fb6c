// What the headline carousel item hands its presenter, unchanged: the theme
// (the main colour may be none) and the podcast it shows. Owned by the
// item. Main thread only.
#pragma once

#include <optional>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVRecommendationHeadlinesPodcastCellInteractorInput {
public:
    virtual ~OVRecommendationHeadlinesPodcastCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) = 0;
    virtual void update(const OVContent& withPodcast) = 0;
};

}  // namespace orvane
