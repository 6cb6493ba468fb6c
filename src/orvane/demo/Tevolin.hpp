// Demo podcast "Tevolin raconte": 2 episodes, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>

namespace orvane {

struct Tevolin {
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;
    const std::shared_ptr<OVTrack> track2;

    Tevolin();
};

}  // namespace orvane
