#include "orvane/coordinator/OVFooterPlayerStateManager.hpp"

#include <utility>

#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {
namespace {

// The content the state's current location names, read in place: the
// state's `currentContent()` would copy it at every delivery.
const OVContent* currentContentIn(const OVState& state) {
    if (!state.player || !state.player->locationKey || !state.locationForKey || !state.contentForKey) return nullptr;
    const auto location = state.locationForKey->find(*state.player->locationKey);
    if (location == state.locationForKey->end() || !location->second.content) return nullptr;
    const auto content = state.contentForKey->find(location->second.content->key);
    return content == state.contentForKey->end() ? nullptr : &content->second;
}

std::optional<OVAudioPlayerStatus> statusIn(const OVState* state) {
    return state && state->player ? state->player->playingStatus : std::nullopt;
}

}  // namespace

void OVFooterPlayerStateManager::didReceiveShared(const std::shared_ptr<const OVState>& state) { updateView(state); }

void OVFooterPlayerStateManager::didReceive(const OVState& state) {
    updateView(std::make_shared<const OVState>(state));
}

void OVFooterPlayerStateManager::updateWithCurrentState() {
    if (const auto& state = OVWidgetManager::shared().lastState()) updateView(state);
}

void OVFooterPlayerStateManager::updateView(std::shared_ptr<const OVState> current) {
    if (!current) return;
    // Recorded before anything is compared, bar or no bar; the previous one
    // is held until this one is applied (a push may bring the next state).
    const std::shared_ptr<const OVState> previous = std::exchange(lastUpdateState_, current);
    const OVState& state = *current;

    // Theme, then the main colour when the themes are equal.
    if (!previous || previous->theme() != state.theme() || !(previous->mainColor() == state.mainColor())) {
        if (auto view = view_.lock()) view->update(state.theme(), state.mainColor());
    }

    // Episode by key, then its podcast by identifier; pushed only with both.
    const auto track = state.currentTrack();
    const OVContent* content = currentContentIn(state);
    const auto previousTrack = previous ? previous->currentTrack() : nullptr;
    const OVContent* previousContent = previous ? currentContentIn(*previous) : nullptr;
    const bool sameTrack = track && previousTrack ? track->key() == previousTrack->key() : !track && !previousTrack;
    const bool sameContent = content && previousContent ? content->identifier == previousContent->identifier
                                                        : !content && !previousContent;
    if ((!sameTrack || !sameContent) && track && content) {
        if (auto view = view_.lock()) view->update(*track, *content);
    }

    // Playing status: an absent one pushes nothing.
    const auto status = statusIn(current.get());
    if (status && status != statusIn(previous.get())) {
        if (auto view = view_.lock()) view->update(*status);
    }

    // Position: the time, or else the duration, changed; an absent one
    // pushes nothing.
    const auto position = state.audioPosition();
    const auto previousPosition = previous ? previous->audioPosition() : std::nullopt;
    if (position && position != previousPosition) {
        if (auto view = view_.lock()) view->update(*position);
    }
}

}  // namespace orvane
