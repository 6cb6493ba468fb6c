// Where audios are kept on disk and how they get there: the audio cache and
// the downloader. They belong to the playback layer, above the model; an
// audio (and so an episode) reaches them only through this protocol, which
// the playback layer implements; the facade installs it when it is made
// (`installLayerHooks()`). Without an installed store (the model on its own)
// nothing is cached and nothing downloads.
//
// `installed()` may be called from any thread; what each operation requires
// is what OVAudio says of the operation that calls it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/core/URL.hpp"

namespace orvane {

struct OVAudio;
class OVAudioDownloadDelegate;

class OVAudioStore {
public:
    virtual ~OVAudioStore() = default;

    virtual bool isInCache(const std::string& name) const = 0;
    virtual bool isDownloaded(const std::string& name) const = 0;
    // While the returned holder lives, the presence questions asked on this
    // thread share one look at the disk (see the audio cache). Nests.
    virtual std::shared_ptr<void> presenceSnapshot() const = 0;
    // Fetches `url` into the download folder as `name` (see OVAudio::download).
    virtual void download(const OVAudio& audio, const std::string& name, const platform::core::URL& url,
                          const std::shared_ptr<OVAudioDownloadDelegate>& delegate,
                          std::function<void(bool)> completionHandler) const = 0;

    // The store in use; none until one is installed.
    static const OVAudioStore* installed();
    // Makes `store` the store in use. `store` must never be destroyed.
    static void install(const OVAudioStore& store);
};

}  // namespace orvane
