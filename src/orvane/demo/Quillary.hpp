// Demo podcast "Quillary, la science en cuisine": 2 episodes, built from literals; each
// construction makes new episode objects. Immutable once built.
#pragma once

#include "orvane/model/OVMockData.hpp"
#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>

namespace orvane {

struct OVMock::Data::Quillary {
    const OVObjDescription description;
    const std::shared_ptr<OVTrack> track1;
    const std::shared_ptr<OVTrack> track2;

    Quillary();
};

}  // namespace orvane
