// The episode page's presenter and its table's data source: one row per
// element, each row its element's own cell. It keeps the episode the page
// shows apart from the episode the widget's player is on, tells the play
// element whether they are the same one (by key), dresses the header and
// the description (always shown in full) with the displayed episode, opens
// the podcast page from the header's link, and on play takes the listener
// back to the main screen and asks the coordinator to select the displayed
// episode.
//
// Made by its page (which owns it) with the page and the coordinator, both
// held weakly: a step that needs one of them is skipped when it is gone.
// Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/pages/OVEpisodePageInput.hpp"
#include "orvane/pages/OVEpisodePageInteractorInput.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"

namespace orvane {

// It also takes the listener's player actions, all but play with their
// empty defaults.
class OVEpisodePageInteractor : public OVEpisodePageInteractorInput,
                                public virtual OVPlayerUserActionDelegate,
                                public std::enable_shared_from_this<OVEpisodePageInteractor> {
    struct Token {
        explicit Token() = default;
    };

public:
    static std::shared_ptr<OVEpisodePageInteractor> create(const std::shared_ptr<OVEpisodePageInput>& view,
                                                           const std::shared_ptr<OVPageCoordinator>& coordinator);
    OVEpisodePageInteractor(Token, const std::shared_ptr<OVEpisodePageInput>& view,
                            const std::shared_ptr<OVPageCoordinator>& coordinator)
        : coordinator_(coordinator), page_(view) {}

    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    std::shared_ptr<OVEpisodePageInput> page() const { return page_.lock(); }
    const std::optional<OVTheme>& theme() const { return theme_; }
    const std::optional<platform::graphics::Color>& mainColor() const { return mainColor_; }
    const std::shared_ptr<OVTrack>& displayedTrack() const { return displayedTrack_; }
    const std::optional<OVContent>& displayedPodcast() const { return displayedPodcast_; }
    const std::shared_ptr<OVTrack>& currentTrack() const { return currentTrack_; }
    // Both known and with the same key.
    bool displayedTrackIsCurrent() const;

    // ---- OVEpisodePageInteractorInput ----
    void update(OVPageElements pageElements) override { pageElements_ = std::move(pageElements); }
    const OVPageElements& pageElements() const override { return pageElements_; }
    // Kept, and given to every cell.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast) override;
    // Only the episode is kept; the play element learns whether it is the
    // displayed one.
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    // Pushes a new podcast page for the displayed podcast.
    void didTapOpenPodcast() override;
    // Back to the main screen, then the displayed episode to the coordinator.
    void didTapPlay() override;

    // ---- TableViewDataSource ----
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

private:
    void updateEpisodePlayCell();

    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVEpisodePageInput> page_;
    OVPageElements pageElements_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::shared_ptr<OVTrack> displayedTrack_;
    std::optional<OVContent> displayedPodcast_;
    std::shared_ptr<OVTrack> currentTrack_;
};

}  // namespace orvane
