// The presenter of a library row: turns the theme and main colour into the
// row's look, and a podcast of the library with the library store into what
// the row shows (artwork, the description's title, the download line, how
// many days ago the newest episode came out, and the notification switch
// that fits the subscription); reports the switch to the row's delegate.
//
// Made by the row when it wakes from its nib; the row owns it and it refers
// to the row weakly. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "orvane/elements/OVLibraryPodcastCellInput.hpp"
#include "orvane/elements/OVLibraryPodcastCellInteractorInput.hpp"

namespace orvane {

class OVLibraryPodcastCellInteractor final : public OVLibraryPodcastCellInteractorInput {
public:
    explicit OVLibraryPodcastCellInteractor(std::weak_ptr<OVLibraryPodcastCellInput> view) : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVContent& withPodcast, const OVMock::UserData& andUserData) override;
    void didToggleNotification(bool isActive, const std::optional<OVContent>& forPodcast) override;

    // The podcast last given; none before the first.
    const std::optional<OVContent>& podcast() const { return podcast_; }

    // The line that tells how long ago the podcast's newest episode came
    // out: empty when an episode is undated, there is none, or the newest is
    // not in the past.
    static std::string lastEpisodeText(const OVContent& podcast);

private:
    std::weak_ptr<OVLibraryPodcastCellInput> view_;
    std::optional<OVContent> podcast_;
};

}  // namespace orvane
