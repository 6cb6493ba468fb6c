// The presenter of the podcast page's episode list and the data source of
// its inner table. It splits the podcast's episodes into those the listener
// saved (the library's entry for the podcast, even ones the podcast no
// longer lists) and the others, each newest first; dresses an episode row
// for each (blank rows until it knows the theme); moves a row from the
// other section to the saved one when its save button is tapped (the page
// hears of the save first and writes the library); and on a long press on
// a saved row asks the page to confirm, and only on confirmation moves the
// row back and removes the episode from the library.
//
// Made by the list cell when it wakes from its nib; the cell owns it and it
// refers to the cell weakly (no cycle). Every index is checked against the
// current lists. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/elements/OVPodcastEpisodesListCellInput.hpp"
#include "orvane/elements/OVPodcastEpisodesListCellInteractorInput.hpp"

namespace orvane {

class OVPodcastEpisodesListCellInteractor final
    : public OVPodcastEpisodesListCellInteractorInput,
      public std::enable_shared_from_this<OVPodcastEpisodesListCellInteractor> {
public:
    explicit OVPodcastEpisodesListCellInteractor(std::weak_ptr<OVPodcastEpisodesListCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVContent& podcast) override;
    void update(const std::vector<std::shared_ptr<platform::ui::TableViewCell>>& cells,
                const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) override;
    void update(const std::vector<std::shared_ptr<platform::ui::TableViewCell>>& cells,
                OVAudioPlayerStatus withAudioStatus) override;
    void didSelectRow(const platform::ui::IndexPath& atIndexPath) override;
    void didLongPress(const platform::ui::IndexPath& atIndexPath) override;
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;
    std::optional<platform::ui::AttributedString> headerTitle(OVPodcastEpisodesListSection forSection) override;

    int numberOfSections(platform::ui::TableView& tableView) override;
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

    const std::vector<std::shared_ptr<OVTrack>>& savedEpisodes() const { return savedEpisodes_; }
    const std::vector<std::shared_ptr<OVTrack>>& otherEpisodes() const { return otherEpisodes_; }

private:
    void updateEpisodes();
    // The listener confirmed removing the episode pressed (by key).
    void confirmRemoval(const std::shared_ptr<OVTrack>& episode, const OVContent& podcast);
    // The section's list, none for an index that is no section.
    const std::vector<std::shared_ptr<OVTrack>>* episodes(int section) const;
    std::shared_ptr<OVTrack> episode(const platform::ui::IndexPath& indexPath) const;
    void move(const platform::ui::IndexPath& from, const platform::ui::IndexPath& to);

    std::weak_ptr<OVPodcastEpisodesListCellInput> view_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::optional<OVAudioPlayerStatus> audioStatus_;
    std::optional<OVContent> podcast_;
    std::shared_ptr<OVTrack> currentEpisode_;
    std::optional<OVContent> currentPodcast_;
    std::vector<std::shared_ptr<OVTrack>> savedEpisodes_;
    std::vector<std::shared_ptr<OVTrack>> otherEpisodes_;
};

}  // namespace orvane
