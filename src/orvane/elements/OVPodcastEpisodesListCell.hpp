// The podcast page's list of the podcast's episodes: an inner table of
// episode rows in two sections, the episodes the listener saved, then the
// others, each newest first under its header (47 points when the section
// has episodes, none otherwise). The table never scrolls and is as tall as
// all its rows (140 points each) plus both headers, so the page's own table
// scrolls the whole list. A row's save button moves it into the saved
// section (the page hears of the save first); a press of one second on a
// saved row asks the page to confirm its removal and, once confirmed, moves
// it back with its save button. Taps on a row tell the page (`delegate`)
// which episode was chosen; the rows' details and save buttons reach the
// page through this cell. Player status and the current episode reach
// every row, including rows made later.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Owns its presenter (the inner
// table's data source), which refers to it weakly, and the two header
// views; it is the inner table's delegate. Main thread only.
#pragma once

#include <map>
#include <memory>
#include <string_view>

#include "orvane/elements/OVPodcastEpisodesListCellInput.hpp"
#include "orvane/elements/OVPodcastEpisodesListCellInteractorInput.hpp"
#include "orvane/elements/OVPodcastEpisodesListHeader.hpp"
#include "orvane/pages/OVEpisodeUpdatable.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVPodcastPageUserAction.hpp"
#include "orvane/pages/OVPodcastUpdatable.hpp"
#include "orvane/pages/OVUserTrackDownloadAction.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/input/LongPressGestureRecognizer.hpp"

namespace orvane {

class OVPodcastEpisodesListCell : public OVPageElementTableViewCell,
                                  public OVPodcastEpisodesListCellInput,
                                  public OVPodcastUpdatable,
                                  public OVEpisodeUpdatable,
                                  public OVUserTrackDownloadAction {
public:
    using Section = OVPodcastEpisodesListSection;
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVPodcastEpisodesListCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVPodcastEpisodesListCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVPodcastPageUserAction> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPodcastPageUserAction> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<OVPageCoordinator> coordinator() const override { return coordinator_.lock(); }
    void setCoordinator(std::weak_ptr<OVPageCoordinator> coordinator) { coordinator_ = std::move(coordinator); }

    // ---- From the podcast page ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVContent& withPodcast) override;
    // The episode now current, and its podcast.
    void update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus);
    // Download states are not shown here.
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>& /*forTrack*/, const OVTrack::DownloadStatus& /*to*/) {}
    void didTapDownload(const std::shared_ptr<OVTrack>& /*forTrack*/) override {}

    // ---- From the rows ----
    void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) override;
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;

    // ---- From the presenter ----
    void update(const OVPodcastEpisodesListCellModel::Style& withViewModel) override;
    void dataSourceDidUpdate() override;
    std::expected<void, platform::ui::TableViewUpdateError> animateChangeSection(
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to) override;
    void updateEpisodeCanBeSaved(const platform::ui::IndexPath& forCellAtIndexPath) override;

    // ---- The inner table's delegate ----
    double heightForRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;
    double heightForHeaderInSection(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::View> viewForHeaderInSection(platform::ui::TableView& tableView,
                                                               int section) override;
    void didSelectRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

    // ---- The long press on a row ----
    void handleLongPress(platform::ui::LongPressGestureRecognizer& recognizer);

    // ---- Views, for the page and its tests ----
    const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
    // The inner table's height: 140 per row plus 94 for the two headers.
    const platform::ui::LayoutConstraintPtr& tableviewHeightConstraint() const { return tableviewHeightConstraint_; }
    std::shared_ptr<OVPodcastEpisodesListHeader> header(Section section) const;

    void awakeFromNib() override;

private:
    void initializeUI();
    void initializeHeaders();
    void initializeLongPress();
    void updateCellHeight();
    void updateHeaders();

    std::shared_ptr<platform::ui::TableView> tableView_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVPodcastPageUserAction> delegate_;
    std::shared_ptr<OVPodcastEpisodesListCellInteractorInput> interactor_;
    platform::ui::LayoutConstraintPtr tableviewHeightConstraint_;
    double cellHeight_;
    std::map<Section, std::shared_ptr<OVPodcastEpisodesListHeader>> headers_;
};

}  // namespace orvane
