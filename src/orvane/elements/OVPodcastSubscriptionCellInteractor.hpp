// The subscription element's interactor: turns the theme and the two flags
// the podcast page gives (podcast subscribed, notifications on) into the
// records of `OVPodcastSubscriptionCellModel` and hands each to its view.
// It keeps no state of its own. The cell owns it; it holds the cell weakly
// and drops records once the cell is gone. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/elements/OVPodcastSubscriptionCellModel.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

// What the interactor hands back: adopted by the cell, which only applies
// each record to its buttons.
class OVPodcastSubscriptionCellInput {
public:
    virtual ~OVPodcastSubscriptionCellInput() = default;
    virtual void update(const OVPodcastSubscriptionCellModel::Style& viewModel) = 0;
    virtual void update(const OVPodcastSubscriptionCellModel::PodcastSubscription& viewModel) = 0;
    virtual void update(const OVPodcastSubscriptionCellModel::NotificationSubscrption& viewModel) = 0;
};

// What the cell forwards, unchanged.
class OVPodcastSubscriptionCellInteractorInput {
public:
    virtual ~OVPodcastSubscriptionCellInteractorInput() = default;
    virtual void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor) = 0;
    virtual void updatePodcastSubscription(bool podcastSubscription, bool animateChange) = 0;
    virtual void updateNotificationSubscription(bool notificationSubscription, bool animateChange) = 0;
};

class OVPodcastSubscriptionCellInteractor final : public OVPodcastSubscriptionCellInteractorInput {
public:
    explicit OVPodcastSubscriptionCellInteractor(std::weak_ptr<OVPodcastSubscriptionCellInput> view)
        : view_(std::move(view)) {}

    // Subscribe background and start tint: the main colour, pure blue without
    // one; unsubscribe border: the theme's separator colour; the start image
    // as a template (it takes the tint), the stop image as drawn.
    void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor) override;
    // Subscribed: the unsubscribe button and the notification buttons show;
    // otherwise the subscribe button alone.
    void updatePodcastSubscription(bool podcastSubscription, bool animateChange) override;
    // On: the stop button shows; off: the start button.
    void updateNotificationSubscription(bool notificationSubscription, bool animateChange) override;

private:
    std::weak_ptr<OVPodcastSubscriptionCellInput> view_;
};

}  // namespace orvane
