// The library page: the root page of the screen left of the main screen. It
// shows the listener's library (the podcasts of `OVMock::UserData`) as one
// element, the podcasts list, refreshed from the library without animation
// each time the page is about to appear. Choosing a podcast opens its page
// on the library screen; a row's notification switch is recorded through
// the coordinator (a switch-on that the library holds shows a confirmation
// popup). A button on the right of the bar pages to the main screen.
//
// Also the confirmation texts: the attributed messages the root container
// shows in its transient popup after an episode is saved or a subscription
// is made (static, stateless; called by the presenters of the main, podcast
// and library pages).
//
// Made only by `OVPage::create<OVLibraryPage>(coordinator)`; owns its
// presenter. Main thread, as interface code.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVSubscription.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVLibraryPageInteractorInput.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVLibraryPage : public OVPage, public OVLibraryPageUserAction {
public:
    explicit OVLibraryPage(ConstructorKey key);
    ~OVLibraryPage() override;
    // The second phase of `create`: the title, the presenter and the
    // podcasts list, whose cell reports to this page.
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    // Passed unchanged to the presenter.
    void update(OVPageElements pageElements);
    void update(const OVMock::UserData& withUserData);
    // Also keeps the colours: the page dresses its rows in them from then on
    // (before, in those of the widget's last state at each appearance).
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    using OVPage::update;

    // ---- OVLibraryPageUserAction, passed unchanged to the presenter ----
    void didSelectPodcast(const OVContent& podcast) override;
    void didToggleNotification(const OVContent& forPodcast, bool isActive) override;

    // The right button, paging forward to the main screen.
    void initializeNavigationButtons() override;
    // The table's data source set again, the list refreshed from the library
    // inside one table batch without animation, the bar shown.
    void viewWillAppear(bool animated) override;

    // ---- Confirmation texts ----
    // "Saved: <title> in your library": the localized
    // "POPUP_ADD_EPISODE_MESSAGE" with the episode's title in bold.
    static std::optional<platform::ui::AttributedString> popupAttributedText(const OVTrack& forEpisode);
    // The localized confirmation of the kind of subscription with the
    // podcast's title (empty when none) in bold.
    static std::optional<platform::ui::AttributedString> popupAttributedText(
        OVSubscription forSuscription, const std::optional<std::string>& forPodcastWithtitle);

    // The message key of each builder's confirmation.
    static constexpr std::string_view addEpisodeMessageKey = "POPUP_ADD_EPISODE_MESSAGE";
    static std::string_view messageKey(OVSubscription subscription);

    // The shared step of both builders: `message` in white `font`, its first
    // "#" replaced by `highlighted` in white `boldFont`. None when either
    // font is missing or the message has no "#".
    static std::optional<platform::ui::AttributedString> popupAttributedText(
        std::string_view message, std::string_view highlighted, const OVConstants::OptionalFont& font,
        const OVConstants::OptionalFont& boldFont);

private:
    std::shared_ptr<OVLibraryPageInteractorInput> interactor_;
    bool lookGiven_ = false;
};

}  // namespace orvane
