// Demo podcast "Ulbrack, histoires de jardins": 3 episodes, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>

namespace orvane {

struct Ulbrack {
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;
    const std::shared_ptr<OVTrack> track2;
    const std::shared_ptr<OVTrack> track3;

    Ulbrack();
};

}  // namespace orvane
