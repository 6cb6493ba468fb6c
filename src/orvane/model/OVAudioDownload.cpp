// The download of an audio file into the cache's download folder.
#include "orvane/model/OVAudio.hpp"

#include <charconv>
#include <string>

#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/playback/OVDownloadManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/MediaProbe.hpp"

namespace orvane {
namespace {

// A fraction as the debug output shows it: shortest form, "1.0" not "1".
std::string fractionText(float value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
}

}  // namespace

void OVAudio::download(const std::shared_ptr<OVAudioDownloadDelegate>& withDelegate,
                       std::function<void(bool)> completionHandler) const {
    auto name = cacheName();
    auto url = audio ? platform::core::URL::parse(*audio) : std::nullopt;
    if (!name || !url) {
        if (completionHandler) completionHandler(false);
        return;
    }
    if (auto data = OVAudioCache::find(*name)) {
        OVAudioCache::save(*data, *name);
        if (completionHandler) completionHandler(true);
        if (withDelegate) withDelegate->downloadDidEnd(*this, true);
        return;
    }

    // The manager keeps itself alive until its completion has run; the
    // handlers hold the delegate weakly and a copy of this audio.
    std::weak_ptr<OVAudioDownloadDelegate> delegate = withDelegate;
    const OVAudio audioCopy = *this;
    OVDownloadManager::create(
        *url,
        [delegate, audioCopy](float fraction) {
            platform::core::debugPrint("\"progress:\" " + fractionText(fraction));
            if (auto strong = delegate.lock()) strong->downloadDidProgress(audioCopy, fraction);
        },
        [delegate, audioCopy, name = *name, completionHandler = std::move(completionHandler)](
            std::optional<platform::core::Data> data, std::optional<platform::net::URLError> error) {
            // Bytes that cannot be read as audio are no download of the episode.
            if (data && !platform::media::isPlayableAudio(*data)) {
                platform::core::debugPrint("download: " + name + " is not audio");
                data.reset();
            }
            if (data) OVAudioCache::save(*data, name);
            // Only a whole file without an error counts as downloaded: an end
            // with neither (an unreadable file) leaves the episode not
            // downloaded.
            const bool completed = !error && data.has_value();
            if (completionHandler) completionHandler(completed);
            if (auto strong = delegate.lock()) strong->downloadDidEnd(audioCopy, completed);
        });
}

}  // namespace orvane
