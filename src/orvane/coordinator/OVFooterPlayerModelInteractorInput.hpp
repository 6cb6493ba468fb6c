// What the footer player's interactor offers the bar: the four values the
// bar is given by its state manager, each turned into one record for the
// bar. Main thread only; owned by the bar.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVFooterPlayerModelInteractorInput {
public:
    virtual ~OVFooterPlayerModelInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVTrack& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void update(const OVAudioPosition& withAudioPosition) = 0;
};

}  // namespace orvane
