#include "orvane/playback/OVAudioPlayer.hpp"

#include <cmath>

#include "orvane/model/StringExtensions.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioSession.hpp"
#include "platform/media/MediaTime.hpp"
#include "platform/media/PlayerItem.hpp"

namespace orvane {

using platform::core::Date;
using platform::core::DispatchQueue;
using platform::core::Notification;
using platform::core::NotificationCenter;
using platform::media::AudioSession;
using platform::media::MediaTime;
using platform::media::PlayerItem;
using platform::media::PlayerItemStatus;

namespace {

NotificationCenter& center() { return NotificationCenter::defaultCenter(); }

// The identity under which an item posts its notifications.
const void* notificationObject(const std::shared_ptr<PlayerItem>& item) {
    return static_cast<const PlayerItem*>(item.get());
}

// An unsigned number of a notification's user information, when it is one.
std::optional<unsigned long long> unsignedValue(const platform::core::Json& info, const char* key) {
    if (!info.is_object()) return std::nullopt;
    const auto it = info.find(key);
    if (it == info.end()) return std::nullopt;
    if (it->is_number_unsigned()) return it->get<unsigned long long>();
    if (it->is_number_integer() && it->get<long long>() >= 0) return static_cast<unsigned long long>(it->get<long long>());
    return std::nullopt;
}

}  // namespace

std::shared_ptr<OVAudioPlayer> OVAudioPlayer::create() {
    auto player = std::shared_ptr<OVAudioPlayer>(new OVAudioPlayer());
    // The watchdog holds the player for the life of the process.
    player->statusUpdateTimer_ = platform::core::Timer::scheduledTimer(
        watchdogInterval, true, [player](platform::core::Timer&) { player->statusUpdateTimerLoop(); });
    OVWidgetManager::shared().setDelegate(player);
    return player;
}

OVAudioPlayer::~OVAudioPlayer() { center().removeObserver(this); }

// ---- derived values ----

std::optional<double> OVAudioPlayer::currentTime() const {
    if (!player_) return std::nullopt;
    const double seconds = player_->currentTime().seconds();
    return std::isfinite(seconds) ? std::optional<double>(seconds) : std::nullopt;
}

std::optional<double> OVAudioPlayer::knownDuration(MediaTime itemDuration, std::optional<double> serverDuration) {
    if (!itemDuration.isIndefinite()) return itemDuration.seconds();
    return serverDuration;
}

std::optional<double> OVAudioPlayer::duration() const {
    if (player_) {
        if (const auto item = player_->currentItem()) return knownDuration(item->duration(), serverDuration_);
    }
    return serverDuration_;
}

std::optional<OVAudioPosition> OVAudioPlayer::position() const {
    const auto time = currentTime();
    const auto length = duration();
    if (!time || !length) return std::nullopt;
    return OVAudioPosition{*time, *length};
}

void OVAudioPlayer::setStatus(OVAudioPlayerStatus status, bool report) {
    status_ = status;
    if (!report) return;
    if (auto delegate = delegate_.lock()) delegate->audioStatusDidChange(status);
}

// ---- sources ----

void OVAudioPlayer::set(const OVAudio& audio) {
    if (!audio.audio) return;
    if (const auto url = orvane::url(*audio.audio)) load(*url, audio.duration);
}

void OVAudioPlayer::set(const OVTrack& track) { set(track.audio()); }

void OVAudioPlayer::widgetSetSource(const std::string& source) {
    if (const auto url = orvane::url(source)) load(*url);
}

void OVAudioPlayer::load(const platform::core::URL& url, std::optional<double> serverDuration) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (status_ != OVAudioPlayerStatus::paused) pause();
    setAudioSession();
    removeItemNotifications();
    currentItemStatusKVO_.invalidate();
    currentItemDurationKVO_.invalidate();
    player_ = OVAVPlayer::create(url);
    player_->setDelegate(weak_from_this());
    setStatus(OVAudioPlayerStatus::paused, false);
    serverDuration_ = serverDuration;
    setTimeObservations();
}

void OVAudioPlayer::setAudioSession() {
    if (auto result = AudioSession::sharedInstance().setCategory(AudioSession::Category::playback); !result) {
        platform::core::debugPrint("Failed to set the audio session category and mode: " +
                                   result.error().localizedDescription);
    }
    setupNotifications();
}

void OVAudioPlayer::setupNotifications() {
    center().removeObserver(this, std::string(AudioSession::interruptionNotification));
    std::weak_ptr<OVAudioPlayer> weak = weak_from_this();
    center().addObserver(this, AudioSession::interruptionNotification, nullptr, [weak](const Notification& n) {
        if (auto self = weak.lock()) self->handleInterruption(n);
    });
}

void OVAudioPlayer::removeItemNotifications() {
    center().removeObserver(this, std::string(PlayerItem::playbackStalledNotification));
    center().removeObserver(this, std::string(PlayerItem::didPlayToEndTimeNotification));
}

void OVAudioPlayer::setTimeObservations() {
    if (!player_) return;
    std::weak_ptr<OVAudioPlayer> weak = weak_from_this();
    // The observer lives as long as the AV player: its token is not kept.
    player_->addPeriodicTimeObserver(MediaTime::make(1, 2), DispatchQueue::main(), [weak](MediaTime) {
        if (auto self = weak.lock()) self->periodicTimeObservation();
    });
    const auto item = player_->currentItem();
    if (item) {
        currentItemStatusKVO_ = item->observeStatus([weak](const PlayerItemStatus&, const PlayerItemStatus&) {
            if (auto self = weak.lock()) self->playerItemStatusDidChange();
        });
        currentItemDurationKVO_ = item->observeDuration([weak](const MediaTime&, const MediaTime&) {
            if (auto self = weak.lock()) self->playerItemDurationDidChange();
        });
    } else {
        currentItemStatusKVO_.invalidate();
        currentItemDurationKVO_.invalidate();
    }
    const void* object = item ? notificationObject(item) : nullptr;
    center().addObserver(this, PlayerItem::playbackStalledNotification, object, [weak](const Notification&) {
        if (auto self = weak.lock()) self->playbackStalledHandler();
    });
    center().addObserver(this, PlayerItem::didPlayToEndTimeNotification, object, [weak](const Notification&) {
        if (auto self = weak.lock()) self->playerItemDidPlayToEnd();
    });
}

// ---- commands ----

void OVAudioPlayer::play() {
    setStatus(OVAudioPlayerStatus::playing, true);
    if (!player_) return;
    if (auto item = std::dynamic_pointer_cast<OVCachePlayerItem>(player_->currentItem())) item->startDataTaskIfNeeded();
    // Play where the episode ends (a seek or the slider left it there) plays
    // it again from its start, as after it played to its end.
    const auto time = currentTime();
    const auto length = duration();
    if (time && length && std::isfinite(*length) && *time + 1e-3 >= *length)
        player_->seek(MediaTime::makeWithSeconds(0, 1));
    player_->play();
}

void OVAudioPlayer::pause() {
    setStatus(OVAudioPlayerStatus::paused, true);
    if (player_) player_->pause();
}

void OVAudioPlayer::seek(double to, std::function<void(bool finished)> completionHandler) {
    const OVAudioPlayerStatus prior = status_;
    if (prior == OVAudioPlayerStatus::playing && player_) player_->pause();
    if (player_) {
        if (auto item = std::dynamic_pointer_cast<OVCachePlayerItem>(player_->currentItem()))
            item->startDataTaskIfNeeded();
    }
    if (!player_) return;
    const MediaTime target = MediaTime::makeWithSeconds(to, 1);
    if (target.isIndefinite()) {
        // No position to go to: the seek ends unfinished, and playback
        // resumes no more than after any unfinished seek.
        if (completionHandler) completionHandler(false);
        return;
    }
    std::weak_ptr<OVAVPlayer> avPlayer = player_;
    player_->seek(target, [avPlayer, prior, completionHandler = std::move(completionHandler)](bool finished) {
        if (prior == OVAudioPlayerStatus::playing && finished) {
            if (auto player = avPlayer.lock()) player->play();
        }
        if (completionHandler) completionHandler(finished);
    });
}

void OVAudioPlayer::backward(std::function<void()> completion) {
    const auto time = currentTime();
    if (!time) return;
    seek(*time - skipInterval, [completion = std::move(completion)](bool finished) {
        if (finished && completion) completion();
    });
}

void OVAudioPlayer::forward(std::function<void()> completion) {
    const auto time = currentTime();
    if (!time) return;
    seek(*time + skipInterval, [completion = std::move(completion)](bool finished) {
        if (finished && completion) completion();
    });
}

void OVAudioPlayer::cancel() {
    center().removeObserver(this);
    if (player_) player_->pause();
    currentItemStatusKVO_.invalidate();
    currentItemDurationKVO_.invalidate();
    player_.reset();
}

// ---- bridge ----

void OVAudioPlayer::widgetPlay(std::function<void(bool)> completion) {
    play();
    if (completion) completion(true);
}

void OVAudioPlayer::widgetPause() { pause(); }

std::optional<double> OVAudioPlayer::widgetGetCurrentTime() { return currentTime(); }

// ---- observation ----

void OVAudioPlayer::statusUpdateTimerLoop() {
    if (status_ != OVAudioPlayerStatus::playing) return;
    if (!lastPeriodicObservation_) return;
    const double elapsed = Date::now().timeIntervalSince(*lastPeriodicObservation_);
    if (elapsed > watchdogInterval) setStatus(OVAudioPlayerStatus::loading, true);
}

void OVAudioPlayer::periodicTimeObservation() {
    lastPeriodicObservation_ = Date::now();
    if (status_ == OVAudioPlayerStatus::loading) setStatus(OVAudioPlayerStatus::playing, true);
    sendUpdatedTime();
}

void OVAudioPlayer::sendUpdatedTime() {
    const auto length = duration();
    if (!length) return;
    const auto time = currentTime();
    if (!time) return;
    if (auto delegate = delegate_.lock()) delegate->audioPositionDidChange(OVAudioPosition{*time, *length});
}

void OVAudioPlayer::playerItemStatusDidChange() {
    if (!player_) return;
    const auto item = player_->currentItem();
    if (item && item->status() == PlayerItemStatus::failed) {
        playerItemDidFail();
        return;
    }
    if (!item || item->status() != PlayerItemStatus::readyToPlay) return;
    const auto length = knownDuration(item->duration(), serverDuration_);
    if (!length) return;
    if (auto delegate = delegate_.lock()) delegate->audioDurationIsKnown(*length);
    sendUpdatedTime();
}

void OVAudioPlayer::playerItemDurationDidChange() {
    // Before the item is ready its status change reports the duration.
    if (!player_) return;
    const auto item = player_->currentItem();
    if (!item || item->status() != PlayerItemStatus::readyToPlay) return;
    const auto length = knownDuration(item->duration(), serverDuration_);
    if (!length) return;
    if (auto delegate = delegate_.lock()) delegate->audioDurationIsKnown(*length);
    sendUpdatedTime();
}

void OVAudioPlayer::playerItemDidFail() {
    // An item that cannot be played (not audio, a decoder that gives up) ends
    // as a failed download does before the item is ready: the download is
    // reset and the player pauses, which the widget hears of.
    if (auto cacheItem = std::dynamic_pointer_cast<OVCachePlayerItem>(player_->currentItem()))
        cacheItem->resetURLSession();
    std::weak_ptr<OVAudioPlayer> weak = weak_from_this();
    DispatchQueue::main().async([weak] {
        if (auto self = weak.lock()) self->pause();
    });
}

void OVAudioPlayer::playbackStalledHandler() { pause(); }

void OVAudioPlayer::playerItemDidPlayToEnd() {
    setStatus(OVAudioPlayerStatus::paused, true);
    if (auto delegate = delegate_.lock()) delegate->audioDidEnd();
}

void OVAudioPlayer::handleInterruption(const Notification& notification) {
    const auto type = unsignedValue(notification.userInfo, AudioSession::interruptionTypeKey);
    if (!type) return;
    if (*type == static_cast<unsigned>(AudioSession::InterruptionType::began)) {
        if (auto delegate = delegate_.lock()) delegate->audioInterruptionBegan();
    } else if (*type == static_cast<unsigned>(AudioSession::InterruptionType::ended)) {
        const auto options = unsignedValue(notification.userInfo, AudioSession::interruptionOptionKey);
        if (!options) return;
        const bool shouldResume = (*options & AudioSession::interruptionOptionShouldResume) != 0;
        if (auto delegate = delegate_.lock()) delegate->audioInterruptionEnded(shouldResume);
    }
}

void OVAudioPlayer::playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                    const platform::net::URLError&) {
    // Reported on the item's session queue: the player is a main-thread
    // object, so the decision is taken on the main queue.
    std::weak_ptr<OVAudioPlayer> weak = weak_from_this();
    std::weak_ptr<OVCachePlayerItem> item = playerItem;
    DispatchQueue::main().async([weak, item] {
        if (auto self = weak.lock()) self->handleDownloadFailure(item.lock());
    });
}

void OVAudioPlayer::handleDownloadFailure(const std::shared_ptr<OVCachePlayerItem>& playerItem) {
    if (!player_) return;
    const auto current = player_->currentItem();
    if (!current) return;
    // A report from an item that is no longer playing here (an earlier
    // source's player) must not reset or pause the current one.
    if (!playerItem || current.get() != static_cast<PlayerItem*>(playerItem.get())) return;
    auto cacheItem = std::dynamic_pointer_cast<OVCachePlayerItem>(current);
    switch (current->status()) {
        case PlayerItemStatus::unknown: {
            if (cacheItem) cacheItem->resetURLSession();
            std::weak_ptr<OVAudioPlayer> weak = weak_from_this();
            DispatchQueue::main().async([weak] {
                if (auto self = weak.lock()) self->pause();
            });
            break;
        }
        case PlayerItemStatus::readyToPlay:
            if (cacheItem) cacheItem->resetURLSession();
            break;
        case PlayerItemStatus::failed:
            break;
    }
}

}  // namespace orvane
