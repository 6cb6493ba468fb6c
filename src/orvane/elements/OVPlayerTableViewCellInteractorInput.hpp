// What the player cell asks of its presenter: the page's updates, unchanged,
// and the slider's events (a move of the thumb, its release, its
// cancellation). Adopted by `OVPlayerTableViewCellInteractor`; main thread.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVPlayerTableViewCellInteractorInput {
public:
    virtual ~OVPlayerTableViewCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(double time, double duration) = 0;
    virtual void update(bool positionCanBeChanged) = 0;
    virtual void sliderValueWasChangedByUser(float value) = 0;
    virtual void sliderValueChangeEnded(float value) = 0;
    // The drag was taken away from the slider (a cancelled touch): no seek.
    virtual void sliderValueChangeCancelled() = 0;
};

}  // namespace orvane
