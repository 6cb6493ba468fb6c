// The podcast page's presenter and its table's data source: one row per
// element, each row its element's own cell. It keeps the podcast shown and
// the widget's current episode, hands them, the theme and the player status
// to the element cells, records subscription changes through the
// coordinator (asking first, in an action sheet on the root container,
// before an unsubscription) and reports a change as done, with its popup,
// only once the listener's library holds it; it keeps saved episodes in the
// library, confirms their removal in a sheet, passes episode choices to the
// coordinator and opens the episode page of a row's details.
//
// Made by its page (which owns it) with the page and the coordinator, both
// held weakly: a step that needs one of them is skipped when it is gone.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageProtocol.hpp"
#include "orvane/pages/OVPodcastPageInteractorInput.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace platform::ui {
class View;
}

namespace orvane {

class OVPodcastPageInteractor : public OVPodcastPageInteractorInput,
                                public std::enable_shared_from_this<OVPodcastPageInteractor> {
    struct Token {
        explicit Token() = default;
    };

public:
    static std::shared_ptr<OVPodcastPageInteractor> create(const std::shared_ptr<OVPageProtocol>& page,
                                                           const std::shared_ptr<OVPageCoordinator>& coordinator);
    OVPodcastPageInteractor(Token, const std::shared_ptr<OVPageProtocol>& page,
                            const std::shared_ptr<OVPageCoordinator>& coordinator)
        : coordinator_(coordinator), page_(page) {}

    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    std::shared_ptr<OVPageProtocol> page() const { return page_.lock(); }
    const std::optional<OVContent>& podcast() const { return podcast_; }
    const std::shared_ptr<OVTrack>& episode() const { return episode_; }
    const OVPageElements& pageElements() const override { return pageElements_; }

    // ---- OVPodcastPageInteractorInput ----
    void update(OVPageElements pageElements) override { pageElements_ = std::move(pageElements); }
    // Every cell takes the theme; nothing is kept.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    // Sets the podcast (once, by the page's creator): the subscription
    // buttons from the library, the description collapsed, and the podcast
    // to every other cell that shows one.
    void update(const OVContent& forPodcast) override;
    // The episode list marks the current episode; the podcast shown stays.
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void updateForCurrentPodcast() override;

    // To the coordinator, when there is one.
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override;
    // Asks in a sheet; `executeAction` runs only on the destructive choice.
    void didLongPress(const std::shared_ptr<OVTrack>& episode, const OVContent& forPodcastInSavedSection,
                      std::function<void()> executeAction) override;
    // Pushes a new episode page for the pair, its podcast link switched off.
    void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) override;
    // Nothing before the podcast is set. An unsubscription is asked first;
    // every other change is made at once. The completion gets true (and a
    // subscription its popup) only when the library holds the change
    // afterwards, else false, with one debug line. Then the notification
    // buttons are read again from the library.
    void subscription(OVSubscription forType, bool didChangeToValue,
                      std::function<void(bool)> withCompletion) override;
    // Keeps the episode in the library and shows the saved popup.
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;

    // ---- TableViewDataSource ----
    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

private:
    // Makes the change in the library through the coordinator, then reports.
    void executeAction(OVSubscription kind, bool value, const OVContent& podcast,
                       const std::function<void(bool)>& completion);
    void updateSubscriptionButtons(const OVContent& podcast, bool podcastPair);
    // A destructive choice and "CANCEL", presented on the root container,
    // pointing at `anchor` where a popover is needed. False when there is no
    // container to present on or it refused.
    bool presentActionSheet(std::string_view titleKey, std::string_view destructiveKey,
                            std::function<void()> onDestructive, const std::shared_ptr<platform::ui::View>& anchor);
    void displayPopup(const std::optional<platform::ui::AttributedString>& text);

    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVPageProtocol> page_;
    std::optional<OVContent> podcast_;
    std::shared_ptr<OVTrack> episode_;
    OVPageElements pageElements_;
};

}  // namespace orvane
