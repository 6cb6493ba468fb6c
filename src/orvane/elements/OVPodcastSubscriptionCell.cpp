#include "orvane/elements/OVPodcastSubscriptionCell.hpp"

#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/ButtonExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane {

using platform::graphics::AffineTransform;
using platform::graphics::Color;
using platform::graphics::Image;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

// The spring the buttons switch with.
void spring(const ViewAnimation::Block& changes) {
    View::animate(0.6, 0, 0.55, 1.0, ViewAnimationOptions{.curve = ViewAnimationCurve::easeOut}, changes);
}

std::shared_ptr<Button> titledButton() {
    auto button = Button::create();
    button->setTranslatesAutoresizingMaskIntoConstraints(false);
    button->titleLabel()->setFont(Font::named("AvenirNext-DemiBold", 15));
    return button;
}

}  // namespace

OVPodcastSubscriptionCell::OVPodcastSubscriptionCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVPodcastSubscriptionCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVPodcastSubscriptionCell>(ConstructorKey{}, Rect{0, 0, 375, 77});
    auto content = cell->contentView();

    // A row of 40 points under the top margin, 12 above the bottom: the
    // subscribe and unsubscribe buttons in one place, the notification
    // buttons (one over the other) in a square after them.
    auto stack = View::create();
    stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(stack);

    auto subscribe = titledButton();
    if (auto plus = OVGetAsset::subscriptionPlusButton())
        subscribe->setImage(plus->withRenderingMode(Image::RenderingMode::alwaysTemplate), ControlState::normal);
    subscribe->setTintColor(Color::white());
    auto unsubscribe = titledButton();
    unsubscribe->setTitleColor(Color{0.52, 0.53, 0.55, 1}, ControlState::normal);
    unsubscribe->setHidden(true);
    auto notifications = View::create();
    notifications->setTranslatesAutoresizingMaskIntoConstraints(false);
    notifications->setHidden(true);
    auto start = Button::create();
    start->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto stop = Button::create();
    stop->setTranslatesAutoresizingMaskIntoConstraints(false);
    stop->setHidden(true);
    stack->addSubview(subscribe);
    stack->addSubview(unsubscribe);
    stack->addSubview(notifications);
    notifications->addSubview(start);
    notifications->addSubview(stop);

    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        stack->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        stack->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        stack->topAnchor().constraintEqualTo(margins.topAnchor()),
        stack->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -12),
        stack->heightAnchor().constraintEqualToConstant(40),
        subscribe->leadingAnchor().constraintEqualTo(stack->leadingAnchor()),
        subscribe->topAnchor().constraintEqualTo(stack->topAnchor()),
        subscribe->bottomAnchor().constraintEqualTo(stack->bottomAnchor()),
        subscribe->widthAnchor().constraintEqualToConstant(150),
        unsubscribe->leadingAnchor().constraintEqualTo(subscribe->leadingAnchor()),
        unsubscribe->trailingAnchor().constraintEqualTo(subscribe->trailingAnchor()),
        unsubscribe->topAnchor().constraintEqualTo(subscribe->topAnchor()),
        unsubscribe->bottomAnchor().constraintEqualTo(subscribe->bottomAnchor()),
        notifications->leadingAnchor().constraintEqualTo(subscribe->trailingAnchor(), 12),
        notifications->centerYAnchor().constraintEqualTo(stack->centerYAnchor()),
        notifications->widthAnchor().constraintEqualToConstant(40),
        notifications->heightAnchor().constraintEqualToConstant(40),
    });
    for (const auto& button : {start, stop}) {
        LayoutConstraint::activate({
            button->leadingAnchor().constraintEqualTo(notifications->leadingAnchor()),
            button->trailingAnchor().constraintEqualTo(notifications->trailingAnchor()),
            button->topAnchor().constraintEqualTo(notifications->topAnchor()),
            button->bottomAnchor().constraintEqualTo(notifications->bottomAnchor()),
        });
    }

    build.add(cell);
    build.connect([cell, stack, subscribe, unsubscribe, notifications, start, stop] {
        cell->stackViewContainer_ = stack;
        cell->subscribeButton_ = subscribe;
        cell->unsuscribeButton_ = unsubscribe;
        cell->notificationButtonsContainer_ = notifications;
        cell->notificationStartButton_ = start;
        cell->notificationStopButton_ = stop;
        subscribe->addTarget(cell, &OVPodcastSubscriptionCell::didTapSubscribeButton, ControlEvents::touchUpInside);
        unsubscribe->addTarget(cell, &OVPodcastSubscriptionCell::didTapUnsubscribeButton,
                               ControlEvents::touchUpInside);
        start->addTarget(cell, &OVPodcastSubscriptionCell::didTapStartNotificationButton,
                         ControlEvents::touchUpInside);
        stop->addTarget(cell, &OVPodcastSubscriptionCell::didTapStopNotificationButton, ControlEvents::touchUpInside);
    });
    return true;
}

void OVPodcastSubscriptionCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    interactor_ = std::make_shared<OVPodcastSubscriptionCellInteractor>(
        std::static_pointer_cast<OVPodcastSubscriptionCell>(shared_from_this()));
    permuteImageAndLabel(*subscribeButton_);
    subscribeButton_->layer()->setCornerRadius(OVConstants::OVPodcastSubscriptionCell::cornerRadius);
    unsuscribeButton_->layer()->setCornerRadius(OVConstants::OVPodcastSubscriptionCell::cornerRadius);
    stackViewContainer_->layer()->setMasksToBounds(false);
    unsuscribeButton_->layer()->setBorderWidth(1.0);
    subscribeButton_->setTitle(localized("PODCAST_SUBSCRIPTION_PAGE_ELEMENT_SUBSCRIBE"), ControlState::normal);
    unsuscribeButton_->setTitle(localized("PODCAST_SUBSCRIPTION_PAGE_ELEMENT_UNSUBSCRIBE"), ControlState::normal);
}

// ---- Taps ----

void OVPodcastSubscriptionCell::ask(OVSubscription type, bool value,
                                    void (OVPodcastSubscriptionCell::*onSuccess)(bool, bool)) {
    auto delegate = delegate_.lock();
    if (!delegate) return;
    auto self = std::static_pointer_cast<OVPodcastSubscriptionCell>(shared_from_this());
    delegate->subscription(type, value, [self, onSuccess, value](bool success) {
        if (success) ((*self).*onSuccess)(value, true);
    });
}

void OVPodcastSubscriptionCell::didTapSubscribeButton() {
    ask(OVSubscription::podcast, true, &OVPodcastSubscriptionCell::updatePodcastSubscription);
}

void OVPodcastSubscriptionCell::didTapUnsubscribeButton() {
    ask(OVSubscription::podcast, false, &OVPodcastSubscriptionCell::updatePodcastSubscription);
}

void OVPodcastSubscriptionCell::didTapStartNotificationButton() {
    std::weak_ptr<OVPodcastSubscriptionCell> weak =
        std::static_pointer_cast<OVPodcastSubscriptionCell>(shared_from_this());
    tapAnimation(notificationStartButton_, [weak] {
        if (auto self = weak.lock())
            self->ask(OVSubscription::notification, true, &OVPodcastSubscriptionCell::updateNotificationSubscription);
    });
}

void OVPodcastSubscriptionCell::didTapStopNotificationButton() {
    ask(OVSubscription::notification, false, &OVPodcastSubscriptionCell::updateNotificationSubscription);
}

// ---- Updates ----

void OVPodcastSubscriptionCell::updatePodcastSubscription(bool podcastSubscription, bool animateChange) {
    interactor_->updatePodcastSubscription(podcastSubscription, animateChange);
}

void OVPodcastSubscriptionCell::updateNotificationSubscription(bool notificationSubscription, bool animateChange) {
    interactor_->updateNotificationSubscription(notificationSubscription, animateChange);
}

void OVPodcastSubscriptionCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, std::optional<Color>(mainColor));
}

void OVPodcastSubscriptionCell::update(const OVTheme& theme, const std::optional<Color>& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVPodcastSubscriptionCell::update(const OVPodcastSubscriptionCellModel::Style& viewModel) {
    subscribeButton_->setBackgroundColor(viewModel.subscribeButtonBackgroundColor);
    unsuscribeButton_->layer()->setBorderColor(viewModel.unsuscribeButtonBorderColor);
    notificationStartButton_->setTintColor(viewModel.notificaitonStartButtonTintColor);
    notificationStartButton_->setImage(viewModel.notificationStartButtonImage, ControlState::normal);
    notificationStopButton_->setImage(viewModel.notificationStopButtonImage, ControlState::normal);
}

void OVPodcastSubscriptionCell::update(const OVPodcastSubscriptionCellModel::PodcastSubscription& viewModel) {
    subscribeButton_->setHidden(viewModel.subscribeButtonIsHidden);
    unsuscribeButton_->setHidden(viewModel.unsubscribeButtonIsHidden);
    const bool hide = viewModel.notificationButtonsContainerIsHidden;
    const AffineTransform scale = hide ? AffineTransform::scale(0, 0) : AffineTransform::scale(1, 1);
    auto container = notificationButtonsContainer_;
    if (viewModel.animateChange) {
        std::weak_ptr<View> weak = shared_from_this();
        spring([container, weak, hide, scale] {
            container->setHidden(hide);
            container->setTransform(scale);
            if (auto self = weak.lock()) self->layoutIfNeeded();
        });
    } else {
        container->setHidden(hide);
        container->setTransform(scale);
    }
}

void OVPodcastSubscriptionCell::update(const OVPodcastSubscriptionCellModel::NotificationSubscrption& viewModel) {
    auto start = notificationStartButton_;
    auto stop = notificationStopButton_;
    const auto apply = [start, stop, viewModel] {
        start->setHidden(viewModel.notificationStartButtonIsHidden);
        stop->setHidden(viewModel.notificationStopButtonIsHidden);
    };
    if (viewModel.animateChange) {
        spring(apply);
    } else {
        apply();
    }
}

}  // namespace orvane
