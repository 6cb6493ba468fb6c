// The coordinator: the hub between the listener, the audio player and the
// widget. Created by the facade at each start, it owns the audio player and
// the now-playing integration and is the delegate of both: the player's
// reports become widget events, and the lock screen's and the views' player
// actions become player and tracking actions sent to the widget. Only seeks
// and the reaction to audio interruptions act on the audio player directly;
// play and pause are asked of the widget, which answers with its own messages.
//
// Main-thread only; owned by the facade.
#pragma once

#include <memory>

#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/playback/OVNowPlaying.hpp"

namespace orvane {

class OVCoordinator : public OVAudioPlayerDelegate,
                      public OVPlayerUserActionDelegate,
                      public std::enable_shared_from_this<OVCoordinator> {
    struct Token {
        explicit Token() = default;
    };

public:
    explicit OVCoordinator(Token) {}
    // Creates the audio player and the now-playing integration, becomes their
    // delegate, then sends the player-open action to the widget.
    static std::shared_ptr<OVCoordinator> create();
    OVCoordinator(const OVCoordinator&) = delete;
    OVCoordinator& operator=(const OVCoordinator&) = delete;

    const std::shared_ptr<OVAudioPlayer>& player() const { return player_; }
    const std::shared_ptr<OVNowPlaying>& nowPlaying() const { return nowPlaying_; }

    // Starts the audio player directly.
    void play();
    // Cancels playback, ends the remote-control events, then sends the
    // player-close action and the close tracking action.
    void quit();

    // ---- OVPlayerUserActionDelegate ----
    void didTapBackward() override;
    void didTapPlay() override;
    void didTapPause() override;
    void didTapForward() override;
    void didChangeSlider(float value, std::function<void(bool)> completionHandler) override;
    void didTogglePlayPause() override;

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

    std::shared_ptr<OVAudioPlayer> player_;
    std::shared_ptr<OVNowPlaying> nowPlaying_;
};

}  // namespace orvane
