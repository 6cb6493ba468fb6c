// The presenter of a headline carousel item: turns the theme into the
// item's text colours and a podcast into what it shows (the description's
// artwork and title, the owner's name).
//
// Made by the item when it wakes from its nib; the item owns it and it
// refers to the item weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInput.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInteractorInput.hpp"

namespace orvane {

class OVRecommendationHeadlinesPodcastCellInteractor final
    : public OVRecommendationHeadlinesPodcastCellInteractorInput {
public:
    explicit OVRecommendationHeadlinesPodcastCellInteractor(std::weak_ptr<OVRecommendationHeadlinesPodcastCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) override;
    void update(const OVContent& withPodcast) override;

private:
    std::weak_ptr<OVRecommendationHeadlinesPodcastCellInput> view_;
};

}  // namespace orvane
