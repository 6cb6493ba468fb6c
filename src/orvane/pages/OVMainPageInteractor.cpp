#include "orvane/pages/OVMainPageInteractor.hpp"

#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;

namespace {

// The cell of each element of kind `Kind`, in row order.
template <class Kind, class Visit>
void forEachCell(const OVPageElements& elements, Visit&& visit) {
    for (const auto& element : elements) {
        if (auto kind = std::dynamic_pointer_cast<Kind>(element)) {
            if (const auto& cell = kind->tableViewCell()) visit(*cell);
        }
    }
}

}  // namespace

std::shared_ptr<OVMainPageInteractor> OVMainPageInteractor::create(const std::shared_ptr<OVmainPageInput>& page,
                                                                   const std::shared_ptr<OVPageCoordinator>& coordinator) {
    return std::make_shared<OVMainPageInteractor>(ConstructorKey{}, page, coordinator);
}

OVMainPageInteractor::OVMainPageInteractor(ConstructorKey key, const std::shared_ptr<OVmainPageInput>& page,
                                           const std::shared_ptr<OVPageCoordinator>& coordinator)
    : OVPageInteractorInteractor(key, coordinator), page_(page) {}

void OVMainPageInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    OVPageInteractorInteractor::update(withTheme, andMainColor);
    for (const auto& element : pageElements()) {
        if (!std::dynamic_pointer_cast<OVPageElement::Player>(element) &&
            !std::dynamic_pointer_cast<OVPageElement::Description>(element) &&
            !std::dynamic_pointer_cast<OVPageElement::OpenPodcast>(element))
            continue;
        if (auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void OVMainPageInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (!withEpisode) {
        platform::core::debugPrint("Main page: an update without episode is ignored");
        return;
    }
    currentPodcast_ = inPodcast;
    for (const auto& element : pageElements()) {
        if (auto player = std::dynamic_pointer_cast<OVPageElement::Player>(element)) {
            if (const auto& cell = player->tableViewCell()) {
                cell->update(withEpisode, inPodcast);
                cell->update(/*positionCanBeChanged=*/true);
            }
        } else if (auto description = std::dynamic_pointer_cast<OVPageElement::Description>(element)) {
            if (const auto& cell = description->tableViewCell()) {
                if (const auto& text = withEpisode->description()) cell->update(*text);
                cell->update(/*textIsDeveloped=*/false);
            }
        } else if (auto open = std::dynamic_pointer_cast<OVPageElement::OpenPodcast>(element)) {
            if (const auto& cell = open->tableViewCell()) cell->update(inPodcast);
        }
    }
}

void OVMainPageInteractor::update(const std::vector<OVTrackInPodcast>& withRecommendations) {
    forEachCell<OVPageElement::RecommandationList>(
        pageElements(), [&](OVRecommandationListCell& cell) { cell.update(withRecommendations); });
}

void OVMainPageInteractor::didSelectEpisode(const OVTrackInPodcast& trackInPodcast) {
    if (auto coordinator = this->coordinator()) coordinator->didSelectEpisode(trackInPodcast);
}

void OVMainPageInteractor::didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) {
    auto coordinator = this->coordinator();
    if (!coordinator) return;
    auto episodePage = OVPage::create<OVEpisodePage>(coordinator);
    episodePage->updateWithCurrentState();
    episodePage->update(forTrackInPodcast);
    if (auto page = page_.lock()) page->push(episodePage, true);
}

void OVMainPageInteractor::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    if (!episode) {
        platform::core::debugPrint("Main page: a save without episode is refused");
        return;
    }
    OVMock::UserData::shared().save(episode, inPodcast);
    const auto text = OVLibraryPage::popupAttributedText(*episode);
    if (!text) return;
    auto page = page_.lock();
    if (!page) return;
    if (auto fan = page->fanViewController()) fan->displayPopup(*text);
}

void OVMainPageInteractor::didSelectRowAt(const platform::ui::IndexPath& indexPath) {
    auto coordinator = this->coordinator();
    if (!coordinator || !currentPodcast_) return;
    const auto found = firstExpandElement<OVPageElement::OpenPodcast>();
    if (!found || indexPath.row != found->index) return;
    auto podcastPage = OVPage::create<OVPodcastPage>(coordinator);
    podcastPage->updateWithCurrentState();
    podcastPage->update(*currentPodcast_);
    if (auto page = page_.lock()) page->push(podcastPage, true);
}

}  // namespace orvane
