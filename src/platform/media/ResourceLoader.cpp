#include "platform/media/ResourceLoader.hpp"

namespace platform::media {

// ---- ContentInformationRequest ----

std::optional<std::string> ContentInformationRequest::contentType() const {
    std::lock_guard lock(mutex_);
    return contentType_;
}
void ContentInformationRequest::setContentType(std::optional<std::string> type) {
    std::lock_guard lock(mutex_);
    contentType_ = std::move(type);
}
std::int64_t ContentInformationRequest::contentLength() const {
    std::lock_guard lock(mutex_);
    return contentLength_;
}
void ContentInformationRequest::setContentLength(std::int64_t length) {
    std::lock_guard lock(mutex_);
    contentLength_ = length;
}
bool ContentInformationRequest::isByteRangeAccessSupported() const {
    std::lock_guard lock(mutex_);
    return byteRangeAccessSupported_;
}
void ContentInformationRequest::setByteRangeAccessSupported(bool supported) {
    std::lock_guard lock(mutex_);
    byteRangeAccessSupported_ = supported;
}
bool ContentInformationRequest::isEntireLengthAvailableOnDemand() const {
    std::lock_guard lock(mutex_);
    return entireLengthAvailableOnDemand_;
}
void ContentInformationRequest::setEntireLengthAvailableOnDemand(bool available) {
    std::lock_guard lock(mutex_);
    entireLengthAvailableOnDemand_ = available;
}

// ---- DataRequest ----

std::int64_t DataRequest::currentOffset() const {
    std::lock_guard lock(mutex_);
    return currentOffset_;
}

void DataRequest::respond(std::span<const std::uint8_t> data) { respond(data, nullptr); }

void DataRequest::respond(std::span<const std::uint8_t> data, std::shared_ptr<const core::Data> block) {
    if (data.empty()) return;
    // Nothing more reaches a request that has ended.
    if (owner_ && (owner_->isFinished() || owner_->isCancelled())) return;
    std::int64_t offset = 0;
    {
        // The offset is claimed first so that concurrent answers land one
        // after the other.
        std::lock_guard lock(mutex_);
        offset = currentOffset_;
        currentOffset_ += static_cast<std::int64_t>(data.size());
    }
    if (owner_) owner_->deliver(offset, data, block);
}

// ---- LoadingRequest ----

LoadingRequest::LoadingRequest(core::URL url, bool withContentInformation, std::optional<Range> range,
                               std::weak_ptr<LoadingRequestClient> client)
    : url_(std::move(url)), client_(std::move(client)) {
    if (withContentInformation) contentInformation_ = std::make_unique<ContentInformationRequest>();
    if (range) {
        data_ = std::make_unique<DataRequest>(range->offset, range->length, range->toEndOfResource);
        data_->owner_ = this;
    }
}

std::shared_ptr<LoadingRequest> LoadingRequest::create(core::URL url, bool withContentInformation,
                                                       std::optional<Range> range,
                                                       std::weak_ptr<LoadingRequestClient> client) {
    return std::shared_ptr<LoadingRequest>(
        new LoadingRequest(std::move(url), withContentInformation, range, std::move(client)));
}

bool LoadingRequest::deliver(std::int64_t offset, std::span<const std::uint8_t> data,
                             const std::shared_ptr<const core::Data>& block) {
    {
        std::lock_guard lock(mutex_);
        if (finished_ || cancelled_) return false;
        responded_ += static_cast<std::int64_t>(data.size());
    }
    if (auto client = client_.lock()) client->loadingRequestDidReceiveData(*this, offset, data, block);
    return true;
}

void LoadingRequest::finish(std::optional<MediaError> error) {
    {
        std::lock_guard lock(mutex_);
        if (finished_ || cancelled_) return;
        finished_ = true;
    }
    if (auto client = client_.lock()) client->loadingRequestDidFinish(shared_from_this(), error);
}

void LoadingRequest::finishLoading() { finish(std::nullopt); }
void LoadingRequest::finishLoading(MediaError error) { finish(std::move(error)); }

bool LoadingRequest::isFinished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}
bool LoadingRequest::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}
std::int64_t LoadingRequest::respondedByteCount() const {
    std::lock_guard lock(mutex_);
    return responded_;
}

bool LoadingRequest::cancel() {
    std::lock_guard lock(mutex_);
    if (finished_ || cancelled_) return false;
    cancelled_ = true;
    return true;
}

// ---- ResourceLoader ----

std::shared_ptr<ResourceLoader> ResourceLoader::create() {
    return std::shared_ptr<ResourceLoader>(new ResourceLoader());
}

void ResourceLoader::setDelegate(std::weak_ptr<ResourceLoaderDelegate> delegate, core::DispatchQueue& queue) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
    queue_ = &queue;
}

std::shared_ptr<ResourceLoaderDelegate> ResourceLoader::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void ResourceLoader::load(const std::shared_ptr<LoadingRequest>& request) {
    core::DispatchQueue* queue = nullptr;
    {
        std::lock_guard lock(mutex_);
        queue = queue_;
    }
    auto run = [self = shared_from_this(), request] {
        if (request->isCancelled()) return;
        auto delegate = self->delegate();
        const bool taken = delegate && delegate->resourceLoaderShouldWaitForLoadingOfRequestedResource(*self, request);
        if (!taken) {
            request->finishLoading(MediaError{kMediaErrorDomain, kMediaErrorNoLoader,
                                              "The resource loader did not take the request"});
        }
    };
    if (queue) {
        queue->async(std::move(run));
    } else {
        core::DispatchQueue::main().async(std::move(run));
    }
}

void ResourceLoader::cancel(const std::shared_ptr<LoadingRequest>& request) {
    if (!request->cancel()) return;
    core::DispatchQueue* queue = nullptr;
    {
        std::lock_guard lock(mutex_);
        queue = queue_;
    }
    auto run = [self = shared_from_this(), request] {
        if (auto delegate = self->delegate()) delegate->resourceLoaderDidCancel(*self, request);
    };
    if (queue) {
        queue->async(std::move(run));
    } else {
        core::DispatchQueue::main().async(std::move(run));
    }
}

}  // namespace platform::media
