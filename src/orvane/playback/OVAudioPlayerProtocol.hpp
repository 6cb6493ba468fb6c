// The commands of the audio player, as the coordinator uses them: status,
// duration and position; load a source from an audio record or an episode;
// play, pause, seek, skip 30 s back or forward; cancel. Main thread only.
#pragma once

#include <functional>
#include <optional>

#include "orvane/model/OVAudio.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"

namespace orvane {

class OVAudioPlayerProtocol {
public:
    virtual ~OVAudioPlayerProtocol() = default;

    virtual OVAudioPlayerStatus status() const = 0;
    virtual std::optional<double> duration() const = 0;
    virtual std::optional<OVAudioPosition> position() const = 0;

    virtual void set(const OVAudio& audio) = 0;
    virtual void set(const OVTrack& track) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    // Moves to `to` seconds (whole seconds); the handler gets the seek's
    // finished flag, and is never called when no audio is loaded.
    virtual void seek(double to, std::function<void(bool finished)> completionHandler = {}) = 0;
    // Seek 30 s back or forward; the completion runs only when the seek finished.
    virtual void backward(std::function<void()> completion = {}) = 0;
    virtual void forward(std::function<void()> completion = {}) = 0;
    virtual void cancel() = 0;
};

}  // namespace orvane
