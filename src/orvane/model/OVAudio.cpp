#include "orvane/model/OVAudio.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/StringExtensions.hpp"
#if __has_include("orvane/playback/OVCacheManager.hpp")
#include "orvane/playback/OVCacheManager.hpp"
#define ORVANE_HAS_AUDIO_CACHE 1
#endif

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
#ifdef ORVANE_HAS_AUDIO_CACHE
    return name && OVAudioCache::isInCache(*name);
#else
    (void)name;
    return false;
#endif
}

bool OVAudio::isDownloaded() const {
    auto name = cacheName();
#ifdef ORVANE_HAS_AUDIO_CACHE
    return name && OVAudioCache::isDownloaded(*name);
#else
    (void)name;
    return false;
#endif
}

}  // namespace orvane
