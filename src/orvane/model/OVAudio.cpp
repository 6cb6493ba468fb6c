#include "orvane/model/OVAudio.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/model/OVAudioStore.hpp"

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

// The last path component of a plain address ("http" or "https", a host, a
// path of letters, digits and "-._~/" only: nothing to decode, no port, query
// or fragment), read straight from the text; none for any other text, which
// goes through the full parse.
std::optional<std::string_view> plainLastPathComponent(std::string_view text) {
    std::string_view rest;
    if (text.starts_with("https://")) rest = text.substr(8);
    else if (text.starts_with("http://")) rest = text.substr(7);
    else return std::nullopt;
    for (const char c : rest) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~' || c == '/';
        if (!plain) return std::nullopt;
    }
    const auto pathStart = rest.find('/');
    if (pathStart == 0) return std::nullopt;  // no host
    if (pathStart == std::string_view::npos) return std::string_view{};
    std::string_view path = rest.substr(pathStart);
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    if (path == "/") return path;
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

std::optional<std::string> OVAudio::cacheName() const {
    if (!audio) return std::nullopt;
    if (auto plain = plainLastPathComponent(*audio)) return std::string(*plain);
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
