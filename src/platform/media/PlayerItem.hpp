// A player item: one asset as a player plays it. It loads the asset's bytes
// (through the asset's resource loader, from a file, or from memory) once a
// player has made it its current item, opens them with FFmpeg's libraries
// (MediaDecoder, reading only the bytes delivered so far; bytes that come
// through the resource loader are opened on a thread other than the main
// thread) and becomes ready to play, or fails when the bytes are not audio or
// cannot be loaded; the failure is printed as a debug line. Either is a
// change of status on the main thread.
//
// Duration: the length of the audio the listener hears: what a header states
// less the encoder's delay and padding, or an estimate. A thread of the
// item's own counts the packets as their bytes arrive (never a second reading
// of the whole file). When the item holds the whole resource (a file, bytes
// in memory, a loader that has every byte at hand) and no header states the
// duration, the item becomes ready only once every packet is counted, so the
// first duration it tells is the counted one. Otherwise it becomes ready
// with what the open found and counts from then on: while the resource's
// length is known and no header states the duration, the estimate is that
// length times the seconds per byte of the packets counted so far (from
// 64 KB counted on). Such an estimate is uncertain by what the bytes not yet
// counted could play: the spread of the seconds per byte seen from one
// stretch of 64 KB to the next, and no less than a tenth of their seconds at
// the mean rate; a published estimate is replaced only once the current one
// lies further from it than that (and by at least 1 %), so estimates close
// in on the count instead of swinging around it. For a resource of unknown
// length, an estimate from the bit rate and the bytes held, which grows as
// they arrive and is published when it moves by 1 s and 5 %. Once every
// packet is counted the count replaces an estimate, and a stated duration
// that it contradicts by more than one packet, once. Where the decoded audio
// ends before the count is known, that end is the duration. Changes after
// the item became ready are observable. The end of playback is where the
// decoded audio ends, never an estimate.
//
// Status changes are observable with new and old values. The item posts, on
// NotificationCenter::defaultCenter() with the item as the object (compare
// with `static_cast<const PlayerItem*>(item)`), `playbackStalledNotification`
// when playback runs past the bytes delivered so far and
// `didPlayToEndTimeNotification` when playback reaches the duration.
//
// Main-thread object; the loading requests it makes may be answered from any
// thread (their answers reach it through the main queue). Owned by its creator
// and by the player that plays it; the item refers to its player weakly.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "platform/core/Observable.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/MediaError.hpp"
#include "platform/media/MediaProbe.hpp"
#include "platform/media/MediaTime.hpp"
#include "platform/media/HeldBytes.hpp"
#include "platform/media/ResourceLoader.hpp"
#include "platform/media/URLAsset.hpp"

namespace platform::media {

class Player;

enum class PlayerItemStatus { unknown, readyToPlay, failed };

class PlayerItem : public std::enable_shared_from_this<PlayerItem> {
public:
    static constexpr const char* playbackStalledNotification = "PlayerItemPlaybackStalledNotification";
    static constexpr const char* didPlayToEndTimeNotification = "PlayerItemDidPlayToEndTimeNotification";

    static std::shared_ptr<PlayerItem> create(std::shared_ptr<URLAsset> asset);
    // An item of a plain asset for `url`.
    static std::shared_ptr<PlayerItem> create(const core::URL& url);

    virtual ~PlayerItem();
    PlayerItem(const PlayerItem&) = delete;
    PlayerItem& operator=(const PlayerItem&) = delete;

    const std::shared_ptr<URLAsset>& asset() const { return asset_; }

    // Readable from any thread (the caching item's reports come from its
    // session's queue); it changes on the main thread only.
    PlayerItemStatus status() const { return statusMirror_.load(); }
    // Observation of `status` with new and old values (no initial call).
    [[nodiscard]] core::ObservationToken observeStatus(core::Observable<PlayerItemStatus>::Handler handler) {
        return status_.observe(std::move(handler));
    }
    const std::optional<MediaError>& error() const { return error_; }

    // Indefinite until the bytes have told it.
    MediaTime duration() const;
    // Observation of `duration` once the item is ready (new and old values).
    [[nodiscard]] core::ObservationToken observeDuration(core::Observable<MediaTime>::Handler handler) {
        return duration_.observe(std::move(handler));
    }
    // True once the duration is counted from the whole resource.
    bool isDurationExact() const { return durationExact_; }
    // The playback position (the player's current time while it plays this item).
    MediaTime currentTime() const;

    // Loading, as far as tests and the player look at it.
    std::optional<std::int64_t> contentLength() const;
    std::optional<std::string> contentType() const { return contentType_; }
    // Bytes delivered so far (all ranges together).
    std::int64_t loadedByteCount() const;
    bool isFullyLoaded() const;

protected:
    explicit PlayerItem(std::shared_ptr<URLAsset> asset);
    // The bytes as the probe reads them (while they may still arrive from
    // other threads): the held bytes unless a subclass stands between.
    virtual std::shared_ptr<ByteSource> probeSource(std::shared_ptr<ByteSource> held) { return held; }

private:
    friend class Player;
    class Sink;

    // ---- called by the player (main thread) ----
    void attach(const std::shared_ptr<Player>& player);
    void detach(const Player* player);
    // How far playback may run from `seconds` over delivered bytes: never
    // further than they play. Within the stretch the count has walked
    // through, the packets counted there; past it, nothing while the count
    // has yet to tell; past a gap it waits at, the bytes held at the mean
    // rate less a margin. Never past bytes the decoder found missing.
    double playableEnd(double seconds) const;
    // True while the count has yet to tell how far the bytes held play (it
    // is opening the resource, or reads bytes held it has not counted): the
    // player is told when it has.
    bool awaitsCount() const;
    // Where playback ends: the counted duration once it is known, or the one a
    // header states; infinity while it is an estimate (the decoded audio
    // ending ends playback then).
    double endSeconds() const;
    struct RenderResult {
        std::int64_t frames = 0;  // decoded frames written
        bool ended = false;       // the decoded audio ended after `frames`
        bool starved = false;     // the bytes for the frames after `frames` are missing
    };
    // Decodes `count` output frames from output frame `start` into `output`,
    // silence where packets the decoder refused should have been; nothing
    // past the end of the audio, nor past bytes that have not arrived (those
    // are asked for, and playback stalls there).
    RenderResult render(std::int64_t start, std::int64_t count, AudioStream& output);
    // The player is about to play from `seconds`: make sure the bytes there
    // are on their way.
    void prepareToPlay(double seconds);
    void setCurrentSeconds(double seconds) { currentSeconds_ = seconds; }
    double currentSeconds() const { return currentSeconds_; }
    void postNotification(const char* name);

    // ---- loading (main thread) ----
    void startLoading();
    void stopLoading();
    void loadDirectly();
    void issueInformationRequest();
    void issueDataRequest(std::int64_t from);
    void requestFinished(const std::shared_ptr<LoadingRequest>& request, const std::optional<MediaError>& error);
    void bytesArrived();
    void probe();
    // The probe's outcome; `readWhole`: every byte of the resource was held
    // when it began.
    void probed(DecoderOpenResult opened, bool readWhole);
    // The decoder is open: the item becomes ready, or waits for the count
    // when it holds the whole resource and only an estimate is known.
    void decoderOpened();
    void becomeReady();
    // True when every byte of the resource is held or at hand.
    bool holdsWholeResource() const;
    void refreshDuration();
    // Publishes an estimate from the count when the published one lies
    // further from it than `uncertainty` (and at least 1 %).
    void publishEstimate(double seconds, double uncertainty);
    // The decoded audio ended at `seconds`: the duration, when the count has
    // not told it yet (called by the player before it posts the end).
    void audioDidEnd(double seconds);

    // ---- counting the packets (a thread of the item's own) ----
    void startCounting();
    void stopCounting();
    void countProgressed();
    void requestBytesAt(std::int64_t offset);
    bool holdsBytesAt(std::int64_t offset) const;
    void fail(MediaError error);
    void informPlayer();

    // ---- the bytes (shared with the threads answering requests) ----
    struct Store {
        mutable std::mutex mutex;
        // Notified when bytes arrive, the length is learnt, or the store closes.
        std::condition_variable changed;
        bool closed = false;
        HeldBytes held;
        std::optional<std::int64_t> length;
        bool arrivalPosted = false;
        // Where the count waits for bytes, having read every one before.
        std::optional<std::int64_t> countWaitsAt;
        // Called on the count's thread when it starts waiting for bytes.
        std::function<void()> countCaughtUp;

        // True while a running count has bytes held left to read (the
        // caller holds the mutex).
        bool countReadsHeldBytes() const {
            return !closed && (!countWaitsAt || held.contiguousEnd(*countWaitsAt) > *countWaitsAt);
        }

        // Keeps what of `data` (lying in `block`) is not held yet, up to the
        // length when it is known, and tells the waiting threads.
        void write(std::int64_t offset, std::span<const std::uint8_t> data,
                   const std::shared_ptr<const core::Data>& block);
    };
    class StoreSource;

    // The latest count, handed from the counting thread to the main thread.
    struct Counting {
        std::mutex mutex;
        std::optional<PacketCount> latest;
        bool posted = false;
        // The count has ended, complete or not.
        bool finished = false;
        std::thread thread;
    };
    // The seconds per byte of successive stretches of the count: how much
    // the rate of what is not counted yet may differ from the mean.
    struct RateSpread {
        std::int64_t markBytes = 0;
        double markSeconds = 0;
        double least = 0;
        double most = 0;
        int stretches = 0;
    };

    std::shared_ptr<URLAsset> asset_;
    void setStatus(PlayerItemStatus status);

    core::Observable<PlayerItemStatus> status_{PlayerItemStatus::unknown};
    std::atomic<PlayerItemStatus> statusMirror_{PlayerItemStatus::unknown};
    std::optional<MediaError> error_;
    std::optional<MediaInfo> info_;
    std::unique_ptr<AudioDecoder> decoder_;
    std::shared_ptr<ByteSource> source_;
    std::optional<std::int64_t> probeWaitsFor_;
    bool probing_ = false;
    core::Observable<MediaTime> duration_{MediaTime::indefiniteTime()};
    bool durationExact_ = false;
    std::shared_ptr<Counting> counting_;
    RateSpread rateSpread_;
    // The resource's loader answers every byte at once.
    bool entireLengthAvailable_ = false;
    // Open, and not ready until the count is complete.
    bool awaitingCount_ = false;
    std::vector<std::int16_t> renderBuffer_;
    bool reportedDecodeErrors_ = false;
    // Where the decoder last ran out of bytes: the byte it needed and the
    // position it reached. Playback does not pass that position before the
    // byte is held.
    struct Starved {
        std::int64_t offset = 0;
        double seconds = 0;
    };
    std::optional<Starved> starved_;
    std::optional<std::string> contentType_;
    double currentSeconds_ = 0;

    std::weak_ptr<Player> player_;
    std::shared_ptr<Store> store_;
    std::shared_ptr<Sink> sink_;
    bool loading_ = false;
    bool informationKnown_ = false;
    std::shared_ptr<LoadingRequest> informationRequest_;
    std::shared_ptr<LoadingRequest> dataRequest_;
};

}  // namespace platform::media
