// Demo podcast "Voces de la Ribera": 7 episodes, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>
#include <string>

namespace orvane {

struct Dornaway {
    const std::string editor;
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;
    const std::shared_ptr<OVTrack> track2;
    const std::shared_ptr<OVTrack> track3;
    const std::shared_ptr<OVTrack> track4;
    const std::shared_ptr<OVTrack> track5;
    const std::shared_ptr<OVTrack> track6;
    const std::shared_ptr<OVTrack> track7;

    Dornaway();
};

}  // namespace orvane
