#include "orvane/model/OVAudio.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/model/OVAudioStore.hpp"

namespace orvane {

OVAudio OVAudio::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    OVAudio audio;
    audio.audio = decoding::ifPresent<std::string>(object, "audioSrc");
    audio.duration = decoding::ifPresent<double>(object, "trackDuration");
    return audio;
}

std::optional<std::string> OVAudio::cacheName() const {
    if (!audio) return std::nullopt;
    auto address = url(*audio);
    if (!address) return std::nullopt;
    return address->lastPathComponent();
}

bool OVAudio::isInCache() const {
    auto name = cacheName();
    const auto* store = OVAudioStore::installed();
    return name && store && store->isInCache(*name);
}

bool OVAudio::isDownloaded() const {
    auto name = cacheName();
    const auto* store = OVAudioStore::installed();
    return name && store && store->isDownloaded(*name);
}

void OVAudio::download(const std::shared_ptr<OVAudioDownloadDelegate>& withDelegate,
                       std::function<void(bool)> completionHandler) const {
    auto name = cacheName();
    auto url = audio ? platform::core::URL::parse(*audio) : std::nullopt;
    const auto* store = OVAudioStore::installed();
    if (!name || !url || !store) {
        if (completionHandler) completionHandler(false);
        return;
    }
    store->download(*this, *name, *url, withDelegate, std::move(completionHandler));
}

}  // namespace orvane
