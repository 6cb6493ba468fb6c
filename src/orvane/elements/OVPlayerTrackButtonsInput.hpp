// What the transport buttons' presenter hands back to its view: one
// overload per view model. Adopted by `OVPlayerTrackButtons`; main thread.
#pragma once

#include "orvane/elements/OVPlayerTrackButtonsModel.hpp"

namespace orvane {

class OVPlayerTrackButtonsInput {
public:
    virtual ~OVPlayerTrackButtonsInput() = default;
    virtual void update(const OVPlayerTrackButtonsModel::Style& withViewModel) = 0;
    virtual void update(const OVPlayerTrackButtonsModel::AudioStatus& withViewModel) = 0;
    virtual void update(const OVPlayerTrackButtonsModel::PositionCanBeChanged& withViewModel) = 0;
};

}  // namespace orvane
