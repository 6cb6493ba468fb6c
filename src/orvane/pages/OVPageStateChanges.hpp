// What changed, for a page, between the last widget state a page's state
// manager applied and a new one: the theme or main colour, the current
// episode with its podcast (offered only when the new state has both), and
// the player status (offered only when the new state has one). A missing old
// state differs from everything. The podcast and episode pages' state
// managers call the page only for what this reports. Plain value; any thread.
#pragma once

#include <optional>

#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "orvane/widget/OVState.hpp"

namespace orvane {

struct OVPageStateChanges {
    // The theme or, the theme being the same, the main colour changed.
    bool theme = false;
    // The current episode or its podcast changed (by key, by identifier) and
    // the new state has both.
    std::optional<OVTrackInPodcast> episode;
    // The player status changed and the new state has one.
    std::optional<OVAudioPlayerStatus> audioStatus;

    static OVPageStateChanges between(const OVState* old, const OVState& now);
};

}  // namespace orvane
