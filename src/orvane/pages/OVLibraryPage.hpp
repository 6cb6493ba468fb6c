// The library page: the listener's saved episodes and subscribed podcasts.
// Also the confirmation texts: the attributed messages the root container
// shows in its transient popup after an episode is saved or a subscription
// is made (static, stateless; called by the presenters of the main, podcast
// and library pages). Made only by `OVPage::create<OVLibraryPage>`.
// Main thread, as interface code.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/model/OVSubscription.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVLibraryPage : public OVPage {
public:
    explicit OVLibraryPage(ConstructorKey key);
    ~OVLibraryPage() override;
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

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
};

}  // namespace orvane
