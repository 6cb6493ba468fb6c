#include "orvane/elements/OVLibraryPodcastCell.hpp"

#include "orvane/toolkit/ButtonExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

constexpr double margin = 12;
constexpr double artworkSide = 86;
constexpr double buttonSide = 32;
constexpr double artworkCornerRadius = 2;

}  // namespace

// The views the nib connects to the row.
struct OVLibraryPodcastCell::Outlets {
    std::shared_ptr<OVImageView> stImageView;
    std::shared_ptr<Label> podcastTitleLabel;
    std::shared_ptr<Label> downloadedLabel;
    std::shared_ptr<Label> lastEpisodeLabel;
    std::shared_ptr<Button> startNotificationButton;
    std::shared_ptr<Button> stopNotificationButton;
    std::shared_ptr<View> customSeparator;
};

OVLibraryPodcastCell::OVLibraryPodcastCell(ConstructorKey key, const Rect& frame) : TableViewCell(key, frame) {}

bool OVLibraryPodcastCell::nib(NibBuild& build) {
    const double height = OVConstants::OVLibraryPodcastsListCell::cellHeight;
    auto cell = std::make_shared<OVLibraryPodcastCell>(ConstructorKey{}, Rect{0, 0, 375, height});
    // Clear: the list's background shows through until the theme arrives.
    cell->setBackgroundColor(Color::clear());
    const auto& content = cell->contentView();
    Outlets o;
    o.stImageView = OVImageView::create(Rect{0, 0, artworkSide, artworkSide});
    o.stImageView->setClipsToBounds(true);
    o.podcastTitleLabel = Label::create();
    o.podcastTitleLabel->setFont(Font::named("AvenirNext-DemiBold", 15));
    o.downloadedLabel = Label::create();
    o.downloadedLabel->setFont(Font::named("AvenirNext-Medium", 13));
    o.lastEpisodeLabel = Label::create();
    o.lastEpisodeLabel->setFont(Font::named("AvenirNext-Medium", 13));
    o.startNotificationButton = Button::create();
    o.stopNotificationButton = Button::create();
    o.customSeparator = View::create();
    o.customSeparator->setUserInteractionEnabled(false);
    for (const std::shared_ptr<View>& view :
         {std::static_pointer_cast<View>(o.stImageView), std::static_pointer_cast<View>(o.podcastTitleLabel),
          std::static_pointer_cast<View>(o.downloadedLabel), std::static_pointer_cast<View>(o.lastEpisodeLabel),
          std::static_pointer_cast<View>(o.startNotificationButton),
          std::static_pointer_cast<View>(o.stopNotificationButton), o.customSeparator}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    LayoutConstraint::activate({
        // The artwork at the left, centred in the row.
        o.stImageView->leftAnchor().constraintEqualTo(content->leftAnchor(), margin),
        o.stImageView->centerYAnchor().constraintEqualTo(content->centerYAnchor()),
        o.stImageView->widthAnchor().constraintEqualToConstant(artworkSide),
        o.stImageView->heightAnchor().constraintEqualToConstant(artworkSide),
        // The switch at the right, both buttons in one place.
        o.startNotificationButton->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        o.startNotificationButton->centerYAnchor().constraintEqualTo(content->centerYAnchor()),
        o.startNotificationButton->widthAnchor().constraintEqualToConstant(buttonSide),
        o.startNotificationButton->heightAnchor().constraintEqualToConstant(buttonSide),
        o.stopNotificationButton->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        o.stopNotificationButton->centerYAnchor().constraintEqualTo(content->centerYAnchor()),
        o.stopNotificationButton->widthAnchor().constraintEqualToConstant(buttonSide),
        o.stopNotificationButton->heightAnchor().constraintEqualToConstant(buttonSide),
        // Three lines beside the artwork, up to the switch.
        o.podcastTitleLabel->topAnchor().constraintEqualTo(o.stImageView->topAnchor(), 8),
        o.podcastTitleLabel->leftAnchor().constraintEqualTo(o.stImageView->rightAnchor(), margin),
        o.podcastTitleLabel->rightAnchor().constraintEqualTo(o.startNotificationButton->leftAnchor(), -8),
        o.podcastTitleLabel->heightAnchor().constraintEqualToConstant(20),
        o.downloadedLabel->topAnchor().constraintEqualTo(o.podcastTitleLabel->bottomAnchor(), 8),
        o.downloadedLabel->leftAnchor().constraintEqualTo(o.podcastTitleLabel->leftAnchor()),
        o.downloadedLabel->rightAnchor().constraintEqualTo(o.podcastTitleLabel->rightAnchor()),
        o.downloadedLabel->heightAnchor().constraintEqualToConstant(18),
        o.lastEpisodeLabel->topAnchor().constraintEqualTo(o.downloadedLabel->bottomAnchor(), 4),
        o.lastEpisodeLabel->leftAnchor().constraintEqualTo(o.podcastTitleLabel->leftAnchor()),
        o.lastEpisodeLabel->rightAnchor().constraintEqualTo(o.podcastTitleLabel->rightAnchor()),
        o.lastEpisodeLabel->heightAnchor().constraintEqualToConstant(18),
        // The row's own line along its bottom.
        o.customSeparator->leftAnchor().constraintEqualTo(content->leftAnchor(), margin),
        o.customSeparator->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        o.customSeparator->bottomAnchor().constraintEqualTo(content->bottomAnchor()),
        o.customSeparator->heightAnchor().constraintEqualToConstant(1),
    });
    build.add(cell);
    build.connect([cell, o] { cell->connect(o); });
    return true;
}

void OVLibraryPodcastCell::connect(const Outlets& o) {
    stImageView_ = o.stImageView;
    podcastTitleLabel_ = o.podcastTitleLabel;
    downloadedLabel_ = o.downloadedLabel;
    lastEpisodeLabel_ = o.lastEpisodeLabel;
    startNotificationButton_ = o.startNotificationButton;
    stopNotificationButton_ = o.stopNotificationButton;
    customSeparator_ = o.customSeparator;
}

void OVLibraryPodcastCell::awakeFromNib() {
    TableViewCell::awakeFromNib();
    setSelectionStyle(TableViewCellSelectionStyle::none);
    auto self = std::static_pointer_cast<OVLibraryPodcastCell>(shared_from_this());
    interactor_ = std::make_shared<OVLibraryPodcastCellInteractor>(std::static_pointer_cast<OVLibraryPodcastCellInput>(self));
    stImageView_->layer()->setCornerRadius(artworkCornerRadius);
    stImageView_->setImageContentMode(ContentMode::scaleAspectFill);
    startNotificationButton_->addTarget(self, &OVLibraryPodcastCell::didTapStartNotification, ControlEvents::touchUpInside);
    stopNotificationButton_->addTarget(self, &OVLibraryPodcastCell::didTapStopNotification, ControlEvents::touchUpInside);
}

void OVLibraryPodcastCell::update(const OVTheme& withTheme, const Color& andMainColor) {
    interactor_->update(withTheme, andMainColor);
}

void OVLibraryPodcastCell::update(const OVContent& withPodcast, const OVMock::UserData& andUserData) {
    interactor_->update(withPodcast, andUserData);
}

void OVLibraryPodcastCell::update(const OVLibraryPodcastCellModel::Style& style) {
    setBackgroundColor(style.backgroundColor);
    podcastTitleLabel_->setTextColor(style.podcastTitleTextColor);
    downloadedLabel_->setTextColor(style.downloadedTextColor);
    lastEpisodeLabel_->setTextColor(style.lastEpisodeTextColor);
    customSeparator_->setBackgroundColor(style.separatorColor);
    startNotificationButton_->setImage(style.startNotificationButtonImage, ControlState::normal);
    startNotificationButton_->setTintColor(style.startNotificationButtonTintColor);
    stopNotificationButton_->setImage(style.stopNotificationButtonImage, ControlState::normal);
    stopNotificationButton_->setHidden(true);
}

void OVLibraryPodcastCell::update(const OVLibraryPodcastCellModel::Data& data) {
    stImageView_->setUrl(data.image);
    podcastTitleLabel_->setText(data.podcastTitle);
    downloadedLabel_->setText(data.downloadedText);
    lastEpisodeLabel_->setText(data.lastEpisodeText);
    startNotificationButton_->setHidden(data.startNotificationButtonIsHidden);
    stopNotificationButton_->setHidden(data.stopNotificationButtonIsHidden);
}

void OVLibraryPodcastCell::didTapStartNotification(Button& /*sender*/) {
    // The podcast of the tap, whatever the row shows when the pop ends.
    const auto tapped = interactor_->podcast();
    tapAnimation(startNotificationButton_, [weak = weak_from_this(), tapped] {
        const auto row = std::static_pointer_cast<OVLibraryPodcastCell>(weak.lock());
        if (!row) return;
        const auto& shown = row->interactor_->podcast();
        if (shown == tapped) {
            row->startNotificationButton_->setHidden(true);
            row->stopNotificationButton_->setHidden(false);
        }
        row->interactor_->didToggleNotification(true, tapped);
    });
}

void OVLibraryPodcastCell::didTapStopNotification(Button& /*sender*/) {
    startNotificationButton_->setHidden(false);
    stopNotificationButton_->setHidden(true);
    interactor_->didToggleNotification(false, interactor_->podcast());
}

}  // namespace orvane
