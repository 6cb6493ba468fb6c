// The records the subscription element's interactor hands its cell: the
// colours and images of a theme, which of the subscribe / unsubscribe
// buttons and the notification buttons' container show, and which of the
// two notification buttons shows, each with whether the change animates.
// Plain values; main thread.
#pragma once

#include <optional>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"

namespace orvane {

struct OVPodcastSubscriptionCellModel {
    struct Style {
        platform::graphics::Color subscribeButtonBackgroundColor;
        platform::graphics::Color unsuscribeButtonBorderColor;
        platform::graphics::Color notificaitonStartButtonTintColor;
        std::optional<platform::graphics::Image> notificationStartButtonImage;
        std::optional<platform::graphics::Image> notificationStopButtonImage;
    };
    struct PodcastSubscription {
        bool subscribeButtonIsHidden = false;
        bool unsubscribeButtonIsHidden = true;
        bool notificationButtonsContainerIsHidden = true;
        bool animateChange = false;
        friend bool operator==(const PodcastSubscription&, const PodcastSubscription&) = default;
    };
    struct NotificationSubscrption {
        bool notificationStartButtonIsHidden = false;
        bool notificationStopButtonIsHidden = true;
        bool animateChange = false;
        friend bool operator==(const NotificationSubscrption&, const NotificationSubscrption&) = default;
    };
};

}  // namespace orvane
