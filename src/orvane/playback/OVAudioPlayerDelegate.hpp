// What the audio player reports, in the order things happen: duration known,
// position changed, status changed, end of the audio, interruption began and
// ended. Implemented by the coordinator, which the player holds weakly. Every
// report is made on the main thread.
#pragma once

#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "orvane/widget/OVState.hpp"

namespace orvane {

// A playback position: time and duration in seconds.
using OVAudioPosition = OVState::AudioPosition;

class OVAudioPlayerDelegate {
public:
    virtual ~OVAudioPlayerDelegate() = default;
    virtual void audioDurationIsKnown(double duration) = 0;
    virtual void audioPositionDidChange(OVAudioPosition position) = 0;
    virtual void audioStatusDidChange(OVAudioPlayerStatus status) = 0;
    virtual void audioDidEnd() = 0;
    virtual void audioInterruptionBegan() = 0;
    virtual void audioInterruptionEnded(bool shouldResume) = 0;
};

}  // namespace orvane
