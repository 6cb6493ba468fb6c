// Demo podcast "Minutos de ciencia": 1 episode, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>
#include <string>

namespace orvane {

struct Meltrose {
    const std::string editor;
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;

    Meltrose();
};

}  // namespace orvane
