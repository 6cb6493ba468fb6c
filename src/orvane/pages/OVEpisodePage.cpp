#include "orvane/pages/OVEpisodePage.hpp"

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVEpisodePageInteractor.hpp"
#include "orvane/pages/OVEpisodePageStateManager.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

OVEpisodePage::OVEpisodePage(ConstructorKey key) : OVPage(key) {}
OVEpisodePage::~OVEpisodePage() = default;

void OVEpisodePage::initialize(const std::shared_ptr<OVPageCoordinator>& coordinator) {
    const auto self = std::static_pointer_cast<OVEpisodePage>(shared_from_this());
    setTitle(localized("EPISODE_PAGE_TITILE"));
    interactor_ = OVEpisodePageInteractor::create(self, coordinator);
    stateManager_ = std::make_shared<OVEpisodePageStateManager>(self);
    OVWidgetManager::shared().addObserver(stateManager_);
    tableView()->setDataSource(interactor_);

    const auto identity = OVPageElement::create<OVPageElement::ContentIdentity>(coordinator, self);
    if (const auto& cell = identity->tableViewCell()) cell->setDelegate(self);
    const auto play = OVPageElement::create<OVPageElement::EpisodePlay>(coordinator, self);
    if (const auto& cell = play->tableViewCell()) cell->setDelegate(self);
    const auto description = OVPageElement::create<OVPageElement::Description>(coordinator, self);
    if (const auto& cell = description->tableViewCell()) {
        cell->setDelegate(self);
        cell->setSeparatorIsHidden(true);
    }
    update(OVPageElements{identity, play, description});
}

void OVEpisodePage::updateWithCurrentState() {
    if (stateManager_) stateManager_->updateWithCurrentState();
}

void OVEpisodePage::update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast) {
    // The cells take a description only once they have a theme: a page its
    // opener did not bring up to date is brought up to date first.
    if (stateManager_ && !stateManager_->lastUpdateState()) stateManager_->updateWithCurrentState();
    if (interactor_) interactor_->update(withDisplayedEpisodeInPodcast);
}

void OVEpisodePage::update(OVPageElements pageElements) {
    if (interactor_) interactor_->update(std::move(pageElements));
}

void OVEpisodePage::updateOpenPodcastPageIsEnabled(bool openPodcastPageIsEnabled) {
    if (!interactor_) return;
    for (const auto& element : interactor_->pageElements()) {
        const auto identity = std::dynamic_pointer_cast<OVPageElement::ContentIdentity>(element);
        if (!identity || !identity->tableViewCell()) continue;
        if (const auto& subtitle = identity->tableViewCell()->subTitleLabel())
            subtitle->setUserInteractionEnabled(openPodcastPageIsEnabled);
    }
}

void OVEpisodePage::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVEpisodePage::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVEpisodePage::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(withAudioStatus);
}

void OVEpisodePage::popToRootAndMoveToMainPage() {
    if (const auto fan = fanViewController()) fan->popToRootAndMoveToMainPage();
}

void OVEpisodePage::didTapSubtitle() {
    if (interactor_) interactor_->didTapOpenPodcast();
}

void OVEpisodePage::didTapPlay() {
    if (interactor_) interactor_->didTapPlay();
}

void OVEpisodePage::didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) {
    developDescription(forDescriptionElement);
}

void OVEpisodePage::viewDidLoad() {
    setPageDisplaysFoterPlayer(true);
    OVPage::viewDidLoad();
    if (const auto screen = ovNavigationController()) screen->dispalayNavigationBar(true);
}

void OVEpisodePage::viewWillAppear(bool animated) {
    OVPage::viewWillAppear(animated);
    if (!interactor_) return;
    measureHeaderTitles();
}

void OVEpisodePage::viewDidAppear(bool animated) {
    OVPage::viewDidAppear(animated);
    measureHeaderTitles();
}

void OVEpisodePage::measureHeaderTitles() {
    if (interactor_) fitHeaderTitles(interactor_->pageElements());
}

}  // namespace orvane
