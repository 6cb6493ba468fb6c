#include "orvane/playback/OVCachePlayerItem.hpp"

#include <algorithm>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/media/URLAsset.hpp"

namespace {
// What the main thread answers of a new request from the bytes held; the rest
// follows from another thread.
constexpr std::int64_t kBytesAnsweredOnTheMainQueue = 256 * 1024;
// The most reserved at once for an announced length, and the room of each
// block of a download whose length was not announced.
constexpr std::int64_t kLargestBlock = std::int64_t{256} * 1024 * 1024;
constexpr std::size_t kGrowthBlock = 1024 * 1024;
}  // namespace

namespace orvane {

using platform::core::Data;
using platform::core::URL;
using platform::media::LoadingRequest;
using platform::net::URLError;
using platform::net::URLResponse;
using platform::net::URLSession;

namespace {

// The address split into components (never resolved against a base), given
// `scheme` and rebuilt; none when it has no scheme or does not rebuild.
std::optional<URL> withScheme(const URL& url, std::string_view scheme) {
    if (url.scheme().empty()) return std::nullopt;
    return url.replacingScheme(scheme);
}

// The same address with the path extension of its last component replaced by
// `extension`; none when the result is not an address.
std::optional<URL> replacingPathExtension(const URL& url, std::string_view extension) {
    const std::string& text = url.absoluteString();
    const std::string& path = url.encodedPath();
    // The path starts at the first "/" after "scheme://authority".
    std::size_t start = text.find("//");
    start = start == std::string::npos ? text.find(':') + 1 : text.find('/', start + 2);
    if (start == std::string::npos || text.compare(start, path.size(), path) != 0) return std::nullopt;
    std::string newPath = path;
    const std::size_t lastSlash = newPath.rfind('/');
    const std::size_t nameStart = lastSlash == std::string::npos ? 0 : lastSlash + 1;
    const std::size_t dot = newPath.rfind('.');
    if (dot != std::string::npos && dot > nameStart) newPath.erase(dot);
    newPath += '.';
    newPath += extension;
    return URL::parse(text.substr(0, start) + newPath + text.substr(start + path.size()));
}

}  // namespace

// ---- OVCachePlayerItem ----

OVCachePlayerItem::OVCachePlayerItem(std::shared_ptr<platform::media::URLAsset> asset,
                                     std::shared_ptr<ResourceLoaderDelegate> loader, URL url)
    : PlayerItem(std::move(asset)),
      resourceLoaderDelegate_(std::move(loader)),
      url_(std::move(url)),
      cachingPlayerItemScheme_(OVAVPlayerConstants::SchemeSuffix) {}

std::shared_ptr<OVCachePlayerItem> OVCachePlayerItem::create(const URL& url,
                                                             std::optional<std::string> customFileExtension) {
    auto loader = std::make_shared<ResourceLoaderDelegate>();
    auto assetURL = withScheme(url, OVAVPlayerConstants::SchemeSuffix);
    if (!assetURL) {
        platform::core::debugPrint("OVCachePlayerItem: cannot stream an address without a usable scheme: " +
                                   url.absoluteString());
        return nullptr;
    }
    if (customFileExtension) {
        assetURL = replacingPathExtension(*assetURL, *customFileExtension);
        if (!assetURL) {
            platform::core::debugPrint("OVCachePlayerItem: cannot give the extension \"" + *customFileExtension +
                                       "\" to " + url.absoluteString());
            return nullptr;
        }
    }
    auto asset = platform::media::URLAsset::create(*assetURL);
    asset->resourceLoader().setDelegate(loader, platform::core::DispatchQueue::main());
    auto item = std::shared_ptr<OVCachePlayerItem>(new OVCachePlayerItem(std::move(asset), loader, url));
    item->customFileExtension_ = std::move(customFileExtension);
    {
        std::lock_guard lock(loader->mutex_);
        loader->owner_ = item;
    }
    return item;
}

std::shared_ptr<OVCachePlayerItem> OVCachePlayerItem::create(Data data, std::string mimeType,
                                                             std::string fileExtension) {
    auto loader = std::make_shared<ResourceLoaderDelegate>();
    const std::string scheme(OVAVPlayerConstants::SchemeSuffix);
    auto madeUp = URL::parse(scheme + "://whatever/file." + fileExtension);
    if (!madeUp) {
        platform::core::debugPrint("OVCachePlayerItem: cannot make an address with the extension \"" +
                                   fileExtension + "\"");
        return nullptr;
    }
    {
        std::lock_guard lock(loader->mutex_);
        loader->mediaData_.emplace();
        loader->mediaData_->adopt(std::move(data));
        loader->playingFromData_ = true;
        loader->mimeType_ = std::move(mimeType);
    }
    auto asset = platform::media::URLAsset::create(*madeUp);
    asset->resourceLoader().setDelegate(loader, platform::core::DispatchQueue::main());
    auto item = std::shared_ptr<OVCachePlayerItem>(new OVCachePlayerItem(std::move(asset), loader, *madeUp));
    {
        std::lock_guard lock(loader->mutex_);
        loader->owner_ = item;
    }
    return item;
}

OVCachePlayerItem::~OVCachePlayerItem() { resourceLoaderDelegate_->resetSession(); }

std::shared_ptr<OVCachePlayerItemDelegate> OVCachePlayerItem::delegate() const {
    std::lock_guard lock(delegateMutex_);
    return delegate_.lock();
}

void OVCachePlayerItem::setDelegate(std::weak_ptr<OVCachePlayerItemDelegate> delegate) {
    std::lock_guard lock(delegateMutex_);
    delegate_ = std::move(delegate);
}

void OVCachePlayerItem::startDataTaskIfNeeded() { resourceLoaderDelegate_->startDataTaskIfNeeded(); }

void OVCachePlayerItem::resetURLSession() { resourceLoaderDelegate_->resetSession(); }

// ---- ResourceLoaderDelegate ----

void OVCachePlayerItem::ResourceLoaderDelegate::MediaBuffer::append(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    Data* last = lastTakesMore ? blocks.back().get() : nullptr;
    std::size_t taken = 0;
    if (last && last->capacity() > last->size()) {
        // Within the reserved room: the block's bytes do not move.
        taken = std::min(bytes.size(), last->capacity() - last->size());
        last->insert(last->end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
        size += static_cast<std::int64_t>(taken);
    }
    if (taken == bytes.size()) return;
    const auto rest = bytes.subspan(taken);
    // Room for the rest of the announced length (bounded: an announcement is
    // only a promise), or for a run of arrivals when none was announced.
    const auto announcedRest = static_cast<std::size_t>(std::clamp<std::int64_t>(expected - size, 0, kLargestBlock));
    const std::size_t room = std::max(rest.size(), expected > 0 ? announcedRest : std::size_t{kGrowthBlock});
    auto block = std::make_shared<Data>();
    try {
        block->reserve(room);
    } catch (const std::bad_alloc&) {
        block->reserve(rest.size());
    }
    block->assign(rest.begin(), rest.end());
    starts.push_back(size);
    size += static_cast<std::int64_t>(rest.size());
    blocks.push_back(std::move(block));
    lastTakesMore = true;
}

void OVCachePlayerItem::ResourceLoaderDelegate::MediaBuffer::adopt(Data block) {
    if (block.empty()) return;
    lastTakesMore = false;  // later bytes go to a block of their own
    starts.push_back(size);
    size += static_cast<std::int64_t>(block.size());
    blocks.push_back(std::make_shared<Data>(std::move(block)));
}

std::vector<OVCachePlayerItem::ResourceLoaderDelegate::MediaBuffer::Slice>
OVCachePlayerItem::ResourceLoaderDelegate::MediaBuffer::slices(std::int64_t from, std::int64_t to) const {
    std::vector<Slice> out;
    if (from < 0 || from >= to) return out;
    // The block holding `from`: the last one starting at or before it.
    auto it = std::upper_bound(starts.begin(), starts.end(), from);
    if (it == starts.begin()) return out;
    for (auto index = static_cast<std::size_t>(it - starts.begin()) - 1; index < blocks.size() && starts[index] < to;
         ++index) {
        const auto& block = blocks[index];
        const std::int64_t begin = std::max(from, starts[index]) - starts[index];
        const std::int64_t end = std::min<std::int64_t>(to - starts[index], static_cast<std::int64_t>(block->size()));
        if (end > begin) {
            out.push_back(Slice{block, std::span<const std::uint8_t>(block->data() + begin,
                                                                     static_cast<std::size_t>(end - begin))});
        }
    }
    return out;
}

std::shared_ptr<const Data> OVCachePlayerItem::ResourceLoaderDelegate::MediaBuffer::whole() const {
    if (blocks.size() == 1) return blocks.front();
    auto joined = std::make_shared<Data>();
    joined->reserve(static_cast<std::size_t>(size));
    for (const auto& block : blocks) joined->insert(joined->end(), block->begin(), block->end());
    return joined;
}

OVCachePlayerItem::ResourceLoaderDelegate::~ResourceLoaderDelegate() {
    if (session_) session_->invalidateAndCancel();
}

std::shared_ptr<OVCachePlayerItem> OVCachePlayerItem::ResourceLoaderDelegate::owner() const {
    std::lock_guard lock(mutex_);
    return owner_.lock();
}

bool OVCachePlayerItem::ResourceLoaderDelegate::resourceLoaderShouldWaitForLoadingOfRequestedResource(
    platform::media::ResourceLoader&, const std::shared_ptr<LoadingRequest>& loadingRequest) {
    startDataTaskIfNeeded();
    {
        std::lock_guard lock(mutex_);
        if (std::find(pendingRequests_.begin(), pendingRequests_.end(), loadingRequest) == pendingRequests_.end())
            pendingRequests_.push_back(loadingRequest);
    }
    // The main thread answers the start of a request; what the buffer holds
    // beyond it (a whole episode, when it was cached or downloaded quickly)
    // is handed over off the main thread.
    if (processPendingRequests(kBytesAnsweredOnTheMainQueue)) {
        platform::core::DispatchQueue::global().async([weak = weak_from_this()] {
            if (auto self = weak.lock()) self->processPendingRequests();
        });
    }
    return true;
}

void OVCachePlayerItem::ResourceLoaderDelegate::resourceLoaderDidCancel(
    platform::media::ResourceLoader&, const std::shared_ptr<LoadingRequest>& loadingRequest) {
    std::lock_guard lock(mutex_);
    std::erase(pendingRequests_, loadingRequest);
}

void OVCachePlayerItem::ResourceLoaderDelegate::startDataTaskIfNeeded() {
    std::optional<URL> url;
    {
        std::lock_guard lock(mutex_);
        if (playingFromData_ || session_) return;
        auto item = owner_.lock();
        if (!item) {
            platform::core::debugPrint(" inconsistency");
            return;
        }
        url = item->url();
    }
    startDataRequest(*url);
}

void OVCachePlayerItem::ResourceLoaderDelegate::startDataRequest(const URL& url) {
    auto configuration = platform::net::URLSessionConfiguration::defaultConfiguration();
    configuration.requestCachePolicy = platform::net::URLRequestCachePolicy::reloadIgnoringLocalAndRemoteCacheData;
    std::shared_ptr<platform::net::URLSessionDataTask> task;
    {
        std::lock_guard lock(mutex_);
        if (session_) return;  // another start came first
        session_ = URLSession::create(configuration, shared_from_this());
        statusFailure_.reset();
        downloadEnded_ = false;
        task = session_->dataTask(platform::net::URLRequest(url, configuration.requestCachePolicy));
    }
    task->resume();
}

void OVCachePlayerItem::ResourceLoaderDelegate::resetSession() {
    std::shared_ptr<URLSession> session;
    {
        std::lock_guard lock(mutex_);
        session = std::exchange(session_, nullptr);
    }
    if (session) session->invalidateAndCancel();
}

void OVCachePlayerItem::ResourceLoaderDelegate::didReceiveResponse(
    const std::shared_ptr<URLSession>& session, const std::shared_ptr<platform::net::URLSessionDataTask>&,
    const URLResponse& response, platform::net::ResponseCompletion completionHandler) {
    bool refused = false;
    {
        std::lock_guard lock(mutex_);
        if (session != session_) {
            refused = true;  // a session that has been reset meanwhile
        } else if (!response.isSuccessStatus()) {
            // An error page is not the file: nothing of it is served or kept.
            statusFailure_ = URLError{URLError::Code::badServerResponse,
                                      "HTTP status " + std::to_string(response.statusCode()),
                                      response.url().absoluteString()};
            refused = true;
        }
    }
    if (refused) {
        completionHandler(platform::net::ResponseDisposition::cancel);
        return;
    }
    completionHandler(platform::net::ResponseDisposition::allow);
    {
        std::lock_guard lock(mutex_);
        mediaData_.emplace(response.expectedContentLength());
        response_ = response;
    }
    processPendingRequests();
}

void OVCachePlayerItem::ResourceLoaderDelegate::didReceiveData(
    const std::shared_ptr<URLSession>& session, const std::shared_ptr<platform::net::URLSessionDataTask>& dataTask,
    const Data& data) {
    std::int64_t held = 0;
    {
        std::lock_guard lock(mutex_);
        if (session != session_) return;
        if (!mediaData_) return;  // no buffer: the block is dropped
        mediaData_->append(data);
        held = mediaData_->size;
    }
    processPendingRequests();
    auto item = owner();
    if (!item) return;
    if (auto delegate = item->delegate())
        delegate->playerItemDidDownloadBytesSoFar(item, held, dataTask->countOfBytesExpectedToReceive());
}

void OVCachePlayerItem::ResourceLoaderDelegate::didCompleteWithError(
    const std::shared_ptr<URLSession>& session, const std::shared_ptr<platform::net::URLSessionTask>&,
    const std::optional<URLError>& error) {
    std::optional<URLError> failure;
    {
        std::lock_guard lock(mutex_);
        if (session != session_) return;  // the end of a session that has been reset
        failure = statusFailure_ ? statusFailure_ : error;
        if (!failure) downloadEnded_ = true;
    }
    auto item = owner();
    if (failure) {
        // The pending requests wait; the session stays until it is reset.
        if (!item) return;
        if (auto delegate = item->delegate()) delegate->playerItemDownloadingFailedWith(item, *failure);
        return;
    }
    processPendingRequests();
    if (!item) return;
    auto delegate = item->delegate();
    if (!delegate) return;
    std::optional<MediaBuffer> held;  // the blocks, not the bytes: joined outside the lock
    {
        std::lock_guard lock(mutex_);
        held = mediaData_;
    }
    const auto whole = held ? held->whole() : std::make_shared<const Data>();
    delegate->playerItemDidFinishDownloadingData(item, *whole);
}

bool OVCachePlayerItem::ResourceLoaderDelegate::processPendingRequests(std::int64_t budget) {
    std::lock_guard process(processMutex_);
    bool leftShort = false;

    struct Answer {
        std::shared_ptr<LoadingRequest> request;
        bool writeInformation = false;
        std::optional<std::string> contentType;
        std::int64_t contentLength = 0;
        bool wholeAtHand = false;
        std::vector<MediaBuffer::Slice> slices;
        bool complete = false;
    };
    std::vector<Answer> answers;
    {
        std::lock_guard lock(mutex_);
        answers.reserve(pendingRequests_.size());
        const auto held = mediaData_ ? mediaData_->size : 0;
        for (const auto& request : pendingRequests_) {
            Answer answer;
            answer.request = request;
            // Content information: from the given bytes, or once the response is there.
            if (request->contentInformationRequest()) {
                if (playingFromData_) {
                    answer.writeInformation = true;
                    answer.contentType = mimeType_;
                    answer.contentLength = held;
                    answer.wholeAtHand = true;
                } else if (response_) {
                    answer.writeInformation = true;
                    answer.contentType = response_->mimeType();
                    answer.contentLength = response_->expectedContentLength();
                    // A download that has ended holds the whole file.
                    answer.wholeAtHand = downloadEnded_ && answer.contentLength == held;
                }
            }
            // Data: what the buffer holds of what remains of the request's range.
            if (const auto* data = request->dataRequest()) {
                const std::int64_t end = data->requestedOffset() + data->requestedLength();
                const std::int64_t current = data->currentOffset();
                std::int64_t count = 0;
                bool shortened = false;
                if (mediaData_ && held > current) {
                    count = std::max<std::int64_t>(0, std::min(held - current, end - current));
                    if (count > budget) {
                        count = budget;
                        shortened = leftShort = true;
                    }
                    if (count > 0) answer.slices = mediaData_->slices(current, current + count);
                }
                // Once the download has ended nothing more comes: a request
                // that reaches the end of the buffer is done (a response of
                // unknown length ends there).
                const std::int64_t reached = current + count;
                answer.complete =
                    mediaData_ && !shortened && (held >= end || (downloadEnded_ && reached >= held));
            } else {
                // A request without a data part ends once it is informed.
                answer.complete = answer.writeInformation;
            }
            answers.push_back(std::move(answer));
        }
    }

    std::vector<std::shared_ptr<LoadingRequest>> done;
    for (auto& answer : answers) {
        if (answer.writeInformation) {
            auto* information = answer.request->contentInformationRequest();
            information->setContentType(answer.contentType);
            information->setContentLength(answer.contentLength);
            information->setByteRangeAccessSupported(true);
            information->setEntireLengthAvailableOnDemand(answer.wholeAtHand);
        }
        for (const auto& slice : answer.slices) answer.request->dataRequest()->respond(slice.bytes, slice.block);
        if (answer.complete) {
            answer.request->finishLoading();
            done.push_back(answer.request);
        }
    }
    if (done.empty()) return leftShort;
    std::lock_guard lock(mutex_);
    std::erase_if(pendingRequests_, [&](const auto& request) {
        return std::find(done.begin(), done.end(), request) != done.end();
    });
    return leftShort;
}

bool OVCachePlayerItem::ResourceLoaderDelegate::playingFromData() const {
    std::lock_guard lock(mutex_);
    return playingFromData_;
}
std::optional<std::string> OVCachePlayerItem::ResourceLoaderDelegate::mimeType() const {
    std::lock_guard lock(mutex_);
    return mimeType_;
}
std::shared_ptr<URLSession> OVCachePlayerItem::ResourceLoaderDelegate::session() const {
    std::lock_guard lock(mutex_);
    return session_;
}
std::optional<std::size_t> OVCachePlayerItem::ResourceLoaderDelegate::mediaDataSize() const {
    std::lock_guard lock(mutex_);
    if (!mediaData_) return std::nullopt;
    return static_cast<std::size_t>(mediaData_->size);
}
std::optional<URLResponse> OVCachePlayerItem::ResourceLoaderDelegate::response() const {
    std::lock_guard lock(mutex_);
    return response_;
}
std::size_t OVCachePlayerItem::ResourceLoaderDelegate::pendingRequestCount() const {
    std::lock_guard lock(mutex_);
    return pendingRequests_.size();
}

}  // namespace orvane
