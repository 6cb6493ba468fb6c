#include "orvane/elements/OVPodcastEpisodesListCellInteractor.hpp"

#include <algorithm>
#include <string>

#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/AttributedStringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::AttributedString;
using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;
using Tracks = std::vector<std::shared_ptr<OVTrack>>;

namespace {

constexpr int savedSection = static_cast<int>(OVPodcastEpisodesListSection::savedEpisodes);
constexpr int otherSection = static_cast<int>(OVPodcastEpisodesListSection::otherEpisodes);

// Newest first; none when a compared episode has no publication date.
std::optional<Tracks> newestFirst(Tracks tracks) {
    auto sorted = OVTrack::sorted(std::move(tracks));
    if (sorted) std::reverse(sorted->begin(), sorted->end());
    return sorted;
}

std::optional<int> indexOf(const Tracks& tracks, const std::shared_ptr<OVTrack>& track) {
    if (!track) return std::nullopt;
    const auto found = std::find_if(tracks.begin(), tracks.end(),
                                    [&](const auto& candidate) { return candidate && candidate->key() == track->key(); });
    if (found == tracks.end()) return std::nullopt;
    return static_cast<int>(found - tracks.begin());
}

}  // namespace

void OVPodcastEpisodesListCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock()) {
        view->update(OVPodcastEpisodesListCellModel::Style{.backgroundColor = withTheme.backgroundColor(),
                                                           .headerTextColor = withTheme.cellHeaderFontColor(),
                                                           .separatorColor = withTheme.separatorColor()});
    }
}

void OVPodcastEpisodesListCellInteractor::update(const OVContent& podcast) {
    podcast_ = podcast;
    updateEpisodes();
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVPodcastEpisodesListCellInteractor::updateEpisodes() {
    if (!podcast_) return;
    const auto& library = OVMock::UserData::shared().library();
    const auto entry = library.find(*podcast_);
    Tracks saved = entry != library.end() ? entry->second.savedEpisodes : Tracks{};
    Tracks other;
    for (const auto& track : podcast_->tracks.value_or(Tracks{})) {
        if (track && !indexOf(saved, track)) other.push_back(track);
    }
    savedEpisodes_ = newestFirst(std::move(saved)).value_or(Tracks{});
    otherEpisodes_ = newestFirst(std::move(other)).value_or(Tracks{});
}

void OVPodcastEpisodesListCellInteractor::update(const std::vector<std::shared_ptr<TableViewCell>>& cells,
                                                 const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                                 const OVContent& inPodcast) {
    currentEpisode_ = withCurrentEpisode;
    currentPodcast_ = inPodcast;
    for (const auto& cell : cells) {
        if (const auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(cell)) {
            row->update(withCurrentEpisode, inPodcast);
        }
    }
}

void OVPodcastEpisodesListCellInteractor::update(const std::vector<std::shared_ptr<TableViewCell>>& cells,
                                                 OVAudioPlayerStatus withAudioStatus) {
    audioStatus_ = withAudioStatus;
    for (const auto& cell : cells) {
        if (const auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(cell)) row->update(withAudioStatus);
    }
}

void OVPodcastEpisodesListCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    if (!podcast_) return;
    const auto track = episode(atIndexPath);
    if (!track) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSelectEpisode(OVTrackInPodcast(track, *podcast_));
}

void OVPodcastEpisodesListCellInteractor::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSave(episode, inPodcast);
    const auto oldRow = indexOf(otherEpisodes_, episode);
    if (!oldRow) return;
    Tracks candidate = savedEpisodes_;
    candidate.push_back(episode);
    auto sorted = newestFirst(std::move(candidate));
    if (!sorted) return;
    const auto newRow = indexOf(*sorted, episode);
    if (!newRow) return;
    savedEpisodes_ = std::move(*sorted);
    otherEpisodes_.erase(otherEpisodes_.begin() + *oldRow);
    move(IndexPath::forRow(*oldRow, otherSection), IndexPath::forRow(*newRow, savedSection));
}

void OVPodcastEpisodesListCellInteractor::didLongPress(const IndexPath& atIndexPath) {
    if (!podcast_ || atIndexPath.section != savedSection) return;
    const auto track = episode(atIndexPath);
    if (!track) return;
    // A removal the list could not show is not offered.
    Tracks candidate = otherEpisodes_;
    candidate.push_back(track);
    if (!newestFirst(std::move(candidate))) return;
    const auto view = view_.lock();
    if (!view) return;
    const auto delegate = view->delegate();
    if (!delegate) return;
    // The library keeps the episode until the listener confirms.
    delegate->didLongPress(track, *podcast_,
                           [weakSelf = weak_from_this(), track, podcast = *podcast_] {
                               if (const auto self = weakSelf.lock()) self->confirmRemoval(track, podcast);
                           });
}

void OVPodcastEpisodesListCellInteractor::confirmRemoval(const std::shared_ptr<OVTrack>& episode,
                                                         const OVContent& podcast) {
    // The lists may have changed since the press: find the episode again.
    if (!podcast_ || !(*podcast_ == podcast)) return;
    const auto oldRow = indexOf(savedEpisodes_, episode);
    if (!oldRow) {
        platform::core::debugPrint("episodes list: the episode to remove is no longer saved here");
        return;
    }
    Tracks candidate = otherEpisodes_;
    candidate.push_back(episode);
    auto sorted = newestFirst(std::move(candidate));
    if (!sorted) return;
    const auto newRow = indexOf(*sorted, episode);
    if (!newRow) return;
    savedEpisodes_.erase(savedEpisodes_.begin() + *oldRow);
    otherEpisodes_ = std::move(*sorted);
    const auto to = IndexPath::forRow(*newRow, otherSection);
    move(IndexPath::forRow(*oldRow, savedSection), to);
    if (const auto view = view_.lock()) view->updateEpisodeCanBeSaved(to);
    OVMock::UserData::shared().deleteEpisode(episode, podcast);
}

void OVPodcastEpisodesListCellInteractor::move(const IndexPath& from, const IndexPath& to) {
    const auto view = view_.lock();
    if (!view) return;
    if (const auto moved = view->animateChangeSection(from, to); !moved) {
        // The table disagreed with the lists: show the lists as they are.
        platform::core::debugPrint("episodes list: row move refused: " + moved.error().message);
        view->dataSourceDidUpdate();
    }
}

std::optional<AttributedString> OVPodcastEpisodesListCellInteractor::headerTitle(
    OVPodcastEpisodesListSection forSection) {
    const auto font = OVConstants::OVPageElementTableViewCell::headerFont();
    if (!font || !theme_) return std::nullopt;
    std::string text;
    switch (forSection) {
        case OVPodcastEpisodesListSection::savedEpisodes:
            if (!savedEpisodes_.empty()) text = localized("PODCAST_EPISODES_LIST_PAGE_ELEMENT_SAVED_EPISODES_HEADER");
            break;
        case OVPodcastEpisodesListSection::otherEpisodes:
            if (!otherEpisodes_.empty()) {
                text = localized(savedEpisodes_.empty() ? "PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_1"
                                                        : "PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_2");
            }
            break;
    }
    if (text.empty()) return std::nullopt;
    auto title = attributedStringForHTMLString(text, *font, theme_->cellHeaderFontColor());
    if (!title || !*title) return std::nullopt;
    return std::move(**title);
}

int OVPodcastEpisodesListCellInteractor::numberOfSections(TableView&) { return 2; }

int OVPodcastEpisodesListCellInteractor::numberOfRows(TableView&, int section) {
    const auto* list = episodes(section);
    return list ? static_cast<int>(list->size()) : 0;
}

std::shared_ptr<TableViewCell> OVPodcastEpisodesListCellInteractor::cellForRow(TableView& tableView,
                                                                               const IndexPath& indexPath) {
    if (!podcast_ || !theme_ || !mainColor_) return TableViewCell::create();
    const auto track = episode(indexPath);
    if (!track) {
        platform::core::debugPrint("episodes list: no episode at section " + std::to_string(indexPath.section) +
                                   " row " + std::to_string(indexPath.row));
        return TableViewCell::create();
    }
    auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(
        tableView.dequeueReusableCell(std::string(OVEpisodeTableViewCell::ReuseIdentifier), indexPath));
    if (!row) return TableViewCell::create();
    const auto view = view_.lock();
    row->setDelegate(std::static_pointer_cast<OVEpisodeTableViewCellDelegate>(view));
    row->update(*theme_, *mainColor_);
    row->update(OVTrackInPodcast(track, *podcast_));
    row->updateAuxiliaryViewIsHidden(false);
    row->updateEpisodeCanBeSaved(indexPath.section == otherSection);
    // A reused row shows its last episode's state until told.
    if (currentEpisode_ && currentPodcast_) {
        row->update(currentEpisode_, *currentPodcast_);
    } else {
        row->update(nullptr, OVContent{});
    }
    if (audioStatus_) row->update(*audioStatus_);
    return row;
}

const std::vector<std::shared_ptr<OVTrack>>* OVPodcastEpisodesListCellInteractor::episodes(int section) const {
    if (section == savedSection) return &savedEpisodes_;
    if (section == otherSection) return &otherEpisodes_;
    return nullptr;
}

std::shared_ptr<OVTrack> OVPodcastEpisodesListCellInteractor::episode(const IndexPath& indexPath) const {
    const auto* list = episodes(indexPath.section);
    if (!list || indexPath.row < 0 || indexPath.row >= static_cast<int>(list->size())) return nullptr;
    return (*list)[static_cast<std::size_t>(indexPath.row)];
}

}  // namespace orvane
