// Where a medium's audio file is ("audioSrc") and how long it is
// ("trackDuration", seconds), the questions to the disk cache about it, and
// its download into the cache's download folder.
//
// `isInCache`/`isDownloaded` only read the disk and may run on any thread
// (episodes ask while a widget state is decoded on the decoding queue);
// `download` runs on the main thread. Plain value.
#pragma once

#include "platform/core/Json.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace orvane {

struct OVAudio;

// Download reports of an audio to its owner (an episode). Held weakly by the
// download's handlers; called on the main thread.
class OVAudioDownloadDelegate {
public:
    virtual ~OVAudioDownloadDelegate() = default;
    // The fraction received so far, 0 to 1.
    virtual void downloadDidProgress(const OVAudio& forAudio, float toValue) = 0;
    virtual void downloadDidEnd(const OVAudio& forAudio, bool completed) = 0;
};

struct OVAudio {
    std::optional<std::string> audio;  // "audioSrc": the address as text
    std::optional<double> duration;    // "trackDuration": seconds

    OVAudio() = default;
    OVAudio(std::optional<std::string> audio, std::optional<double> duration)
        : audio(std::move(audio)), duration(duration) {}

    // Throws DecodingError.
    static OVAudio decode(const platform::core::Json& json);

    // The name under which the disk cache keeps the file: the last path
    // component of the address; none without a valid address.
    std::optional<std::string> cacheName() const;

    // The audio cache's folder holds the file.
    bool isInCache() const;
    // The audio cache's download folder holds the file.
    bool isDownloaded() const;

    // Fetches the file into the download folder. Without a valid address the
    // completion gets false and nothing else happens; a file the cache
    // already holds is moved to the download folder without any request and
    // reported complete. The completion runs before the delegate's end
    // report. Main thread.
    void download(const std::shared_ptr<OVAudioDownloadDelegate>& withDelegate,
                  std::function<void(bool)> completionHandler) const;
};

}  // namespace orvane
