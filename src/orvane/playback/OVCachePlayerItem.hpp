// The player item through which an episode streams while its whole file is
// downloaded into memory, so that the finished download can be handed on (the
// cache-aware player stores it in the disk cache). It also plays bytes already
// in memory (a cached file) without any request.
//
// The item gives its asset an address with the scheme "orvane", which the media
// layer cannot load by itself: every read of the asset arrives at the item's
// resource loader (on the main queue), which answers it from the bytes
// downloaded so far, or from the given bytes. One download of the whole file,
// from the first byte, serves every request.
//
// Threads: loading requests and cancellations arrive on the main queue; the
// URL session delivers the response, the data and the end of the download on
// its own serial queue, where the item also makes its reports to its delegate.
// The loader's buffer, response, session and pending requests are shared by
// both and guarded by a lock, which is never held while calling out. Passes
// that answer requests are serialised by a second lock, held while bytes are
// sent to requests (the media layer takes them without calling back), never
// while the delegate or the session is called.
//
// Ownership: the item owns its loader; the loader refers back to the item
// weakly; the session holds the loader until the session is invalidated, which
// happens when the item is reset or goes away. The delegate is held weakly.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Json.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/ResourceLoader.hpp"
#include "platform/net/URLError.hpp"
#include "platform/net/URLResponse.hpp"
#include "platform/net/URLSession.hpp"
#include "platform/net/URLSessionDelegate.hpp"

namespace orvane {

struct OVAVPlayerConstants {
    // The whole scheme of the addresses the caching item gives its assets.
    static constexpr std::string_view SchemeSuffix = "orvane";
};

class OVCachePlayerItem;

// Reports of a caching item, made on the item's session queue. Each has an
// empty default: a delegate implements the ones it wants.
class OVCachePlayerItemDelegate {
public:
    virtual ~OVCachePlayerItemDelegate() = default;
    // The download has ended well; `data` is the whole file.
    virtual void playerItemDidFinishDownloadingData(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                    const platform::core::Data& data) {
        (void)playerItem;
        (void)data;
    }
    // Bytes held so far and bytes expected (-1 when the server announced none).
    virtual void playerItemDidDownloadBytesSoFar(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                 std::int64_t bytesDownloaded, std::int64_t bytesExpected) {
        (void)playerItem;
        (void)bytesDownloaded;
        (void)bytesExpected;
    }
    // The download has failed (a network error, or an answer that is not a
    // success status).
    virtual void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                 const platform::net::URLError& error) {
        (void)playerItem;
        (void)error;
    }
};

class OVCachePlayerItem : public platform::media::PlayerItem {
public:
    class ResourceLoaderDelegate;

    // An item that streams `url` and downloads it. None when the address has
    // no scheme or cannot be rebuilt with the item's scheme (or with the
    // custom extension): the item is refused with a debug line.
    static std::shared_ptr<OVCachePlayerItem> create(const platform::core::URL& url,
                                                     std::optional<std::string> customFileExtension = std::nullopt);
    // An item that plays `data`; `mimeType` is reported as the content type
    // and `fileExtension` ends the item's made-up address. None when that
    // address cannot be made from the extension.
    static std::shared_ptr<OVCachePlayerItem> create(platform::core::Data data, std::string mimeType,
                                                     std::string fileExtension);

    ~OVCachePlayerItem() override;

    // The real address of the file (streaming), or the made-up address (bytes).
    const platform::core::URL& url() const { return url_; }
    const std::optional<std::string>& customFileExtension() const { return customFileExtension_; }
    void setCustomFileExtension(std::optional<std::string> extension) { customFileExtension_ = std::move(extension); }
    std::shared_ptr<OVCachePlayerItemDelegate> delegate() const;
    void setDelegate(std::weak_ptr<OVCachePlayerItemDelegate> delegate);
    const std::shared_ptr<ResourceLoaderDelegate>& resourceLoaderDelegate() const { return resourceLoaderDelegate_; }

    // Starts the download unless it runs (or has run) or the item plays bytes.
    void startDataTaskIfNeeded();
    // Ends the download's session, if any: the next start downloads again from
    // the first byte. Callable from the session's queue, also from inside a
    // report of the item.
    void resetURLSession();

private:
    OVCachePlayerItem(std::shared_ptr<platform::media::URLAsset> asset,
                      std::shared_ptr<ResourceLoaderDelegate> loader, platform::core::URL url);

    std::shared_ptr<ResourceLoaderDelegate> resourceLoaderDelegate_;
    platform::core::URL url_;
    std::optional<std::string> customFileExtension_;
    mutable std::mutex delegateMutex_;
    std::weak_ptr<OVCachePlayerItemDelegate> delegate_;
    std::string cachingPlayerItemScheme_;
};

// The item's resource loader: answers the asset's loading requests from the
// download's buffer (or the given bytes) and runs the download.
class OVCachePlayerItem::ResourceLoaderDelegate final
    : public platform::media::ResourceLoaderDelegate,
      public platform::net::URLSessionDataDelegate,
      public std::enable_shared_from_this<OVCachePlayerItem::ResourceLoaderDelegate> {
public:
    ResourceLoaderDelegate() = default;
    ~ResourceLoaderDelegate() override;

    // ---- loading requests (main queue) ----
    bool resourceLoaderShouldWaitForLoadingOfRequestedResource(
        platform::media::ResourceLoader& loader,
        const std::shared_ptr<platform::media::LoadingRequest>& loadingRequest) override;
    void resourceLoaderDidCancel(platform::media::ResourceLoader& loader,
                                 const std::shared_ptr<platform::media::LoadingRequest>& loadingRequest) override;

    void startDataTaskIfNeeded();

    // ---- the download (session queue) ----
    void didReceiveResponse(const std::shared_ptr<platform::net::URLSession>& session,
                            const std::shared_ptr<platform::net::URLSessionDataTask>& dataTask,
                            const platform::net::URLResponse& response,
                            platform::net::ResponseCompletion completionHandler) override;
    void didReceiveData(const std::shared_ptr<platform::net::URLSession>& session,
                        const std::shared_ptr<platform::net::URLSessionDataTask>& dataTask,
                        const platform::core::Data& data) override;
    void didCompleteWithError(const std::shared_ptr<platform::net::URLSession>& session,
                              const std::shared_ptr<platform::net::URLSessionTask>& task,
                              const std::optional<platform::net::URLError>& error) override;

    // Serves every pending request as far as the buffer allows, and at most
    // `budget` bytes to each; true when a request was left short of what the
    // buffer holds for it.
    bool processPendingRequests(std::int64_t budget = std::numeric_limits<std::int64_t>::max());

    // ---- state, for the item and for tests (thread-safe reads) ----
    bool playingFromData() const;
    std::optional<std::string> mimeType() const;
    std::shared_ptr<platform::net::URLSession> session() const;
    // Bytes held in the buffer (none before the first response).
    std::optional<std::size_t> mediaDataSize() const;
    std::optional<platform::net::URLResponse> response() const;
    std::size_t pendingRequestCount() const;

private:
    friend class OVCachePlayerItem;

    void startDataRequest(const platform::core::URL& url);
    // Ends the session and forgets it (no lock held while it is invalidated).
    void resetSession();
    std::shared_ptr<OVCachePlayerItem> owner() const;

    // The bytes held, in blocks that never move once made: an arriving run
    // is copied into the last block while its reserved room lasts (one block
    // reserved for the announced length, so a download of known length is
    // one contiguous block), else into a new one. Requests are answered with
    // slices of them outside the lock; bytes already held are never written
    // again, so a slice stays valid while later bytes are appended.
    struct MediaBuffer {
        struct Slice {
            std::shared_ptr<const platform::core::Data> block;  // keeps the bytes alive
            std::span<const std::uint8_t> bytes;
        };
        std::vector<std::shared_ptr<platform::core::Data>> blocks;
        std::vector<std::int64_t> starts;  // offset of each block in the file
        std::int64_t size = 0;
        std::int64_t expected = 0;  // the announced length, 0 when unknown
        bool lastTakesMore = false;  // the last block was made here, with room

        MediaBuffer() = default;
        explicit MediaBuffer(std::int64_t expectedLength) : expected(std::max<std::int64_t>(0, expectedLength)) {}
        void append(std::span<const std::uint8_t> bytes);
        // Takes a whole block as it is (bytes given up front).
        void adopt(platform::core::Data block);
        // The slices that hold bytes [from, to).
        std::vector<Slice> slices(std::int64_t from, std::int64_t to) const;
        // All of it in one block of bytes: the block itself when there is one.
        std::shared_ptr<const platform::core::Data> whole() const;
    };

    mutable std::mutex mutex_;
    // Held while answering requests, so that two passes never answer the same
    // bytes twice; it guards no data of its own.
    std::mutex processMutex_;

    bool playingFromData_ = false;
    std::optional<std::string> mimeType_;
    std::shared_ptr<platform::net::URLSession> session_;
    std::optional<MediaBuffer> mediaData_;
    std::optional<platform::net::URLResponse> response_;
    std::vector<std::shared_ptr<platform::media::LoadingRequest>> pendingRequests_;
    std::weak_ptr<OVCachePlayerItem> owner_;
    // The failure of a download whose answer was not a success status.
    std::optional<platform::net::URLError> statusFailure_;
    // The current download has ended well: the buffer is the whole file.
    bool downloadEnded_ = false;
};

}  // namespace orvane
