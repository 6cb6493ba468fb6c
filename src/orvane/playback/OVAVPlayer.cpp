#include "orvane/playback/OVAVPlayer.hpp"

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/media/MediaProbe.hpp"
#include "platform/media/URLAsset.hpp"

namespace orvane {

using platform::core::URL;

std::shared_ptr<OVAVPlayer> OVAVPlayer::create(const URL& url) {
    const std::string name = url.lastPathComponent();
    std::shared_ptr<platform::media::PlayerItem> item;
    std::shared_ptr<OVCachePlayerItem> cachingItem;
    if (auto cached = OVAudioCache::find(name)) {
        const std::string extension = url.pathExtension();
        // An extension that cannot end the item's made-up address is
        // percent-encoded there; the content type stays the extension.
        const std::string addressExtension =
            URL::parse("orvane://whatever/file." + extension) ? extension : URL::percentEncode(extension);
        cachingItem = OVCachePlayerItem::create(std::move(*cached), extension, addressExtension);
    } else {
        cachingItem = OVCachePlayerItem::create(url);
    }
    if (cachingItem) {
        item = cachingItem;
    } else {
        // Refused address: an item with no loader, which fails to load.
        platform::core::debugPrint("OVAVPlayer: cannot play " + url.absoluteString());
        item = platform::media::PlayerItem::create(platform::media::URLAsset::create(url));
    }
    auto player = std::shared_ptr<OVAVPlayer>(new OVAVPlayer());
    player->setUp(item);
    if (cachingItem) {
        std::shared_ptr<OVCachePlayerItemDelegate> self = player;
        cachingItem->setDelegate(self);
    }
    player->setUrl(url);
    if (platform::core::SystemVersion::isAtLeast(10)) player->setAutomaticallyWaitsToMinimizeStalling(false);
    return player;
}

std::shared_ptr<OVAVPlayer> OVAVPlayer::create() { return create(std::shared_ptr<platform::media::PlayerItem>()); }

std::shared_ptr<OVAVPlayer> OVAVPlayer::create(std::shared_ptr<platform::media::PlayerItem> item) {
    auto player = std::shared_ptr<OVAVPlayer>(new OVAVPlayer());
    player->setUp(std::move(item));
    return player;
}

std::shared_ptr<OVAVPlayerDelegate> OVAVPlayer::delegate() const {
    std::lock_guard lock(mutex_);
    return delegate_.lock();
}

void OVAVPlayer::setDelegate(std::weak_ptr<OVAVPlayerDelegate> delegate) {
    std::lock_guard lock(mutex_);
    delegate_ = std::move(delegate);
}

std::optional<URL> OVAVPlayer::url() const {
    std::lock_guard lock(mutex_);
    return url_;
}

void OVAVPlayer::setUrl(std::optional<URL> url) {
    std::lock_guard lock(mutex_);
    url_ = std::move(url);
}

void OVAVPlayer::playerItemDidFinishDownloadingData(const std::shared_ptr<OVCachePlayerItem>&,
                                                    const platform::core::Data& data) {
    const auto address = url();
    if (!address) return;
    // Bytes that are not audio (an error page served as the episode) would
    // make every later play of the address fail from the cache.
    if (!platform::media::isPlayableAudio(data)) {
        platform::core::debugPrint("OVAVPlayer: not caching " + address->absoluteString() + ": not audio");
        return;
    }
    OVAudioCache::cache(data, address->lastPathComponent());
}

void OVAVPlayer::playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& playerItem,
                                                 const platform::net::URLError& error) {
    // A report from an item the player no longer plays changes nothing.
    if (std::static_pointer_cast<platform::media::PlayerItem>(playerItem) != currentItem()) return;
    if (auto delegate = this->delegate()) delegate->playerItemDownloadingFailedWith(playerItem, error);
}

}  // namespace orvane
