// The download of an audio file into the cache's download folder.
#include "orvane/model/OVAudio.hpp"

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

void OVAudio::download(const std::shared_ptr<OVAudioDownloadDelegate>& withDelegate,
                       std::function<void(bool)> completionHandler) const {
    auto name = cacheName();
    if (!name) {
        if (completionHandler) completionHandler(false);
        return;
    }
    if (auto data = OVAudioCache::find(*name)) {
        OVAudioCache::save(*data, *name);
        if (completionHandler) completionHandler(true);
        if (withDelegate) withDelegate->downloadDidEnd(*this, true);
        return;
    }
    // No transfer is available in this build: the download ends at once, not
    // completed, so the episode goes back to "not downloaded".
    platform::core::debugPrint("audio download unavailable: " + *audio);
    if (completionHandler) completionHandler(false);
    if (withDelegate) withDelegate->downloadDidEnd(*this, false);
}

}  // namespace orvane
