#include "orvane/pages/OVPageStateChanges.hpp"

namespace orvane {

OVPageStateChanges OVPageStateChanges::between(const OVState* old, const OVState& now) {
    OVPageStateChanges changes;
    changes.theme = !old || old->theme() != now.theme() || old->mainColor() != now.mainColor();

    const auto track = now.currentTrack();
    const auto content = now.currentContent();
    const bool episodeChanged =
        !old || !OVTrackKeyEqual{}(old->currentTrack(), track) || old->currentContent() != content;
    if (episodeChanged && track && content) changes.episode.emplace(track, *content);

    const auto status = now.audioPlayerStatus();
    if (status && (!old || old->audioPlayerStatus() != status)) changes.audioStatus = status;
    return changes;
}

}  // namespace orvane
