#include "orvane/playback/OVNowPlayingStateManager.hpp"

#include "orvane/model/StringExtensions.hpp"
#include "orvane/playback/OVNowPlaying.hpp"

namespace orvane {

void OVNowPlayingStateManager::didReceive(const OVState& state) { updateObject(state); }

void OVNowPlayingStateManager::updateWithCurrentState() {
    if (const auto& state = OVWidgetManager::shared().lastState()) updateObject(*state);
}

void OVNowPlayingStateManager::updateObject(const OVState& state) {
    const std::optional<OVState> previous = std::exchange(lastUpdateState_, state);

    // Episode: pushed when its key changes (episodes compare by key).
    const auto previousTrack = previous ? previous->currentTrack() : nullptr;
    const auto track = state.currentTrack();
    const bool trackChanged = (previousTrack == nullptr) != (track == nullptr) ||
                              (previousTrack && track && !(*previousTrack == *track));
    if (trackChanged && track) {
        if (auto object = object_.lock()) {
            std::optional<platform::core::URL> imageURL;
            if (const auto& description = track->description(); description && description->image)
                imageURL = orvane::url(*description->image);
            object->update(track->title(), imageURL, true);
        }
    }

    // Position: pushed when the time, or else the duration, changes.
    const auto previousPosition = previous ? previous->audioPosition() : std::nullopt;
    const auto position = state.audioPosition();
    // Both absent, or both present with the same time and duration.
    bool samePosition = previousPosition.has_value() == position.has_value();
    if (samePosition && position) {
        samePosition = previousPosition->time == position->time && previousPosition->duration == position->duration;
    }
    const bool positionChanged = !samePosition;
    if (positionChanged && position) {
        if (auto object = object_.lock()) object->updateTime(position->time, position->duration);
    }
}

}  // namespace orvane
