#include "orvane/pages/SOVDiscoverPageInteractor.hpp"

#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

namespace {

// The cells of the recommended-episodes elements among `elements`.
template <class Action>
void forEachRecommendationsCell(const OVPageElements& elements, Action action) {
    for (const auto& element : elements) {
        const auto recommendations = std::dynamic_pointer_cast<OVPageElement::DiscoverRecommendations>(element);
        if (!recommendations) continue;
        if (const auto& cell = recommendations->tableViewCell()) action(*cell);
    }
}

}  // namespace

std::shared_ptr<SOVDiscoverPageInteractor> SOVDiscoverPageInteractor::create(
    const std::shared_ptr<OVDiscoverPageInput>& page, const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<SOVDiscoverPageInteractor>(ConstructorKey{}, page, coordinator);
}

void SOVDiscoverPageInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    for (const auto& element : pageElements_) {
        if (!element) continue;
        if (auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void SOVDiscoverPageInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    forEachRecommendationsCell(pageElements_, [&](OVDiscoverRecommendationsCell& cell) {
        cell.update(withEpisode, inPodcast);
    });
}

void SOVDiscoverPageInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    forEachRecommendationsCell(pageElements_,
                               [&](OVDiscoverRecommendationsCell& cell) { cell.update(withAudioStatus); });
}

void SOVDiscoverPageInteractor::didSelectPodcast(const OVContent& podcast) {
    const auto coordinator = coordinator_.lock();
    if (!coordinator) return;
    auto podcastPage = OVPage::create<OVPodcastPage>(coordinator);
    podcastPage->update(podcast);
    if (auto page = page_.lock()) page->push(podcastPage, /*animated=*/true);
}

void SOVDiscoverPageInteractor::didTapForDetails(const std::shared_ptr<OVTrack>& forTrack,
                                                 const OVContent& inPodcast) {
    if (!forTrack) {
        platform::core::debugPrint("Discover page: details asked for no episode; refused");
        return;
    }
    const auto coordinator = coordinator_.lock();
    if (!coordinator) return;
    auto episodePage = OVPage::create<OVEpisodePage>(coordinator);
    episodePage->update(OVTrackInPodcast(forTrack, inPodcast));
    if (auto page = page_.lock()) page->push(episodePage, /*animated=*/true);
}

int SOVDiscoverPageInteractor::numberOfRows(TableView& /*tableView*/, int /*section*/) {
    return static_cast<int>(pageElements_.size());
}

std::shared_ptr<TableViewCell> SOVDiscoverPageInteractor::cellForRow(TableView& /*tableView*/,
                                                                     const IndexPath& indexPath) {
    if (indexPath.row >= 0 && static_cast<std::size_t>(indexPath.row) < pageElements_.size()) {
        if (const auto& element = pageElements_[static_cast<std::size_t>(indexPath.row)]) {
            if (auto cell = element->elementTableViewCell()) return cell;
        }
    }
    return TableViewCell::create();
}

}  // namespace orvane
