// The component's audio engine. It plays one OVAVPlayer at a time (from the
// disk cache or streamed through a caching item), keeps the three-valued
// playback status and turns what the media layer reports (periodic time, item
// status, stalls, end of item, audio-session interruptions, download
// failures) into status changes and reports to its delegate, the coordinator.
// It is also the widget bridge's delegate: the widget's "setSource", "play",
// "pause" and "getCurrentTime" arrive here.
//
// A watchdog timer (1.0 s) turns `playing` into `loading` when the periodic
// time callback (every 0.5 s of media time) has not come for more than a
// second, and the next callback turns it back. The timer holds the player and
// is never stopped, so a player outlives its owner and keeps ticking (its
// ticks do nothing unless it is playing).
//
// Main thread only. Made with `create()`; the delegate is held weakly.
#pragma once

#include <memory>
#include <optional>

#include "orvane/playback/OVAVPlayer.hpp"
#include "orvane/playback/OVAudioPlayerProtocol.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/ObservationToken.hpp"
#include "platform/core/Timer.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/MediaTime.hpp"

namespace orvane {

class OVAudioPlayer final : public OVAudioPlayerProtocol,
                            public OVAVPlayerDelegate,
                            public OVWidgetManagerDelegate,
                            public std::enable_shared_from_this<OVAudioPlayer> {
public:
    static constexpr double skipInterval = 30.0;
    static constexpr double watchdogInterval = 1.0;

    // A paused player with no source; schedules the watchdog and becomes the
    // bridge's delegate.
    static std::shared_ptr<OVAudioPlayer> create();
    ~OVAudioPlayer() override;

    std::shared_ptr<OVAudioPlayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVAudioPlayerDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- OVAudioPlayerProtocol ----
    OVAudioPlayerStatus status() const override { return status_; }
    // The item's duration when known, else the duration given with the source.
    std::optional<double> duration() const override;
    std::optional<OVAudioPosition> position() const override;
    void set(const OVAudio& audio) override;
    void set(const OVTrack& track) override;
    void play() override;
    void pause() override;
    void seek(double to, std::function<void(bool finished)> completionHandler = {}) override;
    void backward(std::function<void()> completion = {}) override;
    void forward(std::function<void()> completion = {}) override;
    void cancel() override;

    // ---- OVWidgetManagerDelegate ----
    void widgetSetSource(const std::string& source) override;
    void widgetPlay(std::function<void(bool)> completion) override;
    void widgetPause() override;
    std::optional<double> widgetGetCurrentTime() override;

    // ---- OVAVPlayerDelegate ----
    void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                         const platform::net::URLError& error) override;

    // The duration to go by for an item whose duration is `itemDuration`: that
    // duration when it is known, else the one given with the source.
    static std::optional<double> knownDuration(platform::media::MediaTime itemDuration,
                                               std::optional<double> serverDuration);

    // The current AV player (none before the first source and after cancel()).
    const std::shared_ptr<OVAVPlayer>& player() const { return player_; }

private:
    OVAudioPlayer() = default;

    std::optional<double> currentTime() const;
    void load(const platform::core::URL& url, std::optional<double> serverDuration = std::nullopt);
    void setAudioSession();
    void setupNotifications();
    void setTimeObservations();
    void statusUpdateTimerLoop();
    void periodicTimeObservation();
    void playerItemStatusDidChange();
    void playerItemDurationDidChange();
    void playerItemDidFail();
    void sendUpdatedTime();
    void handleInterruption(const platform::core::Notification& notification);
    void playbackStalledHandler();
    void playerItemDidPlayToEnd();
    void handleDownloadFailure(const std::shared_ptr<OVCachePlayerItem>& playerItem);
    void setStatus(OVAudioPlayerStatus status, bool report);
    void removeItemNotifications();

    std::weak_ptr<OVAudioPlayerDelegate> delegate_;
    OVAudioPlayerStatus status_ = OVAudioPlayerStatus::paused;
    std::shared_ptr<OVAVPlayer> player_;
    // Weak: the run loop owns the scheduled timer, and the timer owns the player.
    std::weak_ptr<platform::core::Timer> statusUpdateTimer_;
    std::optional<double> serverDuration_;
    platform::core::ObservationToken currentItemStatusKVO_;
    // The item's duration once it is ready: a corrected duration is reported.
    platform::core::ObservationToken currentItemDurationKVO_;
    std::optional<platform::core::Date> lastPeriodicObservation_;
};

}  // namespace orvane
