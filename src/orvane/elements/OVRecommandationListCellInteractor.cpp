#include "orvane/elements/OVRecommandationListCellInteractor.hpp"

#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

void OVRecommandationListCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock()) {
        view->update(OVRecommandationListCellModel::Style{.backgroundColor = withTheme.backgroundColor(),
                                                          .headerTextColor = withTheme.cellHeaderFontColor(),
                                                          .separatorColor = withTheme.separatorColor()});
    }
}

void OVRecommandationListCellInteractor::update(std::vector<OVTrackInPodcast> withRecommendations) {
    recommendations_ = std::move(withRecommendations);
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVRecommandationListCellInteractor::update(const std::shared_ptr<OVTrack>& forEpisode,
                                                const OVContent& inPodcast) {
    currentTrack_ = forEpisode;
    currentPodcast_ = inPodcast;
    const auto view = view_.lock();
    if (!view) return;
    for (int i = 0; i < static_cast<int>(recommendations_.size()); ++i) {
        if (const auto row = view->visibleRow(i)) row->update(currentTrack_, *currentPodcast_);
    }
}

void OVRecommandationListCellInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    audioStatus_ = withAudioStatus;
    const auto view = view_.lock();
    if (!view) return;
    for (int i = 0; i < static_cast<int>(recommendations_.size()); ++i) {
        if (const auto row = view->visibleRow(i)) row->update(withAudioStatus);
    }
}

void OVRecommandationListCellInteractor::downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack,
                                                                 const OVTrack::DownloadStatus& to) {
    if (!forTrack) return;
    downloadStatuses_.insert_or_assign(forTrack->key(), to);
    const auto view = view_.lock();
    if (!view) return;
    for (int i = 0; i < static_cast<int>(recommendations_.size()); ++i) {
        const auto& track = recommendations_[static_cast<std::size_t>(i)].track;
        if (!track || track->key() != forTrack->key()) continue;
        if (const auto row = view->visibleRow(i)) row->update(to);
    }
}

void OVRecommandationListCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    const auto* selected = recommendation(atIndexPath.row);
    if (!selected) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSelectEpisode(*selected);
}

int OVRecommandationListCellInteractor::numberOfRows(TableView&, int) {
    return static_cast<int>(recommendations_.size());
}

std::shared_ptr<TableViewCell> OVRecommandationListCellInteractor::cellForRow(TableView& tableView,
                                                                              const IndexPath& indexPath) {
    if (!theme_ || !mainColor_) return TableViewCell::create();
    const auto* shown = recommendation(indexPath.row);
    if (!shown) {
        platform::core::debugPrint("recommendation list: no recommendation at row " + std::to_string(indexPath.row));
        return TableViewCell::create();
    }
    auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(
        tableView.dequeueReusableCell(std::string(OVEpisodeTableViewCell::ReuseIdentifier), indexPath));
    if (!row) return TableViewCell::create();
    const auto view = view_.lock();
    row->setDelegate(view ? view->delegate() : nullptr);
    row->setDownloadDelegate(view ? view->coordinator() : nullptr);
    row->update(*theme_, *mainColor_);
    row->update(*shown);
    row->updateAuxiliaryViewIsHidden(false);
    row->updateEpisodeCanBeSaved(true);
    dressState(*row, *shown);
    return row;
}

void OVRecommandationListCellInteractor::dressState(OVEpisodeTableViewCell& row,
                                                    const OVTrackInPodcast& shown) const {
    // A reused row shows what it showed for its last episode until told.
    if (currentPodcast_) {
        row.update(currentTrack_, *currentPodcast_);
    } else {
        row.update(nullptr, OVContent{});
    }
    if (audioStatus_) row.update(*audioStatus_);
    if (!shown.track) return;
    const auto reported = downloadStatuses_.find(shown.track->key());
    row.update(reported != downloadStatuses_.end() ? reported->second : shown.track->downloadStatus());
}

const OVTrackInPodcast* OVRecommandationListCellInteractor::recommendation(int row) const {
    if (row < 0 || row >= static_cast<int>(recommendations_.size())) return nullptr;
    return &recommendations_[static_cast<std::size_t>(row)];
}

}  // namespace orvane
