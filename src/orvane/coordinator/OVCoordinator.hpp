// The coordinator: the hub between the listener, the audio player and the
// widget. Created by the facade at each start, it owns the audio player, the
// now-playing integration and the chip and is the delegate of each: the
// player's reports become widget events, the lock screen's and the views'
// player actions become player and tracking actions sent to the widget, and
// the chip's tap asks to open the root container. Only seeks and the
// reaction to audio interruptions act on the audio player directly; play and
// pause are asked of the widget, which answers with its own messages.
//
// Pages, presenters and elements reach it through `OVPageCoordinator`: an
// episode's selection (asked of the widget, or a toggle of play and pause for
// the current one), an episode's download (whose status changes go on to the
// root container), a subscription change (kept in the listener's library)
// and the share actions (which do nothing).
//
// Main-thread only; owned by the facade.
#pragma once

#include <memory>

#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/playback/OVNowPlaying.hpp"
#include "orvane/presentation/OVOpenCloseExpandDelegate.hpp"

namespace orvane {

class OVChip;
class OVFanViewController;

class OVCoordinator : public OVAudioPlayerDelegate,
                      public OVPageCoordinator,
                      public OVOpenCloseExpandDelegate,
                      public OVTrackDownloadDelegate,
                      public std::enable_shared_from_this<OVCoordinator> {
    struct Token {
        explicit Token() = default;
    };

public:
    explicit OVCoordinator(Token);
    ~OVCoordinator() override;
    // Creates the audio player, the now-playing integration and the chip
    // (which its state manager places later), becomes their delegate, then
    // sends the player-open action to the widget.
    static std::shared_ptr<OVCoordinator> create();
    OVCoordinator(const OVCoordinator&) = delete;
    OVCoordinator& operator=(const OVCoordinator&) = delete;

    const std::shared_ptr<OVAudioPlayer>& player() const { return player_; }
    const std::shared_ptr<OVNowPlaying>& nowPlaying() const { return nowPlaying_; }
    // The root container last presented (kept until the next one); the
    // download status changes go to it.
    const std::shared_ptr<OVFanViewControllerProtocol>& fanVC() const { return fanVC_; }
    void setFanVC(std::shared_ptr<OVFanViewControllerProtocol> fanVC) { fanVC_ = std::move(fanVC); }

    // Starts the audio player directly.
    void play();
    // Cancels playback, takes the chip off screen and drops it, dismisses
    // the last root container (when one was presented), ends the
    // remote-control events, then sends the player-close action and the
    // close tracking action.
    void quit();

    // ---- OVOpenCloseExpandDelegate ----
    // Quits at once while the player is paused; while it loads or plays the
    // listener is asked first by the root container's quit sheet, and
    // without a root container nothing happens.
    void didTapClose() override;
    // Puts the root container away, when one is shown; listening goes on.
    void didTapSwipeDown() override;
    // The chip's tap: the facade's current coordinator presents the root
    // container.
    void didTapOpenExapnd() override;

    // ---- OVPlayerUserActionDelegate ----
    void didTapBackward() override;
    void didTapPlay() override;
    void didTapPause() override;
    void didTapForward() override;
    void didChangeSlider(float value, std::function<void(bool)> completionHandler) override;
    void didTogglePlayPause() override;

    // ---- OVEpisodeSelectionDelegate ----
    // The widget's current episode toggles play and pause (from the widget's
    // last state); any other asks the widget to select it, with the JSON
    // {"key": <the episode's key>} as payload. The podcast is not used.
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override;

    // ---- OVUserTrackDownloadAction, OVTrackDownloadDelegate ----
    // Becomes the episode's download delegate and starts its download.
    void didTapDownload(const std::shared_ptr<OVTrack>& forTrack) override;
    // Passes each status change on to the root container, when there is one.
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack, const OVTrack::DownloadStatus& to) override;

    // ---- OVPodcastSubscriptionProtocol ----
    // Adds (true) or removes (false) that kind of subscription to the podcast
    // in the listener's library.
    void subscription(OVSubscription forType, const OVContent& andPodcast, bool didChangeToValue) override;

    // ---- OVShareTableViewCellDelegate: nothing ----
    void didTapSendUpButton() override {}
    void didTapApplePodcastsButton() override {}

    // ---- OVAudioPlayerDelegate ----
    void audioDurationIsKnown(double duration) override;
    void audioPositionDidChange(OVAudioPosition position) override;
    void audioStatusDidChange(OVAudioPlayerStatus status) override;
    void audioDidEnd() override;
    void audioInterruptionBegan() override;
    void audioInterruptionEnded(bool shouldResume) override;

private:
    // Sends the player's position, when known, as a user time update.
    void sendUserTimeUpdate();
    // Shows a new root container (the storyboard "OVStoryboard") over the
    // host's root view controller, as a bottom sheet or, at regular width, a
    // side panel; one still presented is dismissed first. Without the root
    // controller or the storyboard's container nothing is presented. The
    // half-screen tracking goes once the presentation has started.
    void presentExpandViewController(std::function<void()> withCompletion);
    // The last container presented, as the container itself.
    std::shared_ptr<OVFanViewController> rootContainer() const;

    std::shared_ptr<OVAudioPlayer> player_;
    std::shared_ptr<OVFanViewControllerProtocol> fanVC_;
    std::shared_ptr<OVChip> chip_;
    std::shared_ptr<OVNowPlaying> nowPlaying_;
};

}  // namespace orvane
