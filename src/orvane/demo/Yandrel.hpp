// Demo podcast "The Long Walk Home": 2 episodes, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>
#include <string>

namespace orvane {

struct Yandrel {
    const std::string editor;
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;
    const std::shared_ptr<OVTrack> track2;

    Yandrel();
};

}  // namespace orvane
