#include "orvane/pages/OVMainPageStateManager.hpp"

#include "orvane/pages/OVMainPage.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

namespace {

// Episodes are the same when their keys are; none equals none.
bool sameTrack(const std::shared_ptr<OVTrack>& a, const std::shared_ptr<OVTrack>& b) {
    if (!a || !b) return !a && !b;
    return *a == *b;
}

}  // namespace

std::shared_ptr<OVMainPageStateManager> OVMainPageStateManager::create(const std::shared_ptr<OVMainPage>& page) {
    return std::make_shared<OVMainPageStateManager>(ConstructorKey{}, page);
}

OVMainPageStateManager::Inputs OVMainPageStateManager::Inputs::of(const OVState& state) {
    Inputs inputs;
    inputs.theme = state.theme();
    inputs.mainColor = state.mainColor();
    inputs.currentTrack = state.currentTrack();
    inputs.currentContent = state.currentContent();
    inputs.followingTracks = state.followingTracks();
    inputs.status = state.audioPlayerStatus();
    inputs.audioPosition = state.audioPosition();
    return inputs;
}

void OVMainPageStateManager::updateWithCurrentState() {
    if (const auto& last = OVWidgetManager::shared().lastState()) updatePage(last);
}

void OVMainPageStateManager::didReceive(const OVState& state) { updatePage(std::make_shared<const OVState>(state)); }

void OVMainPageStateManager::didReceiveShared(const std::shared_ptr<const OVState>& state) {
    if (state) updatePage(state);
}

void OVMainPageStateManager::updatePage(std::shared_ptr<const OVState> state) {
    // The new state is remembered before anything is compared, page or not.
    const std::optional<Inputs> old = std::move(lastInputs_);
    lastInputs_ = Inputs::of(*state);
    lastUpdateState_ = std::move(state);
    const Inputs& now = *lastInputs_;

    // Each step reads the page anew: an update may be the page's last.
    if (!old || old->theme != now.theme || !(old->mainColor == now.mainColor)) {
        if (auto page = page_.lock()) page->update(now.theme, now.mainColor);
    }
    const bool episodeChanged = !old || !sameTrack(old->currentTrack, now.currentTrack) ||
                                old->currentContent != now.currentContent;
    if (episodeChanged && now.currentTrack && now.currentContent) {
        if (auto page = page_.lock()) page->update(now.currentTrack, *now.currentContent);
    }
    if (!old || old->followingTracks != now.followingTracks) {
        if (auto page = page_.lock()) page->update(now.followingTracks);
    }
    if ((!old || old->status != now.status) && now.status) {
        if (auto page = page_.lock()) page->update(*now.status);
    }
    if ((!old || old->audioPosition != now.audioPosition) && now.audioPosition) {
        if (auto page = page_.lock()) page->update(*now.audioPosition);
    }
}

}  // namespace orvane
