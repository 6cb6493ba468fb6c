// What the transport buttons' view asks of its presenter: the three updates
// it receives from the player cell, unchanged, and the play tap's haptic.
// Adopted by `OVPlayerTrackButtonsInteractor`; main thread.
#pragma once

#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVPlayerTrackButtonsInteractorInput {
public:
    virtual ~OVPlayerTrackButtonsInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void update(bool positionCanBeChanged) = 0;
    virtual void didTap() = 0;
};

}  // namespace orvane
