#include "orvane/pages/OVLibraryPage.hpp"

#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVLibraryPageInteractor.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPageLook.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

using platform::ui::AttributedString;
using platform::ui::TextAttributes;

OVLibraryPage::OVLibraryPage(ConstructorKey key) : OVPage(key) {}
OVLibraryPage::~OVLibraryPage() = default;

void OVLibraryPage::initialize(const std::shared_ptr<OVPageCoordinator>& coordinator) {
    const auto self = std::static_pointer_cast<OVLibraryPage>(shared_from_this());
    setTitle(localized("LIBRARY_PAGE_TITLE"));
    interactor_ = OVLibraryPageInteractor::create(self, coordinator);
    tableView()->setDelegate(self);
    // The data source is set at each appearance.
    auto list = OVPageElement::create<OVPageElement::LibraryPodcastsList>(coordinator, self);
    if (const auto& cell = list->tableViewCell()) cell->setDelegate(std::static_pointer_cast<OVLibraryPageUserAction>(self));
    update(OVPageElements{list});
}

void OVLibraryPage::update(OVPageElements pageElements) {
    if (interactor_) interactor_->update(std::move(pageElements));
}

void OVLibraryPage::update(const OVMock::UserData& withUserData) {
    if (interactor_) interactor_->update(withUserData);
}

void OVLibraryPage::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    lookGiven_ = true;
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVLibraryPage::didSelectPodcast(const OVContent& podcast) {
    if (interactor_) interactor_->didSelectPodcast(podcast);
}

void OVLibraryPage::didToggleNotification(const OVContent& forPodcast, bool isActive) {
    if (interactor_) interactor_->didToggleNotification(forPodcast, isActive);
}

void OVLibraryPage::initializeNavigationButtons() {
    auto button = platform::ui::Button::create();
    setRightButton(button);
    button->addTarget(std::static_pointer_cast<OVPage>(shared_from_this()), &OVPage::swipeForward,
                      platform::ui::ControlEvents::touchUpInside);
    platform::ui::BarButtonItem item;
    item.customView = button;
    navigationItem()->setRightBarButtonItem(std::move(item));
    auto image = config().navigationToMainPageRightArrow;
    if (!image) image = OVGetAsset::backToMainPageButtonWhiteBar();
    if (image)
        button->setImage(image->withRenderingMode(platform::graphics::Image::RenderingMode::alwaysOriginal),
                         platform::ui::ControlState::normal);
}

void OVLibraryPage::viewWillAppear(bool animated) {
    OVPage::viewWillAppear(animated);
    tableView()->setDataSource(interactor_);
    if (!lookGiven_ && interactor_) {
        const auto look = OVPageLook::current();
        interactor_->update(look.theme, look.mainColor);
    }
    platform::ui::View::performWithoutAnimation([this] {
        tableView()->beginUpdates();
        update(OVMock::UserData::shared());
        (void)tableView()->endUpdates();  // a refused batch is reported by the table
    });
    if (auto screen = ovNavigationController()) screen->dispalayNavigationBar(true);
}

std::string_view OVLibraryPage::messageKey(OVSubscription subscription) {
    switch (subscription) {
    case OVSubscription::podcast:
        return "POPUP_PODCAST_SUBSCRIPTION";
    case OVSubscription::notification:
        return "POPUP_PODCAST_NOTIFICATION_SUBSCRIPTION";
    }
    return "POPUP_PODCAST_SUBSCRIPTION";
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(std::string_view message,
                                                                   std::string_view highlighted,
                                                                   const OVConstants::OptionalFont& font,
                                                                   const OVConstants::OptionalFont& boldFont) {
    if (!font || !boldFont) return std::nullopt;
    const auto mark = message.find('#');
    if (mark == std::string_view::npos) return std::nullopt;
    const auto white = platform::graphics::Color::white();
    TextAttributes regular;
    regular.font = *font;
    regular.foregroundColor = white;
    TextAttributes bold;
    bold.font = *boldFont;
    bold.foregroundColor = white;
    AttributedString text(std::string(message.substr(0, mark)), regular);
    text.append(highlighted, bold);
    text.append(message.substr(mark + 1), regular);
    return text;
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(const OVTrack& forEpisode) {
    return popupAttributedText(localized(addEpisodeMessageKey), forEpisode.title(), OVConstants::OVPopup::font(),
                               OVConstants::OVPopup::boldFont());
}

std::optional<AttributedString> OVLibraryPage::popupAttributedText(
    OVSubscription forSuscription, const std::optional<std::string>& forPodcastWithtitle) {
    return popupAttributedText(localized(messageKey(forSuscription)), forPodcastWithtitle.value_or(""),
                               OVConstants::OVPopup::font(), OVConstants::OVPopup::boldFont());
}

}  // namespace orvane
