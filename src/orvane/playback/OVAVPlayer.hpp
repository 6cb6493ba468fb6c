// The player the audio player builds for every new source address. Built for
// an address, it plays the file from the disk cache when the cache holds it
// under the address's last path component, and otherwise streams the address
// through a caching player item; when that item's download finishes, the
// player stores the bytes in the disk cache under the same name, so that the
// next player built for the address plays from the cache without any request.
// A failed download of its current item goes to the player's delegate.
//
// Built and driven on the main queue; the item's reports (cache write,
// failure) arrive on the item's session queue. The delegate is held weakly;
// the player holds its item, which refers back to it weakly.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "orvane/playback/OVCachePlayerItem.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/Player.hpp"

namespace orvane {

class OVAVPlayerDelegate {
public:
    virtual ~OVAVPlayerDelegate() = default;
    virtual void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                 const platform::net::URLError& error) = 0;
};

class OVAVPlayer : public platform::media::Player, public OVCachePlayerItemDelegate {
public:
    // A player for `url`: from the disk cache, else streamed. An address the
    // caching item refuses gives a player whose item fails to load.
    static std::shared_ptr<OVAVPlayer> create(const platform::core::URL& url);
    // Without an address (nothing is ever stored in the cache).
    static std::shared_ptr<OVAVPlayer> create();
    static std::shared_ptr<OVAVPlayer> create(std::shared_ptr<platform::media::PlayerItem> item);

    std::shared_ptr<OVAVPlayerDelegate> delegate() const;
    void setDelegate(std::weak_ptr<OVAVPlayerDelegate> delegate);
    std::optional<platform::core::URL> url() const;
    void setUrl(std::optional<platform::core::URL> url);

    // ---- OVCachePlayerItemDelegate (session queue) ----
    void playerItemDidFinishDownloadingData(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                            const platform::core::Data& data) override;
    void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                         const platform::net::URLError& error) override;

private:
    OVAVPlayer() = default;

    mutable std::mutex mutex_;  // guards the delegate and the address (read on the session queue)
    std::weak_ptr<OVAVPlayerDelegate> delegate_;
    std::optional<platform::core::URL> url_;
};

}  // namespace orvane
