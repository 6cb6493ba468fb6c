#include "orvane/pages/OVEpisodePageInteractor.hpp"

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPodcastPage.hpp"

namespace orvane {

namespace {

// The cell of the first element of kind `Kind`, when it has one.
template <class Kind>
auto firstCell(const OVPageElements& elements) -> std::shared_ptr<typename std::remove_cvref_t<
    decltype(*std::declval<Kind>().tableViewCell())>> {
    for (const auto& element : elements) {
        if (const auto kind = std::dynamic_pointer_cast<Kind>(element)) return kind->tableViewCell();
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<OVEpisodePageInteractor> OVEpisodePageInteractor::create(
    const std::shared_ptr<OVEpisodePageInput>& view, const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<OVEpisodePageInteractor>(Token{}, view, coordinator);
}

bool OVEpisodePageInteractor::displayedTrackIsCurrent() const {
    return displayedTrack_ && currentTrack_ && *displayedTrack_ == *currentTrack_;
}

void OVEpisodePageInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    for (const auto& element : pageElements_) {
        if (!element) continue;
        if (const auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void OVEpisodePageInteractor::update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast) {
    displayedTrack_ = withDisplayedEpisodeInPodcast.track;
    displayedPodcast_ = withDisplayedEpisodeInPodcast.podcast;
    for (const auto& element : pageElements_) {
        if (!element) continue;
        const auto cell = element->elementTableViewCell();
        if (const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(cell)) {
            header->update(displayedTrack_, *displayedPodcast_);
        } else if (const auto text = std::dynamic_pointer_cast<OVDescriptionTextTableViewCell>(cell)) {
            if (displayedTrack_ && displayedTrack_->description()) text->update(*displayedTrack_->description());
            text->update(/*textIsDeveloped=*/true);
        }
    }
    updateEpisodePlayCell();
}

void OVEpisodePageInteractor::updateEpisodePlayCell() {
    if (const auto cell = firstCell<OVPageElement::EpisodePlay>(pageElements_)) cell->update(displayedTrackIsCurrent());
}

void OVEpisodePageInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& /*inPodcast*/) {
    currentTrack_ = withEpisode;
    updateEpisodePlayCell();
}

void OVEpisodePageInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    if (const auto cell = firstCell<OVPageElement::EpisodePlay>(pageElements_)) cell->update(withAudioStatus);
}

void OVEpisodePageInteractor::didTapOpenPodcast() {
    const auto coordinator = coordinator_.lock();
    if (!coordinator || !displayedPodcast_) return;
    auto podcastPage = OVPage::create<OVPodcastPage>(coordinator);
    podcastPage->update(*displayedPodcast_);
    if (const auto page = page_.lock()) page->push(podcastPage, true);
}

void OVEpisodePageInteractor::didTapPlay() {
    if (const auto page = page_.lock()) page->popToRootAndMoveToMainPage();
    const auto coordinator = coordinator_.lock();
    if (displayedTrack_ && displayedPodcast_ && coordinator)
        coordinator->didSelectEpisode(OVTrackInPodcast(displayedTrack_, *displayedPodcast_));
}

int OVEpisodePageInteractor::numberOfRows(platform::ui::TableView& /*tableView*/, int /*section*/) {
    return static_cast<int>(pageElements_.size());
}

std::shared_ptr<platform::ui::TableViewCell> OVEpisodePageInteractor::cellForRow(
    platform::ui::TableView& /*tableView*/, const platform::ui::IndexPath& indexPath) {
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < pageElements_.size()) {
        if (const auto& element = pageElements_[static_cast<std::size_t>(indexPath.row)]) {
            if (auto cell = element->elementTableViewCell()) return cell;
        }
    }
    return platform::ui::TableViewCell::create();
}

}  // namespace orvane
