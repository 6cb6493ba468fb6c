#include "platform/media/PlayerItem.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/media/Player.hpp"

namespace platform::media {

namespace {
// Size of the data part of the first request, which asks for the content
// information.
constexpr std::int64_t kInformationRequestLength = 2;
// A request whose next byte is this far before the bytes playback needs is
// cancelled and replaced by one that starts there.
constexpr std::int64_t kFarAhead = 256 * 1024;
// The packets counted before their seconds per byte make an estimate: the
// first few say little of a whole episode.
constexpr std::int64_t kLeastCountedForEstimate = 64 * 1024;
// The least an estimate from the count is uncertain by, as a share of the
// seconds the bytes not counted yet play at the mean rate: a VBR encoder's
// rate over a stretch of an episode departs from its mean by that much.
constexpr double kLeastRateSpread = 0.1;
// The least move of a published estimate from the count, as a share of it.
constexpr double kLeastEstimateMove = 0.01;
// The share of what bytes the count has not read play at the mean rate that
// playback does not count on: a stretch of a VBR file may play at a higher
// rate than the file's mean.
constexpr double kUncountedRateMargin = 0.25;
// A position this close to where the decoder ran out of bytes is taken as
// there (frames and seconds round differently).
constexpr double kStarvedTolerance = 1e-3;
// Length asked for when the resource's length is not known.
constexpr std::int64_t kUnknownLength = std::numeric_limits<std::int64_t>::max() / 4;
}  // namespace

// ---- Store ----

void PlayerItem::Store::write(std::int64_t offset, std::span<const std::uint8_t> data,
                              const std::shared_ptr<const core::Data>& block) {
    if (length && offset + static_cast<std::int64_t>(data.size()) > *length) {
        data = data.first(static_cast<std::size_t>(std::max<std::int64_t>(0, *length - offset)));
    }
    held.write(offset, data, block);
    changed.notify_all();
}

// ---- StoreSource: the delivered bytes as the decoder reads them ----

class PlayerItem::StoreSource final : public ByteSource {
public:
    explicit StoreSource(std::shared_ptr<Store> store) : store_(std::move(store)) {}

    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
        std::lock_guard lock(store_->mutex);
        if (store_->closed) return -1;  // the item is going: its count stops
        if (store_->length && offset >= *store_->length) return 0;
        if (offset < 0 || store_->held.contiguousEnd(offset) <= offset) return -1;
        return store_->held.copy(offset, into, count);
    }

    std::optional<std::int64_t> length() const override {
        std::lock_guard lock(store_->mutex);
        return store_->length;
    }

    bool waitFor(std::int64_t offset) override {
        std::unique_lock lock(store_->mutex);
        const auto ready = [&] {
            return store_->closed || (store_->length && offset >= *store_->length) ||
                   store_->held.contiguousEnd(offset) > offset;
        };
        if (!ready()) {
            store_->countWaitsAt = offset;
            if (auto caughtUp = store_->countCaughtUp) {
                lock.unlock();
                caughtUp();
                lock.lock();
            }
            store_->changed.wait(lock, ready);
            store_->countWaitsAt.reset();
        }
        return !store_->closed;
    }

private:
    std::shared_ptr<Store> store_;
};

// ---- Sink: answers of loading requests, from any thread ----

class PlayerItem::Sink final : public LoadingRequestClient {
public:
    Sink(std::weak_ptr<PlayerItem> item, std::shared_ptr<Store> store)
        : item_(std::move(item)), store_(std::move(store)) {}

    void loadingRequestDidReceiveData(const LoadingRequest&, std::int64_t offset, std::span<const std::uint8_t> data,
                                      const std::shared_ptr<const core::Data>& block) override {
        // Bytes only lent for the call are copied first, outside the lock:
        // the main thread, the decoder and the count never wait for a copy.
        std::shared_ptr<const core::Data> kept = block;
        if (!kept) {
            kept = std::make_shared<const core::Data>(data.begin(), data.end());
            data = *kept;
        }
        bool post = false;
        {
            std::lock_guard lock(store_->mutex);
            store_->write(offset, data, kept);
            post = !std::exchange(store_->arrivalPosted, true);
        }
        if (!post) return;
        core::DispatchQueue::main().async([weak = item_] {
            auto item = weak.lock();
            if (!item) return;
            {
                std::lock_guard lock(item->store_->mutex);
                item->store_->arrivalPosted = false;
            }
            item->bytesArrived();
        });
    }

    void loadingRequestDidFinish(const std::shared_ptr<LoadingRequest>& request,
                                 const std::optional<MediaError>& error) override {
        core::DispatchQueue::main().async([weak = item_, request, error] {
            if (auto item = weak.lock()) item->requestFinished(request, error);
        });
    }

private:
    std::weak_ptr<PlayerItem> item_;
    std::shared_ptr<Store> store_;
};

// ---- PlayerItem ----

PlayerItem::PlayerItem(std::shared_ptr<URLAsset> asset)
    : asset_(std::move(asset)), store_(std::make_shared<Store>()) {
    source_ = std::make_shared<StoreSource>(store_);
}

PlayerItem::~PlayerItem() {
    stopLoading();
    stopCounting();
}

std::shared_ptr<PlayerItem> PlayerItem::create(std::shared_ptr<URLAsset> asset) {
    return std::shared_ptr<PlayerItem>(new PlayerItem(std::move(asset)));
}

std::shared_ptr<PlayerItem> PlayerItem::create(const core::URL& url) { return create(URLAsset::create(url)); }

MediaTime PlayerItem::duration() const {
    if (status() != PlayerItemStatus::readyToPlay || !info_) return MediaTime::indefiniteTime();
    return duration_.get();
}

MediaTime PlayerItem::currentTime() const {
    if (auto player = player_.lock()) return player->currentTime();
    return MediaTime::makeWithSeconds(currentSeconds_, 1'000'000'000);
}

std::optional<std::int64_t> PlayerItem::contentLength() const {
    std::lock_guard lock(store_->mutex);
    return store_->length;
}

std::int64_t PlayerItem::loadedByteCount() const {
    std::lock_guard lock(store_->mutex);
    return store_->held.total();
}

bool PlayerItem::isFullyLoaded() const {
    std::lock_guard lock(store_->mutex);
    return store_->length && store_->held.contiguousEnd(0) >= *store_->length;
}

void PlayerItem::attach(const std::shared_ptr<Player>& player) {
    player_ = player;
    if (!loading_ && status() != PlayerItemStatus::failed) startLoading();
}

void PlayerItem::detach(const Player* player) {
    auto current = player_.lock();
    if (current && current.get() != player) return;
    player_.reset();
    stopLoading();
}

void PlayerItem::startLoading() {
    loading_ = true;
    if (!sink_) sink_ = std::make_shared<Sink>(weak_from_this(), store_);
    if (!asset_->usesResourceLoader()) {
        core::DispatchQueue::main().async([weak = weak_from_this()] {
            if (auto item = weak.lock()) item->loadDirectly();
        });
        return;
    }
    if (!informationKnown_) {
        if (!informationRequest_) issueInformationRequest();
        return;
    }
    if (!dataRequest_ && !isFullyLoaded()) {
        std::int64_t from = 0;
        {
            std::lock_guard lock(store_->mutex);
            from = store_->held.contiguousEnd(0);
        }
        issueDataRequest(from);
    }
}

void PlayerItem::stopLoading() {
    loading_ = false;
    auto& loader = asset_->resourceLoader();
    if (informationRequest_) loader.cancel(std::exchange(informationRequest_, nullptr));
    if (dataRequest_) loader.cancel(std::exchange(dataRequest_, nullptr));
}

void PlayerItem::loadDirectly() {
    if (!loading_ || status() != PlayerItemStatus::unknown || isFullyLoaded()) return;
    std::shared_ptr<const core::Data> bytes = asset_->bytes();
    if (!bytes) {
        auto read = core::FileManager::readFile(asset_->url().filePath());
        if (!read) {
            fail(MediaError{kMediaErrorDomain, kMediaErrorResourceUnavailable,
                            "The file could not be read: " + read.error().message()});
            return;
        }
        bytes = std::make_shared<const core::Data>(std::move(*read));
    }
    {
        std::lock_guard lock(store_->mutex);
        store_->length = static_cast<std::int64_t>(bytes->size());
        store_->write(0, *bytes, bytes);
    }
    informationKnown_ = true;
    bytesArrived();
}

void PlayerItem::issueInformationRequest() {
    auto request = LoadingRequest::create(asset_->url(), true,
                                          LoadingRequest::Range{0, kInformationRequestLength, false}, sink_);
    informationRequest_ = request;
    asset_->resourceLoader().load(request);
}

void PlayerItem::issueDataRequest(std::int64_t from) {
    std::optional<std::int64_t> length;
    {
        std::lock_guard lock(store_->mutex);
        length = store_->length;
    }
    if (length && from >= *length) return;
    const std::int64_t count = length ? *length - from : kUnknownLength;
    auto request = LoadingRequest::create(asset_->url(), false, LoadingRequest::Range{from, count, true}, sink_);
    dataRequest_ = request;
    asset_->resourceLoader().load(request);
}

void PlayerItem::requestFinished(const std::shared_ptr<LoadingRequest>& request,
                                 const std::optional<MediaError>& error) {
    if (request == informationRequest_) {
        informationRequest_ = nullptr;
        if (error) {
            fail(*error);
            return;
        }
        const auto* information = request->contentInformationRequest();
        const std::int64_t length = information->contentLength();
        {
            std::lock_guard lock(store_->mutex);
            if (length > 0) store_->length = length;
            store_->changed.notify_all();
        }
        contentType_ = information->contentType();
        entireLengthAvailable_ = length > 0 && information->isEntireLengthAvailableOnDemand();
        informationKnown_ = true;
        bytesArrived();
        if (loading_ && status() != PlayerItemStatus::failed && !dataRequest_ && !isFullyLoaded()) {
            std::int64_t from = 0;
            {
                std::lock_guard lock(store_->mutex);
                from = store_->held.contiguousEnd(0);
            }
            issueDataRequest(from);
        }
        return;
    }
    if (request != dataRequest_) return;  // cancelled or replaced meanwhile
    dataRequest_ = nullptr;
    if (error) {
        if (!isFullyLoaded()) fail(*error);
        return;
    }
    {
        // A request that ran to the end of a resource of unknown length has
        // found that end.
        std::lock_guard lock(store_->mutex);
        const auto* data = request->dataRequest();
        if (!store_->length && data && data->requestsAllDataToEndOfResource()) {
            store_->length = std::max(data->currentOffset(), store_->held.contiguousEnd(0));
            store_->changed.notify_all();
        }
    }
    bytesArrived();
    if (!loading_ || status() == PlayerItemStatus::failed || isFullyLoaded()) return;
    // Fill the first gap after the playback position, else the first one.
    std::int64_t from = 0;
    {
        std::lock_guard lock(store_->mutex);
        const std::int64_t here = info_ ? info_->byteOffsetForSeconds(currentSeconds_) : 0;
        from = store_->held.contiguousEnd(here);
        if (store_->length && from >= *store_->length) from = store_->held.contiguousEnd(0);
    }
    issueDataRequest(from);
}

void PlayerItem::bytesArrived() {
    if (starved_ && holdsBytesAt(starved_->offset)) starved_.reset();
    if (status() == PlayerItemStatus::unknown && informationKnown_) {
        if (!awaitingCount_) probe();
    } else if (status() == PlayerItemStatus::readyToPlay) {
        refreshDuration();
    }
    informPlayer();
}

bool PlayerItem::holdsBytesAt(std::int64_t offset) const {
    std::lock_guard lock(store_->mutex);
    return (store_->length && offset >= *store_->length) || store_->held.contiguousEnd(offset) > offset;
}

void PlayerItem::probe() {
    // One probe at a time: the one under way looks again at what arrived
    // meanwhile when it has finished.
    if (probing_) return;
    // Nothing new where the last attempt stopped: no new attempt.
    if (probeWaitsFor_ && !holdsBytesAt(*probeWaitsFor_)) return;
    const bool whole = isFullyLoaded();
    if (!asset_->usesResourceLoader()) {
        // Bytes in memory or read from a file: all there, opened at once.
        probed(AudioDecoder::open(probeSource(source_)), whole);
        return;
    }
    // Bytes that come through the loader are opened away from the main
    // thread: whatever they claim, the main thread does not wait for it.
    probing_ = true;
    core::DispatchQueue::global(core::QualityOfService::userInitiated)
        .async([source = probeSource(source_), whole, weak = weak_from_this()] {
            auto opened = std::make_shared<DecoderOpenResult>(AudioDecoder::open(source));
            core::DispatchQueue::main().async([weak, opened, whole] {
                auto item = weak.lock();
                if (!item) return;
                item->probing_ = false;
                if (item->status() != PlayerItemStatus::unknown) return;  // failed meanwhile
                item->probed(std::move(*opened), whole);
                item->informPlayer();
            });
        });
}

void PlayerItem::probed(DecoderOpenResult opened, bool readWhole) {
    if (auto* decoder = std::get_if<std::unique_ptr<AudioDecoder>>(&opened)) {
        probeWaitsFor_.reset();
        decoder_ = std::move(*decoder);
        info_ = decoder_->info();
        decoderOpened();
        return;
    }
    if (auto* failure = std::get_if<ProbeFailure>(&opened)) {
        fail(MediaError{kMediaErrorDomain, kMediaErrorFileFormatNotRecognized, "Cannot open: " + failure->reason});
        return;
    }
    const std::int64_t needed = std::get<ProbeNeedsMoreData>(opened).offset;
    // Decided on what the probe read, not on what is held now: bytes may
    // have arrived (up to the last) from the session's thread while the
    // decoder was opening. Each new attempt needs bytes that were missing.
    if (holdsBytesAt(needed)) {
        if (readWhole) {
            fail(MediaError{kMediaErrorDomain, kMediaErrorFileFormatNotRecognized,
                            "Cannot open: the file ends before its audio can be read"});
            return;
        }
        probeWaitsFor_.reset();
        probe();
        return;
    }
    probeWaitsFor_ = needed;
    requestBytesAt(needed);
}

bool PlayerItem::holdsWholeResource() const { return entireLengthAvailable_ || isFullyLoaded(); }

void PlayerItem::decoderOpened() {
    rateSpread_ = RateSpread{info_->dataStart};
    const bool estimated = info_->duration.isIndefinite() || info_->durationIsEstimate;
    if (estimated && holdsWholeResource()) {
        // Every byte is here or at hand: the count comes soon, and its
        // duration is the first one told.
        awaitingCount_ = true;
        startCounting();
        return;
    }
    becomeReady();
}

void PlayerItem::becomeReady() {
    awaitingCount_ = false;
    refreshDuration();
    setStatus(PlayerItemStatus::readyToPlay);
    startCounting();
}

void PlayerItem::refreshDuration() {
    if (!info_ || !decoder_ || durationExact_) return;
    std::optional<PacketCount> count;
    if (counting_) {
        std::lock_guard lock(counting_->mutex);
        count = counting_->latest;
    }
    if (count && count->complete) {
        // Every packet is counted: the count is the duration.
        {
            std::lock_guard lock(store_->mutex);
            if (store_->length) info_->dataEnd = store_->length;
        }
        const MediaTime stated = info_->duration;
        const bool statedByHeader = !stated.isIndefinite() && !info_->durationIsEstimate;
        info_->applyCountedDuration(count->seconds);
        durationExact_ = true;
        if (statedByHeader && info_->duration != stated) {
            core::debugPrint("PlayerItem: " + asset_->url().absoluteString() + ": the audio ends at " +
                             std::to_string(info_->duration.seconds()) + " s, not at the " +
                             std::to_string(stated.seconds()) + " s its header states");
        }
        if (info_->duration != duration_.get()) duration_.set(info_->duration);
        return;
    }
    const bool estimated = info_->duration.isIndefinite() || info_->durationIsEstimate;
    const std::int64_t counted = count ? count->bytes - info_->dataStart : 0;
    if (count && estimated && info_->dataEnd && count->seconds > 0 &&
        counted >= std::min(kLeastCountedForEstimate, *info_->dataEnd - info_->dataStart)) {
        // The whole length at the seconds per byte of the packets counted.
        auto& spread = rateSpread_;
        if (count->bytes - spread.markBytes >= kLeastCountedForEstimate) {
            const double rate =
                (count->seconds - spread.markSeconds) / static_cast<double>(count->bytes - spread.markBytes);
            spread.least = spread.stretches == 0 ? rate : std::min(spread.least, rate);
            spread.most = spread.stretches == 0 ? rate : std::max(spread.most, rate);
            ++spread.stretches;
            spread.markBytes = count->bytes;
            spread.markSeconds = count->seconds;
        }
        const double payload = static_cast<double>(*info_->dataEnd - info_->dataStart);
        const double held = static_cast<double>(counted);
        const double rest = std::max(0.0, payload - held);
        const double perByte = count->seconds / held;
        const double seconds = count->seconds + rest * perByte;
        // What the bytes not counted yet could play differs from `rest *
        // perByte` by the spread of the rates seen so far.
        const double uncertainty = std::max({spread.stretches > 1 ? rest * (spread.most - spread.least) : 0.0,
                                             kLeastRateSpread * rest * perByte, info_->frameSeconds});
        info_->duration = MediaTime::makeWithSeconds(seconds, 1'000'000);
        info_->durationIsEstimate = true;
        info_->bitRate = payload * 8.0 / seconds;
        info_->bitRateIsGuess = false;
        publishEstimate(seconds, uncertainty);
        return;
    }
    if (!info_->dataEnd && info_->bitRate > 0 && !info_->bitRateIsGuess && estimated) {
        // A resource of unknown length: the bytes held so far at the bit rate.
        std::int64_t held = 0;
        {
            std::lock_guard lock(store_->mutex);
            held = store_->held.contiguousEnd(info_->dataStart) - info_->dataStart;
        }
        const double seconds = static_cast<double>(std::max<std::int64_t>(0, held)) * 8.0 / info_->bitRate;
        info_->duration = MediaTime::makeWithSeconds(seconds, 1'000'000);
        info_->durationIsEstimate = true;
        // The estimate is published when it has grown noticeably.
        const MediaTime published = duration_.get();
        if (!published.isIndefinite() && seconds - published.seconds() < std::max(1.0, 0.05 * published.seconds()))
            return;
        duration_.set(info_->duration);
        return;
    }
    if (info_->duration != duration_.get()) duration_.set(info_->duration);
}

void PlayerItem::publishEstimate(double seconds, double uncertainty) {
    const MediaTime published = duration_.get();
    if (!published.isIndefinite() &&
        std::abs(seconds - published.seconds()) <= std::max(kLeastEstimateMove * published.seconds(), uncertainty))
        return;
    duration_.set(MediaTime::makeWithSeconds(seconds, 1'000'000));
}

void PlayerItem::audioDidEnd(double seconds) {
    if (!info_ || durationExact_ || !(seconds > 0)) return;
    {
        std::lock_guard lock(store_->mutex);
        if (store_->length) info_->dataEnd = store_->length;
    }
    info_->applyCountedDuration(seconds);
    durationExact_ = true;
    if (info_->duration != duration_.get()) duration_.set(info_->duration);
}

void PlayerItem::startCounting() {
    if (counting_) return;
    counting_ = std::make_shared<Counting>();
    // Tells the main thread, unless a report is on its way already.
    auto report = [counting = counting_, weak = weak_from_this()](std::unique_lock<std::mutex>& lock) {
        if (std::exchange(counting->posted, true)) return;
        lock.unlock();
        core::DispatchQueue::main().async([weak, counting] {
            {
                std::lock_guard lock(counting->mutex);
                counting->posted = false;
            }
            if (auto item = weak.lock()) item->countProgressed();
        });
    };
    {
        // Once the count has read every byte held, how far they play is known.
        std::lock_guard lock(store_->mutex);
        store_->countCaughtUp = [report, counting = counting_] {
            std::unique_lock lock(counting->mutex);
            report(lock);
        };
    }
    counting_->thread = std::thread([source = source_, counting = counting_, report] {
        countPackets(source, [&](const PacketCount& count) {
            std::unique_lock lock(counting->mutex);
            counting->latest = count;
            report(lock);
        });
        std::unique_lock lock(counting->mutex);
        counting->finished = true;
        report(lock);
    });
}

void PlayerItem::stopCounting() {
    if (!counting_) return;
    {
        std::lock_guard lock(store_->mutex);
        store_->closed = true;
        store_->changed.notify_all();
    }
    if (counting_->thread.joinable()) counting_->thread.join();
}

void PlayerItem::countProgressed() {
    if (awaitingCount_) {
        bool ended = false;
        {
            std::lock_guard lock(counting_->mutex);
            ended = counting_->finished || (counting_->latest && counting_->latest->complete);
        }
        if (ended && status() == PlayerItemStatus::unknown) {
            becomeReady();
            informPlayer();
        }
        return;
    }
    if (status() != PlayerItemStatus::readyToPlay) return;
    refreshDuration();
    // The packets counted tell how far playback may run; and once they are
    // all counted, where it ends.
    informPlayer();
}

void PlayerItem::fail(MediaError error) {
    if (status() == PlayerItemStatus::failed) return;
    core::debugPrint("PlayerItem: " + asset_->url().absoluteString() + ": " + error.localizedDescription);
    error_ = std::move(error);
    decoder_.reset();
    stopLoading();
    stopCounting();
    setStatus(PlayerItemStatus::failed);
    informPlayer();
}

void PlayerItem::setStatus(PlayerItemStatus status) {
    statusMirror_.store(status);
    status_.set(status);
}

void PlayerItem::informPlayer() {
    if (auto player = player_.lock()) player->itemDidChange();
}

double PlayerItem::endSeconds() const {
    if (!info_ || info_->duration.isIndefinite() || (!durationExact_ && info_->durationIsEstimate))
        return std::numeric_limits<double>::infinity();
    return info_->duration.seconds();
}

bool PlayerItem::awaitsCount() const {
    if (!counting_) return false;
    {
        std::lock_guard lock(counting_->mutex);
        if (counting_->finished) return false;
    }
    std::lock_guard lock(store_->mutex);
    // Opening, or reading on through bytes held: it tells soon. Waiting for
    // bytes it does not hold (an open that reads ahead to the end), it does
    // not.
    return store_->countReadsHeldBytes();
}

double PlayerItem::playableEnd(double seconds) const {
    if (!info_) return seconds;
    if (isFullyLoaded()) return endSeconds();
    double end = seconds;
    double countedSeconds = 0;
    bool counting = false;
    bool counted = false;
    if (counting_) {
        std::lock_guard lock(counting_->mutex);
        if (counting_->latest) countedSeconds = counting_->latest->readSeconds;
        counting = !counting_->finished;
        counted = counting_->latest.has_value();
    }
    {
        std::lock_guard lock(store_->mutex);
        const std::int64_t start = std::max(info_->dataStart, info_->byteOffsetForSeconds(seconds) - 1);
        const auto& waitsAt = store_->countWaitsAt;
        if (info_->codec.starts_with("pcm_")) {
            // Raw samples: every byte held plays, at a steady rate.
            if (const std::int64_t heldEnd = store_->held.contiguousEnd(start); heldEnd > start)
                end = info_->secondsForByteOffset(heldEnd);
        } else if (seconds < countedSeconds) {
            // The count has read the packets up to here and the one after
            // them from the bytes held, as the decoder will.
            end = countedSeconds;
        } else if (counting && (store_->countReadsHeldBytes() || (counted && waitsAt && start < *waitsAt))) {
            // The count is opening the resource, or reads on through bytes
            // held, and tells soon; or it has read them all, and they play
            // no further. (An open that waits for bytes before its first
            // count, reading ahead to the end, tells nothing soon: the bytes
            // held are estimated below.)
        } else if (const std::int64_t heldEnd = store_->held.contiguousEnd(start); heldEnd > start) {
            // Bytes past a gap the count waits at, or that it could not
            // count: a stretch of a VBR file may play at a higher rate than
            // the file's mean.
            if (info_->dataEnd && heldEnd >= *info_->dataEnd) {
                end = info_->secondsForByteOffset(heldEnd);
            } else {
                const double reach = info_->secondsForByteOffset(heldEnd) - info_->secondsForByteOffset(start);
                end = seconds + reach * (1 - kUncountedRateMargin);
            }
        }
    }
    if (starved_ && seconds <= starved_->seconds + kStarvedTolerance && !holdsBytesAt(starved_->offset))
        end = std::min(end, starved_->seconds);
    return std::max(end, seconds);
}

void PlayerItem::requestBytesAt(std::int64_t start) {
    if (!loading_ || !asset_->usesResourceLoader() || !informationKnown_) return;
    {
        std::lock_guard lock(store_->mutex);
        if (store_->length && start >= *store_->length) return;
        if (store_->held.contiguousEnd(start) > start) return;  // already here
    }
    if (dataRequest_) {
        const auto* data = dataRequest_->dataRequest();
        const std::int64_t next = data->currentOffset();
        if (next <= start && start - next <= kFarAhead) return;  // on its way
        asset_->resourceLoader().cancel(std::exchange(dataRequest_, nullptr));
    }
    issueDataRequest(start);
}

void PlayerItem::prepareToPlay(double seconds) {
    if (!info_) return;
    requestBytesAt(std::max(info_->dataStart, info_->byteOffsetForSeconds(seconds) - 1));
}

PlayerItem::RenderResult PlayerItem::render(std::int64_t start, std::int64_t count, AudioStream& output) {
    RenderResult result;
    if (count <= 0) return result;
    renderBuffer_.clear();
    if (decoder_) {
        const auto rendered = decoder_->render(start, count, renderBuffer_);
        result.frames = rendered.frames;
        result.ended = rendered.ended;
        if (rendered.missingAt) {
            // Nothing is played in place of bytes not held: playback stalls
            // here until they are.
            result.starved = true;
            starved_ = Starved{*rendered.missingAt,
                               static_cast<double>(start + rendered.frames) / kOutputSampleRate};
            requestBytesAt(*rendered.missingAt);
            // Bytes that arrived since the decoder read let playback go on
            // once the player has stopped here.
            if (holdsBytesAt(*rendered.missingAt)) {
                core::DispatchQueue::main().async([weak = weak_from_this()] {
                    if (auto item = weak.lock()) item->informPlayer();
                });
            }
        }
        if (decoder_->decodeErrorCount() > 0 && !reportedDecodeErrors_) {
            reportedDecodeErrors_ = true;
            core::debugPrint("PlayerItem: " + asset_->url().absoluteString() +
                             ": packets the decoder refused are played as silence");
        }
        if (rendered.failure) {
            // Failing calls back into the player, which is in the middle of
            // moving the position: the failure follows on the main queue.
            const MediaError error{kMediaErrorDomain, kMediaErrorDecodingFailed, "Cannot decode: " + *rendered.failure};
            core::DispatchQueue::main().async([weak = weak_from_this(), error] {
                if (auto item = weak.lock()) item->fail(error);
            });
        }
    }
    // Silence where nothing could be decoded; nothing past the end or the
    // bytes held.
    if (!result.ended && !result.starved)
        renderBuffer_.resize(static_cast<std::size_t>(count) * kOutputChannels, 0);
    output.write(renderBuffer_);
    return result;
}

void PlayerItem::postNotification(const char* name) {
    std::shared_ptr<const PlayerItem> self = shared_from_this();
    core::NotificationCenter::defaultCenter().post(name, std::static_pointer_cast<const void>(self));
}

}  // namespace platform::media
