// The presenter of an episode row: keeps the theme and the episode with its
// podcast that the row was last given, turns each input into one record of
// `OVEpisodeTableViewCellModel` for the row, and reports the row's taps to
// the row's delegate with the episode they concern.
//
// Made by the row when it wakes from its nib; the row owns it and it refers
// to the row weakly, so records computed after the row is gone are dropped.
// A reused row keeps its presenter and with it the last values given.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "orvane/elements/OVEpisodeTableViewCellInput.hpp"
#include "orvane/elements/OVEpisodeTableViewCellInteractorInput.hpp"

namespace orvane {

class OVEpisodeTableViewCellInteractor final : public OVEpisodeTableViewCellInteractorInput {
public:
    explicit OVEpisodeTableViewCellInteractor(std::weak_ptr<OVEpisodeTableViewCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVTrackInPodcast& withEpisodeInPodcast) override;
    void update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void updateAuxiliaryViewIsHidden(bool auxiliaryViewIsHidden) override;
    void updateEpisodeCanBeSaved(bool episodeCanBeSaved) override;
    void didTapDetails() override;
    void didTapSave(const std::shared_ptr<OVTrack>& episode, const std::optional<OVContent>& inPodcast) override;
    std::shared_ptr<OVTrack> track() const override { return track_; }
    const std::optional<OVContent>& podcast() const override { return podcast_; }

    // The publication date as the row shows it: day and full month name as
    // the current locale arranges them (the "ddMMMM" skeleton), in the
    // current time zone, upper-cased by the locale's rules; empty without a
    // date.
    static std::string displayString(const std::optional<platform::core::Date>& forDate);

    // The width of the save area while it shows.
    static constexpr double auxiliaryViewWidth = 32;
    // The title's largest line height.
    static constexpr double titleMaximumLineHeight = 20;

private:
    std::weak_ptr<OVEpisodeTableViewCellInput> view_;
    std::optional<OVTheme> theme_;
    std::shared_ptr<OVTrack> track_;
    std::optional<OVContent> podcast_;
};

}  // namespace orvane
