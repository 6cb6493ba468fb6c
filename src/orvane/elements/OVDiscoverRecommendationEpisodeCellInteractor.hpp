// The presenter of a discover grid item: turns the theme into the item's
// text colours, an episode and its podcast into what the item shows (the
// episode's artwork, else the podcast's; the episode title; the podcast
// description's title), the current episode into the overlay and equalizer
// shown or hidden, and the player status into the equalizer moving or not.
//
// Made by the item when it wakes from its nib; the item owns it and it
// refers to the item weakly. Keeps the episode and podcast last given, so a
// reused item compares the current episode with the one it shows now.
// Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInput.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInteractorInput.hpp"

namespace orvane {

class OVDiscoverRecommendationEpisodeCellInteractor final : public OVDiscoverRecommendationEpisodeCellInteractorInput {
public:
    explicit OVDiscoverRecommendationEpisodeCellInteractor(std::weak_ptr<OVDiscoverRecommendationEpisodeCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void updateWithCurrentEpisode(const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                  const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;

private:
    std::weak_ptr<OVDiscoverRecommendationEpisodeCellInput> view_;
    std::shared_ptr<OVTrack> track_;
    std::optional<OVContent> podcast_;
};

}  // namespace orvane
