#include "platform/media/PlayerItem.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

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
// Length asked for when the resource's length is not known.
constexpr std::int64_t kUnknownLength = std::numeric_limits<std::int64_t>::max() / 4;
}  // namespace

// ---- Store ----

void PlayerItem::Store::write(std::int64_t offset, std::span<const std::uint8_t> data) {
    if (offset < 0 || data.empty()) return;
    std::int64_t end = offset + static_cast<std::int64_t>(data.size());
    if (length) end = std::min(end, *length);
    if (end <= offset) return;
    if (static_cast<std::int64_t>(bytes.size()) < end) {
        if (length && bytes.capacity() < static_cast<std::size_t>(*length)) bytes.reserve(static_cast<std::size_t>(*length));
        bytes.resize(static_cast<std::size_t>(end));
    }
    std::memcpy(bytes.data() + offset, data.data(), static_cast<std::size_t>(end - offset));

    // Merge [offset, end) into the delivered ranges.
    std::int64_t start = offset;
    auto it = ranges.upper_bound(start);
    if (it != ranges.begin()) {
        auto before = std::prev(it);
        if (before->second >= start) {
            start = before->first;
            end = std::max(end, before->second);
            it = ranges.erase(before);
        }
    }
    while (it != ranges.end() && it->first <= end) {
        end = std::max(end, it->second);
        it = ranges.erase(it);
    }
    ranges.emplace(start, end);
}

std::int64_t PlayerItem::Store::contiguousEnd(std::int64_t offset) const {
    auto it = ranges.upper_bound(offset);
    if (it == ranges.begin()) return offset;
    --it;
    return it->second > offset ? it->second : offset;
}

std::int64_t PlayerItem::Store::firstMissing(std::int64_t from) const { return contiguousEnd(from); }

std::int64_t PlayerItem::Store::total() const {
    std::int64_t sum = 0;
    for (const auto& [start, end] : ranges) sum += end - start;
    return sum;
}

// ---- Sink: answers of loading requests, from any thread ----

class PlayerItem::Sink final : public LoadingRequestClient {
public:
    Sink(std::weak_ptr<PlayerItem> item, std::shared_ptr<Store> store)
        : item_(std::move(item)), store_(std::move(store)) {}

    void loadingRequestDidReceiveData(const LoadingRequest&, std::int64_t offset,
                                      std::span<const std::uint8_t> data) override {
        bool post = false;
        {
            std::lock_guard lock(store_->mutex);
            store_->write(offset, data);
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
    : asset_(std::move(asset)), store_(std::make_shared<Store>()) {}

PlayerItem::~PlayerItem() { stopLoading(); }

std::shared_ptr<PlayerItem> PlayerItem::create(std::shared_ptr<URLAsset> asset) {
    return std::shared_ptr<PlayerItem>(new PlayerItem(std::move(asset)));
}

std::shared_ptr<PlayerItem> PlayerItem::create(const core::URL& url) { return create(URLAsset::create(url)); }

MediaTime PlayerItem::duration() const {
    if (status() != PlayerItemStatus::readyToPlay || !info_) return MediaTime::indefiniteTime();
    return info_->duration;
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
    return store_->total();
}

bool PlayerItem::isFullyLoaded() const {
    std::lock_guard lock(store_->mutex);
    return store_->length && store_->contiguousEnd(0) >= *store_->length;
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
            from = store_->firstMissing(0);
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
        store_->write(0, *bytes);
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
        }
        contentType_ = information->contentType();
        informationKnown_ = true;
        bytesArrived();
        if (loading_ && status() != PlayerItemStatus::failed && !dataRequest_ && !isFullyLoaded()) {
            std::int64_t from = 0;
            {
                std::lock_guard lock(store_->mutex);
                from = store_->firstMissing(0);
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
    bytesArrived();
    if (!loading_ || status() == PlayerItemStatus::failed || isFullyLoaded()) return;
    // Fill the first gap after the playback position, else the first one.
    std::int64_t from = 0;
    {
        std::lock_guard lock(store_->mutex);
        const std::int64_t here = info_ ? info_->byteOffsetForSeconds(currentSeconds_) : 0;
        from = store_->firstMissing(here);
        if (store_->length && from >= *store_->length) from = store_->firstMissing(0);
    }
    issueDataRequest(from);
}

void PlayerItem::bytesArrived() {
    if (status() == PlayerItemStatus::unknown && informationKnown_) probe();
    informPlayer();
}

void PlayerItem::probe() {
    ProbeResult result;
    bool complete = false;
    {
        std::lock_guard lock(store_->mutex);
        const auto prefix = static_cast<std::size_t>(store_->contiguousEnd(0));
        result = probeMedia(std::span<const std::uint8_t>(store_->bytes.data(), prefix), store_->length);
        complete = store_->length && static_cast<std::int64_t>(prefix) >= *store_->length;
    }
    if (auto* info = std::get_if<MediaInfo>(&result)) {
        info_ = *info;
        setStatus(PlayerItemStatus::readyToPlay);
    } else if (auto* failure = std::get_if<ProbeFailure>(&result)) {
        fail(MediaError{kMediaErrorDomain, kMediaErrorFileFormatNotRecognized,
                        "Cannot open: " + failure->reason});
    } else if (complete) {
        fail(MediaError{kMediaErrorDomain, kMediaErrorFileFormatNotRecognized, "Cannot open: not enough data"});
    }
}

void PlayerItem::fail(MediaError error) {
    if (status() == PlayerItemStatus::failed) return;
    error_ = std::move(error);
    stopLoading();
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

double PlayerItem::playableEnd(double seconds) const {
    if (!info_) return seconds;
    const double total = info_->duration.seconds();
    std::lock_guard lock(store_->mutex);
    if (store_->length && store_->contiguousEnd(0) >= *store_->length) return total;
    const std::int64_t start = std::max(info_->dataStart, info_->byteOffsetForSeconds(seconds) - 1);
    const std::int64_t end = store_->contiguousEnd(start);
    if (end <= start) return seconds;
    if (store_->length && end >= *store_->length) return total;
    return std::clamp(info_->secondsForByteOffset(end), seconds, total);
}

void PlayerItem::prepareToPlay(double seconds) {
    if (!loading_ || !asset_->usesResourceLoader() || !informationKnown_ || !info_) return;
    std::int64_t start = 0;
    {
        std::lock_guard lock(store_->mutex);
        start = std::max(info_->dataStart, info_->byteOffsetForSeconds(seconds) - 1);
        if (store_->length && start >= *store_->length) return;
        if (store_->contiguousEnd(start) > start) return;  // already here
    }
    if (dataRequest_) {
        const auto* data = dataRequest_->dataRequest();
        const std::int64_t next = data->currentOffset();
        if (next <= start && start - next <= kFarAhead) return;  // on its way
        asset_->resourceLoader().cancel(std::exchange(dataRequest_, nullptr));
    }
    issueDataRequest(start);
}

void PlayerItem::postNotification(const char* name) {
    std::shared_ptr<const PlayerItem> self = shared_from_this();
    core::NotificationCenter::defaultCenter().post(name, std::static_pointer_cast<const void>(self));
}

}  // namespace platform::media
