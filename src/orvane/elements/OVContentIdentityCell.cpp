#include "orvane/elements/OVContentIdentityCell.hpp"

#include "orvane/elements/OVContentIdentityCellInteractor.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using platform::ui::Button;
using platform::ui::ControlState;
using platform::ui::LayoutConstraint;
using platform::ui::View;

namespace {

constexpr double artworkSide = 120;
constexpr double titleTopSpacing = 12;
constexpr double titleHeight = 32;
constexpr double subtitleHeight = 26;
constexpr double bottomSpacing = 16;

}  // namespace

OVContentIdentityCell::OVContentIdentityCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVContentIdentityCell::nib(platform::ui::NibBuild& build) {
    auto cell = std::make_shared<OVContentIdentityCell>(ConstructorKey{}, Rect{0, 0, 375, 231});
    const auto& content = cell->contentView();
    auto image = OVImageView::create(Rect{0, 0, artworkSide, artworkSide});
    auto title = OVScrollingLabel::create();
    auto subtitle = Button::create();
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(image), std::static_pointer_cast<View>(title),
                                              std::static_pointer_cast<View>(subtitle)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
    }
    image->setClipsToBounds(true);
    const auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        image->topAnchor().constraintEqualTo(margins.topAnchor()),
        image->centerXAnchor().constraintEqualTo(margins.centerXAnchor()),
        image->widthAnchor().constraintEqualToConstant(artworkSide),
        image->heightAnchor().constraintEqualToConstant(artworkSide),
        title->topAnchor().constraintEqualTo(image->bottomAnchor(), titleTopSpacing),
        title->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        title->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        title->heightAnchor().constraintEqualToConstant(titleHeight),
        subtitle->topAnchor().constraintEqualTo(title->bottomAnchor()),
        subtitle->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        subtitle->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        subtitle->heightAnchor().constraintEqualToConstant(subtitleHeight),
        margins.bottomAnchor().constraintEqualTo(subtitle->bottomAnchor(), bottomSpacing),
    });
    build.add(cell);
    build.connect([cell, image, title, subtitle] {
        cell->stImageView_ = image;
        cell->titleLabel_ = title;
        cell->subTitleLabel_ = subtitle;
    });
    return true;
}

void OVContentIdentityCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVContentIdentityCell>(shared_from_this());
    interactor_ = std::make_shared<OVContentIdentityCellInteractor>(std::static_pointer_cast<OVContentIdentityCellInput>(self));
    stImageView_->setImageContentMode(platform::ui::ContentMode::scaleAspectFill);
    stImageView_->layer()->setCornerRadius(2.0);
    titleLabel_->setFont(OVConstants::OVContentIdentityCell::episodeLabelFont());
    subTitleLabel_->addTarget(self, &OVContentIdentityCell::didTapSubtitle, platform::ui::ControlEvents::touchUpInside);
}

void OVContentIdentityCell::update(const OVTheme& theme, const Color& mainColor) {
    update(theme, std::optional<Color>(mainColor));
}

void OVContentIdentityCell::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVContentIdentityCell::update(const OVContent& withPodcast) {
    if (interactor_) interactor_->update(withPodcast);
}

void OVContentIdentityCell::update(const std::shared_ptr<OVTrack>& forEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(forEpisode, inPodcast);
}

void OVContentIdentityCell::update(const OVContentIdentityCellModel::Style& withViewModel) {
    setBackgroundColor(withViewModel.backgroundColor);
    titleLabel_->setTextColor(withViewModel.podcastTextColor);
    subTitleLabel_->setTitleColor(withViewModel.editorTextColor, ControlState::normal);
}

void OVContentIdentityCell::update(const OVContentIdentityCellModel::ContentData& withViewModel) {
    stImageView_->setUrl(withViewModel.image);
    titleLabel_->setText(withViewModel.title);
    subTitleLabel_->setTitle(withViewModel.subtitle, ControlState::normal);
}

void OVContentIdentityCell::didTapSubtitle() {
    if (auto delegate = delegate_.lock()) delegate->didTapSubtitle();
}

}  // namespace orvane
