// The choice of an episode to listen to. The coordinator adopts it: the
// presenters of the main, podcast and episode pages hand it the episode the
// listener picked, and it toggles play and pause when that episode is the
// widget's current one or asks the widget to select it otherwise. The main
// and podcast pages' user actions refine it, so their list cells report a
// row tap through the same requirement. Held weakly; main thread only.
#pragma once

#include "orvane/model/OVTrackInPodcast.hpp"

namespace orvane {

class OVEpisodeSelectionDelegate {
public:
    virtual ~OVEpisodeSelectionDelegate() = default;
    virtual void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) = 0;
};

}  // namespace orvane
