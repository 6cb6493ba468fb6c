#include "orvane/pages/OVMainPage.hpp"

#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPlayerTrackButtons.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/pages/OVMainPageInteractor.hpp"
#include "orvane/pages/OVMainPageStateManager.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;
using platform::ui::Button;
using platform::ui::ControlEvents;
using platform::ui::ControlState;

OVMainPage::OVMainPage(ConstructorKey key) : OVPage(key) { setPageDisplaysFoterPlayer(false); }

OVMainPage::~OVMainPage() = default;

void OVMainPage::initialize(const std::shared_ptr<OVPageCoordinator>& withCoordinator) {
    const auto self = std::static_pointer_cast<OVMainPage>(shared_from_this());

    auto interactor = OVMainPageInteractor::create(self, withCoordinator);
    interactor_ = interactor;
    setGenericInteractor(interactor);

    stateManager_ = OVMainPageStateManager::create(self);
    OVWidgetManager::shared().addObserver(stateManager_);

    auto player = OVPageElement::create<OVPageElement::Player>(withCoordinator, self);
    const auto buttons = OVPlayerTrackButtons::newFromNib();
    playerCell_ = player->tableViewCell();
    if (playerCell_) playerCell_->setButtonsView(buttons);
    if (buttons) buttons->setDelegate(std::shared_ptr<OVPlayerUserActionDelegate>(withCoordinator));

    auto description = OVPageElement::create<OVPageElement::Description>(withCoordinator, self);
    if (const auto& cell = description->tableViewCell())
        cell->setDelegate(std::static_pointer_cast<OVDescriptionTextTableViewCellDelegate>(self));

    auto recommendations = OVPageElement::create<OVPageElement::RecommandationList>(withCoordinator, self);
    if (const auto& cell = recommendations->tableViewCell()) {
        cell->setCoordinator(withCoordinator);
        cell->setDelegate(std::static_pointer_cast<OVMainPageUserAction>(self));
    }

    auto openPodcast = OVPageElement::create<OVPageElement::OpenPodcast>(withCoordinator, self);
    openPodcastCell_ = openPodcast->tableViewCell();

    interactor->update(OVPageElements{player, description, recommendations, openPodcast});
}

// ---- The compact presentation ----

std::shared_ptr<platform::ui::View> OVMainPage::preview() {
    const auto& table = tableView();
    if (const auto cells = table->visibleCells(); !cells.empty()) cells.front()->setNeedsLayout();
    view()->layoutIfNeeded();
    const auto cells = table->visibleCells();
    return cells.empty() ? nullptr : cells.front();
}

void OVMainPage::setImageRatio(double ratio, bool withoutAnimation) {
    const double target = (ratio - 1) * view()->bounds().size.width;
    const auto constraint = ratioConstraint();
    if (constraint && constraint->constant() == target) return;
    const auto& table = tableView();
    const auto change = [&] {
        table->beginUpdates();
        if (constraint) constraint->setConstant(target);
        (void)table->endUpdates();  // an empty batch is never refused
    };
    if (withoutAnimation) {
        platform::ui::View::performWithoutAnimation(change);
    } else {
        change();
    }
}

std::shared_ptr<platform::ui::LayoutConstraint> OVMainPage::ratioConstraint() const {
    return playerCell_ ? playerCell_->ratioConstraint() : nullptr;
}

void OVMainPage::presentationAnimationWillStart() {
    if (playerCell_) playerCell_->setTrackLabelTextMaxLength();
}

// ---- The state ----

void OVMainPage::update(const OVTheme& withTheme, const Color& andMainColor) {
    if (!interactor_) return;
    interactor_->update(withTheme, andMainColor);
    for (const auto& element : interactor_->pageElements()) {
        if (!std::dynamic_pointer_cast<OVPageElement::Player>(element) &&
            !std::dynamic_pointer_cast<OVPageElement::Description>(element) &&
            !std::dynamic_pointer_cast<OVPageElement::RecommandationList>(element) &&
            !std::dynamic_pointer_cast<OVPageElement::OpenPodcast>(element))
            continue;
        if (auto cell = element->elementTableViewCell()) cell->update(withTheme, andMainColor);
    }
}

void OVMainPage::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVMainPage::update(const std::vector<OVTrackInPodcast>& withRecommendations) {
    if (!interactor_) return;
    // The list resizes itself to its rows; when its height changes, an
    // empty batch of table updates gives the page's row the new height
    // (rather than leaving it over the rows below). No rows are loaded
    // before the view is.
    std::shared_ptr<OVRecommandationListCell> list;
    for (const auto& element : interactor_->pageElements()) {
        if (auto kind = std::dynamic_pointer_cast<OVPageElement::RecommandationList>(element)) list = kind->tableViewCell();
    }
    const auto height = [&list] {
        const auto& constraint = list ? list->tableviewHeightConstraint() : nullptr;
        return constraint ? constraint->constant() : 0.0;
    };
    const double before = height();
    interactor_->update(withRecommendations);
    if (isViewLoaded() && height() != before) execute({});
}

void OVMainPage::update(OVAudioPlayerStatus withAudioStatus) {
    if (playerCell_) playerCell_->update(withAudioStatus);
}

void OVMainPage::update(const OVAudioPosition& withAudioPosition) {
    if (playerCell_) playerCell_->update(withAudioPosition.time, withAudioPosition.duration);
}

void OVMainPage::downloadStatusDidChange(const std::shared_ptr<OVTrack>& /*forTrack*/,
                                        const OVTrack::DownloadStatus& /*to*/) {}

// ---- The view ----

void OVMainPage::viewDidLoad() {
    setPageDisplaysFoterPlayer(false);
    setNavigationBarDisplaysWhenScrolling(navigationBarButtonIsDisplayed_.left || navigationBarButtonIsDisplayed_.right
                                              ? NavigationBarDisplay::whenScrolling
                                              : NavigationBarDisplay::never);
    OVPage::viewDidLoad();
    setFooter();
    if (auto screen = ovNavigationController()) screen->dispalayNavigationBar(false);
    if (stateManager_) stateManager_->updateWithCurrentState();
}

void OVMainPage::viewDidAppear(bool animated) {
    OVPage::viewDidAppear(animated);
    if (playerCell_) playerCell_->restartTrackLabelAnimation();
    if (const auto selected = tableView()->indexPathForSelectedRow()) tableView()->deselectRow(*selected, false);
}

void OVMainPage::initializeNavigationButtons() {
    const auto self = std::static_pointer_cast<OVPage>(shared_from_this());
    const auto& item = navigationItem();

    auto left = Button::create({0, 0, 32, 32});
    left->addTarget(self, &OVPage::swipeReverse, ControlEvents::touchUpInside);
    setLeftButton(left);
    platform::ui::BarButtonItem leftItem;
    leftItem.customView = leftButton();
    item->setLeftBarButtonItem(std::move(leftItem));

    auto right = Button::create();
    right->addTarget(self, &OVPage::swipeForward, ControlEvents::touchUpInside);
    setRightButton(right);
    platform::ui::BarButtonItem rightItem;
    rightItem.customView = rightButton();
    item->setRightBarButtonItem(std::move(rightItem));
}

void OVMainPage::initializeTableView() {
    OVPage::initializeTableView();
    tableView()->setDataSource(interactor_);
    tableView()->setDelegate(std::static_pointer_cast<OVPage>(shared_from_this()));
}

void OVMainPage::navigationBarDisplayChanged(bool displayed) {
    const auto dress = [displayed](const std::shared_ptr<Button>& button, const std::optional<Image>& image) {
        if (!button) return;
        button->setImage(image ? std::optional<Image>(image->withRenderingMode(Image::RenderingMode::alwaysOriginal))
                               : std::nullopt,
                         ControlState::normal);
        button->setHidden(!displayed);
    };
    if (navigationBarButtonIsDisplayed_.left)
        dress(leftButton(), displayed ? OVGetAsset::myLibraryBarButtonForWhiteBar()
                                      : OVGetAsset::myLibraryBarButtonForTransparentBar());
    if (navigationBarButtonIsDisplayed_.right)
        dress(rightButton(), displayed ? OVGetAsset::discoverBarButtonForWhiteBar()
                                       : OVGetAsset::discoverBarButtonForTransparentBar());
}

void OVMainPage::didSelectRow(platform::ui::TableView& /*tableView*/, const platform::ui::IndexPath& indexPath) {
    if (interactor_) interactor_->didSelectRowAt(indexPath);
}

// ---- The cells' actions ----

void OVMainPage::didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) {
    developDescription(forDescriptionElement);
}

void OVMainPage::didSelectEpisode(const OVTrackInPodcast& trackInPodcast) {
    if (interactor_) interactor_->didSelectEpisode(trackInPodcast);
}

void OVMainPage::didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) {
    if (interactor_) interactor_->didTapForDetails(forTrackInPodcast);
}

void OVMainPage::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    if (interactor_) interactor_->didSave(episode, inPodcast);
}

void OVMainPage::didTapBackward() {
    if (auto delegate = mainPageDelegate()) delegate->didTapBackward();
}
void OVMainPage::didTapPlay() {
    if (auto delegate = mainPageDelegate()) delegate->didTapPlay();
}
void OVMainPage::didTapPause() {
    if (auto delegate = mainPageDelegate()) delegate->didTapPause();
}
void OVMainPage::didTapForward() {
    if (auto delegate = mainPageDelegate()) delegate->didTapForward();
}
void OVMainPage::didChangeSlider(float value, std::function<void(bool)> completionHandler) {
    if (auto delegate = mainPageDelegate()) delegate->didChangeSlider(value, std::move(completionHandler));
}
void OVMainPage::didTogglePlayPause() {
    if (auto delegate = mainPageDelegate()) delegate->didTogglePlayPause();
}
void OVMainPage::didTapDownload(const std::shared_ptr<OVTrack>& forTrack) {
    if (auto delegate = mainPageDelegate()) delegate->didTapDownload(forTrack);
}

}  // namespace orvane
