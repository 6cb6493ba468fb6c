#include "orvane/playback/OVDiskStores.hpp"

#include <charconv>
#include <string>

#include "orvane/model/OVAudio.hpp"
#include "orvane/model/OVAudioStore.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/playback/OVDownloadManager.hpp"
#include "orvane/toolkit/OVImageStore.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/NoDestructor.hpp"
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

class OVAudioDiskStore final : public OVAudioStore {
public:
    bool isInCache(const std::string& name) const override { return OVAudioCache::isInCache(name); }
    bool isDownloaded(const std::string& name) const override { return OVAudioCache::isDownloaded(name); }

    std::shared_ptr<void> presenceSnapshot() const override {
        return std::make_shared<OVAudioCache::PresenceSnapshot>();
    }

    void download(const OVAudio& audio, const std::string& name, const platform::core::URL& url,
                  const std::shared_ptr<OVAudioDownloadDelegate>& withDelegate,
                  std::function<void(bool)> completionHandler) const override {
        if (auto data = OVAudioCache::find(name)) {
            OVAudioCache::save(*data, name);
            if (completionHandler) completionHandler(true);
            if (withDelegate) withDelegate->downloadDidEnd(audio, true);
            return;
        }

        // The manager keeps itself alive until its completion has run; the
        // handlers hold the delegate weakly and a copy of the audio.
        std::weak_ptr<OVAudioDownloadDelegate> delegate = withDelegate;
        const OVAudio audioCopy = audio;
        OVDownloadManager::create(
            url,
            [delegate, audioCopy](float fraction) {
                platform::core::debugPrint("\"progress:\" " + fractionText(fraction));
                if (auto strong = delegate.lock()) strong->downloadDidProgress(audioCopy, fraction);
            },
            [delegate, audioCopy, name, completionHandler = std::move(completionHandler)](
                std::optional<platform::core::Data> data, std::optional<platform::net::URLError> error) {
                // Bytes that cannot be read as audio are no download of the episode.
            if (data && !platform::media::isPlayableAudio(*data)) {
                platform::core::debugPrint("download: " + name + " is not audio");
                data.reset();
            }
            if (data) OVAudioCache::save(*data, name);
                // Only a whole file without an error counts as downloaded: an
                // end with neither (an unreadable file) leaves the episode not
                // downloaded.
                const bool completed = !error && data.has_value();
                if (completionHandler) completionHandler(completed);
                if (auto strong = delegate.lock()) strong->downloadDidEnd(audioCopy, completed);
            });
    }
};

class OVImageDiskStore final : public OVImageStore {
public:
    std::optional<platform::graphics::Image> find(std::string_view key) const override { return OVImageCache::find(key); }
    void cache(const platform::graphics::Image& image, std::string_view key) const override {
        OVImageCache::cache(image, key);
    }
};

}  // namespace

void installDiskStores() {
    static platform::core::NoDestructor<OVAudioDiskStore> audioStore;
    static platform::core::NoDestructor<OVImageDiskStore> imageStore;
    OVAudioStore::install(*audioStore);
    OVImageStore::install(*imageStore);
}

}  // namespace orvane
