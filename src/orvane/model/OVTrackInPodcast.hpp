// An episode together with the content that holds it: the unit that the
// following tracks and the pages select and play. Equal when the episodes
// have the same key and the contents the same identifier. Plain value.
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"

#include <memory>

namespace orvane {

struct OVTrackInPodcast {
    std::shared_ptr<OVTrack> track;
    OVContent podcast;

    // Does not check that the content's episodes hold the episode.
    OVTrackInPodcast(std::shared_ptr<OVTrack> track, OVContent inPodcast)
        : track(std::move(track)), podcast(std::move(inPodcast)) {}

    friend bool operator==(const OVTrackInPodcast& a, const OVTrackInPodcast& b) {
        return OVTrackKeyEqual{}(a.track, b.track) && a.podcast == b.podcast;
    }
};

}  // namespace orvane
