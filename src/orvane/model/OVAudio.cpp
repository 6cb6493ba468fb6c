#include "orvane/model/OVAudio.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/playback/OVCacheManager.hpp"

#include <unordered_map>

namespace orvane {

OVAudio OVAudio::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    OVAudio audio;
    audio.audio = decoding::ifPresent<std::string>(object, "audioSrc");
    audio.duration = decoding::ifPresent<double>(object, "trackDuration");
    return audio;
}

namespace {

// The cache key of an audio address: its last path component, none when the
// text is no address.
std::optional<std::string> lastPathComponentOf(const std::string& audio) {
    auto address = url(audio);
    if (!address) return std::nullopt;
    return address->lastPathComponent();
}

}  // namespace

std::optional<std::string> OVAudio::cacheName() const {
    if (!audio) return std::nullopt;
    // Every state the widget posts names the same episodes again: their keys
    // are remembered per thread (a pure function of the text), a bounded
    // number of them.
    thread_local std::unordered_map<std::string, std::optional<std::string>> known;
    if (auto it = known.find(*audio); it != known.end()) return it->second;
    auto name = lastPathComponentOf(*audio);
    if (known.size() >= 4096) known.clear();
    known.emplace(*audio, name);
    return name;
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
