#include "orvane/elements/OVShareTableViewCell.hpp"

#include "orvane/model/OVGetAsset.hpp"
#include "orvane/toolkit/ButtonExtensions.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;
using platform::graphics::Rect;
using namespace platform::ui;

OVShareTableViewCell::OVShareTableViewCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVShareTableViewCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVShareTableViewCell>(ConstructorKey{}, Rect{0, 0, 375, 81});
    auto content = cell->contentView();

    // The link button from the left margin, 44 points high, the platform
    // button a square after it; 12 points under them.
    auto sendUp = Button::create();
    sendUp->setTranslatesAutoresizingMaskIntoConstraints(false);
    sendUp->titleLabel()->setFont(Font::named("AvenirNext-DemiBold", 15));
    if (auto arrow = Image::named("NavigationRightArrowButton"))
        sendUp->setImage(arrow->withRenderingMode(Image::RenderingMode::alwaysTemplate), ControlState::normal);
    sendUp->setTintColor(Color::white());
    auto platformButton = Button::create();
    platformButton->setTranslatesAutoresizingMaskIntoConstraints(false);
    // A grey that reads on the light and the dark background alike.
    const Color grey{0.52, 0.53, 0.55, 1};
    if (auto share = Image::named("ShareButton-Light"))
        platformButton->setImage(share->withRenderingMode(Image::RenderingMode::alwaysTemplate), ControlState::normal);
    platformButton->setTintColor(grey);
    platformButton->layer()->setCornerRadius(22);
    platformButton->layer()->setBorderWidth(1);
    platformButton->layer()->setBorderColor(grey);
    content->addSubview(sendUp);
    content->addSubview(platformButton);

    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        sendUp->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        sendUp->topAnchor().constraintEqualTo(margins.topAnchor()),
        sendUp->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -12),
        sendUp->heightAnchor().constraintEqualToConstant(44),
        sendUp->widthAnchor().constraintEqualToConstant(200),
        platformButton->leadingAnchor().constraintEqualTo(sendUp->trailingAnchor(), 12),
        platformButton->centerYAnchor().constraintEqualTo(sendUp->centerYAnchor()),
        platformButton->widthAnchor().constraintEqualToConstant(44),
        platformButton->heightAnchor().constraintEqualToConstant(44),
    });

    build.add(cell);
    build.connect([cell, sendUp, platformButton] {
        cell->sendUpButton_ = sendUp;
        cell->applePodcastsButton_ = platformButton;
        sendUp->addTarget(cell, &OVShareTableViewCell::didTapSendUpButton, ControlEvents::touchUpInside);
        platformButton->addTarget(cell, &OVShareTableViewCell::didTapApplePodcastsButton,
                                  ControlEvents::touchUpInside);
    });
    return true;
}

void OVShareTableViewCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    initializeUI();
}

void OVShareTableViewCell::initializeUI() {
    setSelectionStyle(TableViewCellSelectionStyle::none);
    permuteImageAndLabel(*sendUpButton_);
    sendUpButton_->layer()->setCornerRadius(2);
    sendUpButton_->layer()->setMasksToBounds(true);
}

void OVShareTableViewCell::initialize(const OVTheme& theme, const Color& mainColor, std::vector<OVCallToAction> ctas) {
    contentView()->setBackgroundColor(theme.backgroundColor());
    sendUpButton_->setBackgroundColor(mainColor);
    std::weak_ptr<OVShareTableViewCell> weak = std::static_pointer_cast<OVShareTableViewCell>(shared_from_this());
    viewModel_->setUpdateCtas([weak](const std::vector<OVCallToAction>& list) {
        if (auto self = weak.lock()) self->showButtons(list);
    });
    viewModel_->initialize(theme, mainColor, std::move(ctas));
}

void OVShareTableViewCell::showButtons(const std::vector<OVCallToAction>& ctas) {
    const auto title = OVShareCellViewModel::sendUpTitle(ctas);
    if (title) sendUpButton_->setTitle(*title, ControlState::normal);
    sendUpButton_->setHidden(!title);
    applePodcastsButton_->setHidden(!OVShareCellViewModel::showsApplePodcasts(ctas));
}

void OVShareTableViewCell::didTapSendUpButton() { viewModel_->didTapSendUpButton(); }

void OVShareTableViewCell::didTapApplePodcastsButton() { viewModel_->didTapApplePodcast(); }

}  // namespace orvane
