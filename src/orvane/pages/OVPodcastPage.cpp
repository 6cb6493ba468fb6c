#include "orvane/pages/OVPodcastPage.hpp"

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPodcastPageInteractor.hpp"
#include "orvane/pages/OVPodcastPageStateManager.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

OVPodcastPage::OVPodcastPage(ConstructorKey key) : OVPage(key) {}
OVPodcastPage::~OVPodcastPage() = default;

void OVPodcastPage::initialize(const std::shared_ptr<OVPageCoordinator>& coordinator) {
    const auto self = std::static_pointer_cast<OVPodcastPage>(shared_from_this());
    setTitle(localized("PODCAST_PAGE_TITLE"));
    auto interactor = OVPodcastPageInteractor::create(self, coordinator);
    interactor_ = interactor;
    stateManager_ = std::make_shared<OVPodcastPageStateManager>(self);
    OVWidgetManager::shared().addObserver(stateManager_);
    tableView()->setDataSource(interactor_);

    const auto identity = OVPageElement::create<OVPageElement::ContentIdentity>(coordinator, self);
    const auto subscription = OVPageElement::create<OVPageElement::PodcastSubscription>(coordinator, self);
    if (const auto& cell = subscription->tableViewCell()) cell->setDelegate(self);
    const auto description = OVPageElement::create<OVPageElement::Description>(coordinator, self);
    if (const auto& cell = description->tableViewCell()) cell->setDelegate(self);
    const auto episodes = OVPageElement::create<OVPageElement::EpisodesList>(coordinator, self);
    if (const auto& cell = episodes->tableViewCell()) {
        cell->setDelegate(self);
        cell->setCoordinator(coordinator);
    }
    update(OVPageElements{identity, subscription, description, episodes});
}

void OVPodcastPage::updateWithCurrentState() {
    if (stateManager_) stateManager_->updateWithCurrentState();
}

void OVPodcastPage::update(const OVContent& forPodcast) {
    // The cells take a description only once they have a theme: a page its
    // opener did not bring up to date is brought up to date first.
    if (stateManager_ && !stateManager_->lastUpdateState()) stateManager_->updateWithCurrentState();
    if (interactor_) interactor_->update(forPodcast);
}

void OVPodcastPage::update(OVPageElements pageElements) {
    if (interactor_) interactor_->update(std::move(pageElements));
}

void OVPodcastPage::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVPodcastPage::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVPodcastPage::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(withAudioStatus);
}

void OVPodcastPage::subscription(OVSubscription forType, bool didChangeToValue,
                                 std::function<void(bool)> withCompletion) {
    if (interactor_) interactor_->subscription(forType, didChangeToValue, std::move(withCompletion));
}

void OVPodcastPage::didSelectEpisode(const OVTrackInPodcast& trackInPodcast) {
    if (interactor_) interactor_->didSelectEpisode(trackInPodcast);
}

void OVPodcastPage::didLongPress(const std::shared_ptr<OVTrack>& episode, const OVContent& forPodcastInSavedSection,
                                 std::function<void()> executeAction) {
    if (interactor_) interactor_->didLongPress(episode, forPodcastInSavedSection, std::move(executeAction));
}

void OVPodcastPage::didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) {
    if (interactor_) interactor_->didTapForDetails(forTrackInPodcast);
}

void OVPodcastPage::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    if (interactor_) interactor_->didSave(episode, inPodcast);
}

void OVPodcastPage::didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) {
    developDescription(forDescriptionElement);
}

void OVPodcastPage::viewDidLoad() {
    OVPage::viewDidLoad();
    updateWithCurrentState();
}

void OVPodcastPage::viewWillAppear(bool animated) {
    OVPage::viewWillAppear(animated);
    if (const auto screen = ovNavigationController()) screen->dispalayNavigationBar(true);
    if (!interactor_) return;
    interactor_->updateForCurrentPodcast();
    measureHeaderTitles();
}

double OVPodcastPage::estimatedHeightForRow(platform::ui::TableView& /*tableView*/,
                                           const platform::ui::IndexPath& indexPath) {
    if (!interactor_) return platform::ui::TableView::automaticDimension;
    const auto& elements = interactor_->pageElements();
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= elements.size())
        return platform::ui::TableView::automaticDimension;
    const auto& element = elements[static_cast<std::size_t>(indexPath.row)];
    if (const auto cell = element ? element->elementTableViewCell() : nullptr) return cell->bounds().size.height;
    return platform::ui::TableView::automaticDimension;
}

void OVPodcastPage::viewDidAppear(bool animated) {
    OVPage::viewDidAppear(animated);
    measureHeaderTitles();
}

void OVPodcastPage::measureHeaderTitles() {
    if (interactor_) fitHeaderTitles(interactor_->pageElements());
}

}  // namespace orvane
