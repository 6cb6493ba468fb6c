// The podcast page's subscribe and notification buttons. The podcast page
// sets the two flags (podcast subscribed, notifications on) and the theme;
// a tap asks the delegate (the podcast page) for the change, and only when
// its completion reports success do the buttons switch, with a spring.
// The cell keeps no subscription state: what shows is the last record its
// interactor handed it.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element; `awakeFromNib` makes the
// interactor, which the cell owns. Main thread only; owned by its element.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVPodcastSubscriptionCellDelegate.hpp"
#include "orvane/elements/OVPodcastSubscriptionCellInteractor.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

class OVPodcastSubscriptionCell : public OVPageElementTableViewCell, public OVPodcastSubscriptionCellInput {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVPodcastSubscriptionCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVPodcastSubscriptionCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // Outlets.
    const std::shared_ptr<platform::ui::View>& stackViewContainer() const { return stackViewContainer_; }
    const std::shared_ptr<platform::ui::Button>& subscribeButton() const { return subscribeButton_; }
    const std::shared_ptr<platform::ui::Button>& unsuscribeButton() const { return unsuscribeButton_; }
    const std::shared_ptr<platform::ui::View>& notificationButtonsContainer() const {
        return notificationButtonsContainer_;
    }
    const std::shared_ptr<platform::ui::Button>& notificationStartButton() const { return notificationStartButton_; }
    const std::shared_ptr<platform::ui::Button>& notificationStopButton() const { return notificationStopButton_; }

    std::shared_ptr<OVPodcastSubscriptionCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPodcastSubscriptionCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // The buttons' actions: each asks the delegate for its change and
    // switches the buttons, animated, once the completion says true.
    virtual void didTapSubscribeButton();
    virtual void didTapUnsubscribeButton();
    // Plays the button's pop first and asks in its completion.
    virtual void didTapStartNotificationButton();
    virtual void didTapStopNotificationButton();

    // The page's calls, forwarded to the interactor.
    virtual void updatePodcastSubscription(bool podcastSubscription, bool animateChange);
    virtual void updateNotificationSubscription(bool notificationSubscription, bool animateChange);
    // The theme hook; without a main colour the buttons take pure blue.
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor);

    // ---- OVPodcastSubscriptionCellInput ----
    void update(const OVPodcastSubscriptionCellModel::Style& viewModel) override;
    void update(const OVPodcastSubscriptionCellModel::PodcastSubscription& viewModel) override;
    void update(const OVPodcastSubscriptionCellModel::NotificationSubscrption& viewModel) override;

    void awakeFromNib() override;

private:
    // Asks the delegate, if any, for (type, value); `onSuccess` runs on the
    // cell, kept alive by the completion, when it is called with true.
    void ask(OVSubscription type, bool value, void (OVPodcastSubscriptionCell::*onSuccess)(bool, bool));

    std::shared_ptr<platform::ui::View> stackViewContainer_;
    std::shared_ptr<platform::ui::Button> subscribeButton_;
    std::shared_ptr<platform::ui::Button> unsuscribeButton_;
    std::shared_ptr<platform::ui::View> notificationButtonsContainer_;
    std::shared_ptr<platform::ui::Button> notificationStartButton_;
    std::shared_ptr<platform::ui::Button> notificationStopButton_;
    std::shared_ptr<OVPodcastSubscriptionCellInteractorInput> interactor_;
    std::weak_ptr<OVPodcastSubscriptionCellDelegate> delegate_;
};

}  // namespace orvane
