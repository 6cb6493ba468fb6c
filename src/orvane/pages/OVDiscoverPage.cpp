#include "orvane/pages/OVDiscoverPage.hpp"

#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPageLook.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/pages/SOVDiscoverPageInteractor.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

OVDiscoverPage::OVDiscoverPage(ConstructorKey key) : OVPage(key) {}
OVDiscoverPage::~OVDiscoverPage() = default;

void OVDiscoverPage::initialize(const std::shared_ptr<OVPageCoordinator>& coordinator) {
    const auto self = std::static_pointer_cast<OVDiscoverPage>(shared_from_this());
    setTitle(localized("DISCOVER_PAGE_TITLE"));
    interactor_ = SOVDiscoverPageInteractor::create(self, coordinator);
    tableView()->setDelegate(self);
    // The data source is set at each appearance.
    auto headlines = OVPageElement::create<OVPageElement::DiscoverRecommendationHeadlines>(coordinator, self);
    if (const auto& cell = headlines->tableViewCell())
        cell->setDelegate(std::static_pointer_cast<OVRecommendationsHeadlinesDelegate>(self));
    auto recommendations = OVPageElement::create<OVPageElement::DiscoverRecommendations>(coordinator, self);
    if (const auto& cell = recommendations->tableViewCell()) {
        cell->setCoordinator(coordinator);
        cell->setDelegate(std::static_pointer_cast<OVDiscoverRecommendationsCellDelegate>(self));
    }
    update(OVPageElements{headlines, recommendations});
}

void OVDiscoverPage::update(OVPageElements pageElements) {
    if (interactor_) interactor_->update(std::move(pageElements));
}

void OVDiscoverPage::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    lookGiven_ = true;
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVDiscoverPage::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVDiscoverPage::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(withAudioStatus);
}

void OVDiscoverPage::didSelectPodcast(const OVContent& podcast) {
    if (interactor_) interactor_->didSelectPodcast(podcast);
}

void OVDiscoverPage::didTapForDetails(const std::shared_ptr<OVTrack>& forTrack, const OVContent& inPodcast) {
    if (interactor_) interactor_->didTapForDetails(forTrack, inPodcast);
}

void OVDiscoverPage::initializeNavigationButtons() {
    auto button = platform::ui::Button::create();
    setLeftButton(button);
    button->addTarget(std::static_pointer_cast<OVPage>(shared_from_this()), &OVPage::swipeReverse,
                      platform::ui::ControlEvents::touchUpInside);
    platform::ui::BarButtonItem item;
    item.customView = button;
    navigationItem()->setLeftBarButtonItem(std::move(item));
    auto image = config().navigationToMainPageLeftArrow;
    if (!image) image = OVGetAsset::backToMainPageButtonWhiteBar();
    if (image)
        button->setImage(image->withRenderingMode(platform::graphics::Image::RenderingMode::alwaysOriginal),
                         platform::ui::ControlState::normal);
}

void OVDiscoverPage::viewWillAppear(bool animated) {
    OVPage::viewWillAppear(animated);
    if (!interactor_) return;
    tableView()->setDataSource(interactor_);
    if (auto screen = ovNavigationController()) screen->dispalayNavigationBar(true);
    if (!lookGiven_) {
        const auto look = OVPageLook::current();
        interactor_->update(look.theme, look.mainColor);
    }
    const auto& library = OVMock::UserData::shared();
    for (const auto& element : interactor_->pageElements()) {
        if (!element) continue;
        const auto cell = element->elementTableViewCell();
        if (auto headlines = std::dynamic_pointer_cast<OVRecommendationHeadlinesCell>(cell)) {
            headlines->setHeight();
            headlines->update(library.recommendationsHeadlines());
        } else if (auto recommendations = std::dynamic_pointer_cast<OVDiscoverRecommendationsCell>(cell)) {
            recommendations->setHeight();
            recommendations->update(library.discoverRecommendations());
        }
    }
}

}  // namespace orvane
