#include "orvane/elements/OVEpisodePlayCell.hpp"

#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

OVEpisodePlayCell::OVEpisodePlayCell(ConstructorKey key, const Rect& frame) : OVPageElementTableViewCell(key, frame) {}

bool OVEpisodePlayCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVEpisodePlayCell>(ConstructorKey{}, Rect{0, 0, 375, 81});
    auto content = cell->contentView();

    // The button and the label share one place: 44 points high under the
    // top margin, 12 above the bottom, as wide as the content margins allow.
    auto button = Button::create();
    button->setTranslatesAutoresizingMaskIntoConstraints(false);
    button->titleLabel()->setFont(Font::named("AvenirNext-DemiBold", 16));
    auto label = Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setFont(Font::named("AvenirNext-DemiBold", 16));
    label->setTextAlignment(TextAlignment::center);
    label->setHidden(true);
    content->addSubview(button);
    content->addSubview(label);

    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        button->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        button->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        button->topAnchor().constraintEqualTo(margins.topAnchor()),
        button->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -12),
        button->heightAnchor().constraintEqualToConstant(44),
        label->leadingAnchor().constraintEqualTo(button->leadingAnchor()),
        label->trailingAnchor().constraintEqualTo(button->trailingAnchor()),
        label->topAnchor().constraintEqualTo(button->topAnchor()),
        label->bottomAnchor().constraintEqualTo(button->bottomAnchor()),
    });

    build.add(cell);
    build.connect([cell, button, label] {
        cell->playButton_ = button;
        cell->infoLabel_ = label;
        button->addTarget(cell, &OVEpisodePlayCell::didTapPlayButton, ControlEvents::touchUpInside);
    });
    return true;
}

void OVEpisodePlayCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    interactor_ =
        std::make_shared<OVEpisodePlayCellInteractor>(std::static_pointer_cast<OVEpisodePlayCell>(shared_from_this()));
    playButton_->layer()->setCornerRadius(OVConstants::OVEpisodePlayCell::cornerRadius);
    infoLabel_->layer()->setCornerRadius(OVConstants::OVEpisodePlayCell::cornerRadius);
    infoLabel_->layer()->setBorderWidth(1.0);
    playButton_->setTitle(localized("EPISODE_PLAY_PAGE_ELEMENT_PLAY"), ControlState::normal);
    infoLabel_->setText(localized("EPISODE_PLAY_PAGE_ELEMENT_PLAYING"));
}

void OVEpisodePlayCell::didTapPlayButton() {
    if (auto delegate = delegate_.lock()) delegate->didTapPlay();
}

void OVEpisodePlayCell::update(bool isCurrentTrack) { interactor_->update(isCurrentTrack); }

void OVEpisodePlayCell::update(OVAudioPlayerStatus audioStatus) { interactor_->update(audioStatus); }

void OVEpisodePlayCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, std::optional<Color>(mainColor));
}

void OVEpisodePlayCell::update(const OVTheme& theme, const std::optional<Color>& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVEpisodePlayCell::update(const OVEpisodePlayCellModel::Style& viewModel) {
    playButton_->setBackgroundColor(viewModel.playButtonColor);
    infoLabel_->setTextColor(viewModel.infoLabelTextColor);
    infoLabel_->layer()->setBorderColor(viewModel.infoLabelBorderColor);
}

void OVEpisodePlayCell::update(const OVEpisodePlayCellModel::Status& viewModel) {
    playButton_->setHidden(viewModel.playButtonIsHidden);
    playButton_->setTitle(viewModel.playButtonText, ControlState::normal);
    infoLabel_->setHidden(viewModel.infoLabelIsHidden);
}

}  // namespace orvane
