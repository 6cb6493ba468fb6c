#include "orvane/model/OVAudio.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/playback/OVCacheManager.hpp"

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
    return name && OVAudioCache::isInCache(*name);
}

bool OVAudio::isDownloaded() const {
    auto name = cacheName();
    return name && OVAudioCache::isDownloaded(*name);
}

}  // namespace orvane
