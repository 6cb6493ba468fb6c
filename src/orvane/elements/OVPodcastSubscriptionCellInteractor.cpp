#include "orvane/elements/OVPodcastSubscriptionCellInteractor.hpp"

#include "orvane/model/OVGetAsset.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;

void OVPodcastSubscriptionCellInteractor::update(const OVTheme& theme, const std::optional<Color>& mainColor) {
    const Color main = mainColor.value_or(Color{0, 0, 1, 1});
    auto start = OVGetAsset::startNotificationButton();
    auto stop = OVGetAsset::stopNotificationButton();
    const OVPodcastSubscriptionCellModel::Style style{
        main,
        theme.separatorColor(),
        main,
        start ? std::optional<Image>(start->withRenderingMode(Image::RenderingMode::alwaysTemplate)) : std::nullopt,
        stop ? std::optional<Image>(stop->withRenderingMode(Image::RenderingMode::alwaysOriginal)) : std::nullopt,
    };
    if (auto view = view_.lock()) view->update(style);
}

void OVPodcastSubscriptionCellInteractor::updatePodcastSubscription(bool podcastSubscription, bool animateChange) {
    const OVPodcastSubscriptionCellModel::PodcastSubscription model{podcastSubscription, !podcastSubscription,
                                                                     !podcastSubscription, animateChange};
    if (auto view = view_.lock()) view->update(model);
}

void OVPodcastSubscriptionCellInteractor::updateNotificationSubscription(bool notificationSubscription,
                                                                         bool animateChange) {
    const OVPodcastSubscriptionCellModel::NotificationSubscrption model{notificationSubscription,
                                                                        !notificationSubscription, animateChange};
    if (auto view = view_.lock()) view->update(model);
}

}  // namespace orvane
