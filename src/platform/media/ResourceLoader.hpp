// How an asset whose address has a scheme the media framework cannot load by
// itself gets its bytes: every read becomes a loading request handed to the
// asset's resource-loader delegate, on the queue given with the delegate (the
// main queue in this component).
//
// The first request of an item carries a content-information part (type,
// length, byte-range support) and a small data part; the following requests
// carry data parts only. The delegate answers a data part with `respond`,
// which advances `currentOffset`, and ends the request with `finishLoading`.
// Requests the player no longer needs are cancelled: the delegate hears of it
// through `resourceLoaderDidCancel`, and what is sent to a cancelled request
// afterwards is dropped.
//
// Requests are answered from any thread: every operation of a request is
// thread-safe. The delegate is held weakly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "platform/core/DispatchQueue.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/MediaError.hpp"

namespace platform::media {

class LoadingRequest;
class ResourceLoader;

// The content-information part of a loading request.
class ContentInformationRequest {
public:
    std::optional<std::string> contentType() const;
    void setContentType(std::optional<std::string> type);
    // 0 until the delegate writes it.
    std::int64_t contentLength() const;
    void setContentLength(std::int64_t length);
    bool isByteRangeAccessSupported() const;
    void setByteRangeAccessSupported(bool supported);
    // True when every byte of the resource can be answered at once (bytes
    // already in memory, a download that has ended): the item may read all
    // of it before it tells a duration.
    bool isEntireLengthAvailableOnDemand() const;
    void setEntireLengthAvailableOnDemand(bool available);

private:
    mutable std::mutex mutex_;
    std::optional<std::string> contentType_;
    std::int64_t contentLength_ = 0;
    bool byteRangeAccessSupported_ = false;
    bool entireLengthAvailableOnDemand_ = false;
};

// The data part of a loading request: the range wanted and how far the
// answers have come.
class DataRequest {
public:
    DataRequest(std::int64_t requestedOffset, std::int64_t requestedLength, bool toEndOfResource)
        : requestedOffset_(requestedOffset), requestedLength_(requestedLength),
          requestsAllDataToEndOfResource_(toEndOfResource), currentOffset_(requestedOffset) {}

    std::int64_t requestedOffset() const { return requestedOffset_; }
    std::int64_t requestedLength() const { return requestedLength_; }
    bool requestsAllDataToEndOfResource() const { return requestsAllDataToEndOfResource_; }
    // The offset of the next byte to send: the requested offset plus every
    // byte sent so far.
    std::int64_t currentOffset() const;

    // Sends the next bytes (they land at `currentOffset()`). With the block
    // they lie in, the bytes are kept by reference to it rather than copied.
    void respond(std::span<const std::uint8_t> data);
    void respond(std::span<const std::uint8_t> data, std::shared_ptr<const core::Data> block);

private:
    friend class LoadingRequest;
    const std::int64_t requestedOffset_;
    const std::int64_t requestedLength_;
    const bool requestsAllDataToEndOfResource_;
    mutable std::mutex mutex_;
    std::int64_t currentOffset_;
    LoadingRequest* owner_ = nullptr;
};

// What a loading request tells whoever asked for it (the player item):
// called on the thread that answers the request. `block`, when not null, is
// what `data` lies in and may be kept instead of a copy; otherwise the bytes
// are valid for the call only.
class LoadingRequestClient {
public:
    virtual ~LoadingRequestClient() = default;
    virtual void loadingRequestDidReceiveData(const LoadingRequest& request, std::int64_t offset,
                                              std::span<const std::uint8_t> data,
                                              const std::shared_ptr<const core::Data>& block) = 0;
    virtual void loadingRequestDidFinish(const std::shared_ptr<LoadingRequest>& request,
                                         const std::optional<MediaError>& error) = 0;
};

class LoadingRequest : public std::enable_shared_from_this<LoadingRequest> {
public:
    struct Range {
        std::int64_t offset = 0;
        std::int64_t length = 0;
        bool toEndOfResource = false;
    };

    // A request for `url`; `withContentInformation` adds a content-information
    // part, `range` a data part. The client (held weakly) hears of answers.
    static std::shared_ptr<LoadingRequest> create(core::URL url, bool withContentInformation,
                                                  std::optional<Range> range,
                                                  std::weak_ptr<LoadingRequestClient> client = {});
    LoadingRequest(const LoadingRequest&) = delete;
    LoadingRequest& operator=(const LoadingRequest&) = delete;

    const core::URL& url() const { return url_; }
    // None when the request has no such part.
    ContentInformationRequest* contentInformationRequest() { return contentInformation_.get(); }
    const ContentInformationRequest* contentInformationRequest() const { return contentInformation_.get(); }
    DataRequest* dataRequest() { return data_.get(); }
    const DataRequest* dataRequest() const { return data_.get(); }

    // Ends the request. A second finish, or a finish after cancellation, is
    // ignored.
    void finishLoading();
    void finishLoading(MediaError error);

    bool isFinished() const;
    bool isCancelled() const;
    // Total of the bytes sent through the data part.
    std::int64_t respondedByteCount() const;

    // Marks the request cancelled (the resource loader does this and tells
    // its delegate). Returns false when it was already finished or cancelled.
    bool cancel();

private:
    LoadingRequest(core::URL url, bool withContentInformation, std::optional<Range> range,
                   std::weak_ptr<LoadingRequestClient> client);
    friend class DataRequest;
    // Called by the data part: true when the bytes may be sent.
    bool deliver(std::int64_t offset, std::span<const std::uint8_t> data,
                 const std::shared_ptr<const core::Data>& block);
    void finish(std::optional<MediaError> error);

    core::URL url_;
    std::unique_ptr<ContentInformationRequest> contentInformation_;
    std::unique_ptr<DataRequest> data_;
    std::weak_ptr<LoadingRequestClient> client_;
    mutable std::mutex mutex_;
    bool finished_ = false;
    bool cancelled_ = false;
    std::int64_t responded_ = 0;
};

// The delegate of a resource loader: the reads of the asset arrive here.
class ResourceLoaderDelegate {
public:
    virtual ~ResourceLoaderDelegate() = default;
    // Returns true when the delegate takes the request (and will finish it);
    // false fails the request.
    virtual bool resourceLoaderShouldWaitForLoadingOfRequestedResource(
        ResourceLoader& loader, const std::shared_ptr<LoadingRequest>& request) = 0;
    virtual void resourceLoaderDidCancel(ResourceLoader& loader, const std::shared_ptr<LoadingRequest>& request) {
        (void)loader;
        (void)request;
    }
};

class ResourceLoader : public std::enable_shared_from_this<ResourceLoader> {
public:
    static std::shared_ptr<ResourceLoader> create();

    // Sets the delegate (held weakly) and the queue it is called on.
    void setDelegate(std::weak_ptr<ResourceLoaderDelegate> delegate, core::DispatchQueue& queue);
    std::shared_ptr<ResourceLoaderDelegate> delegate() const;

    // Hands a request to the delegate on its queue. With no delegate, or when
    // the delegate declines it, the request fails.
    void load(const std::shared_ptr<LoadingRequest>& request);
    // Cancels a request and tells the delegate on its queue.
    void cancel(const std::shared_ptr<LoadingRequest>& request);

private:
    ResourceLoader() = default;

    mutable std::mutex mutex_;
    std::weak_ptr<ResourceLoaderDelegate> delegate_;
    core::DispatchQueue* queue_ = nullptr;
};

}  // namespace platform::media
