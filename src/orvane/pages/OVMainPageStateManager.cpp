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

// Podcasts are the same when their identifiers are; none equals none.
bool samePodcast(const OVContent* a, const OVContent* b) {
    if (!a || !b) return !a && !b;
    return *a == *b;
}

// Lists of the same length whose pairs have the same episode and podcast.
template <class List>
bool sameRecommendations(const List& a, const List& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameTrack(a[i].first, b[i].first) || !samePodcast(a[i].second, b[i].second)) return false;
    }
    return true;
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
    inputs.status = state.audioPlayerStatus();
    inputs.audioPosition = state.audioPosition();
    // The current location and what it names, as the state derives them.
    const OVLocation* location = nullptr;
    if (state.player && state.player->locationKey && state.locationForKey) {
        const auto found = state.locationForKey->find(*state.player->locationKey);
        if (found != state.locationForKey->end()) location = &found->second;
    }
    if (!location || !state.contentForKey) return inputs;
    if (location->content) {
        const auto found = state.contentForKey->find(location->content->key);
        if (found != state.contentForKey->end()) inputs.currentContent = &found->second;
    }
    if (location->recommendations) {
        for (const auto& key : location->recommendations->keys) {
            const auto found = state.contentForKey->find(key);
            if (found == state.contentForKey->end()) continue;
            if (auto track = found->second.selectedTrack()) inputs.following.emplace_back(std::move(track), &found->second);
        }
    }
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
    // The new state is remembered before anything is compared, page or not;
    // the old one lives until the comparisons are done.
    const auto oldState = std::exchange(lastUpdateState_, std::move(state));
    if (page_.expired()) {
        // Nothing to tell: the state is kept, its inputs are not read.
        lastInputs_.reset();
        return;
    }
    const std::optional<Inputs> old = std::exchange(lastInputs_, Inputs::of(*lastUpdateState_));
    const Inputs& now = *lastInputs_;
    const OVState& current = *lastUpdateState_;

    // Each step reads the page anew: an update may be the page's last.
    if (!old || old->theme != now.theme || !(old->mainColor == now.mainColor)) {
        if (auto page = page_.lock()) page->update(now.theme, now.mainColor);
    }
    const bool episodeChanged = !old || !sameTrack(old->currentTrack, now.currentTrack) ||
                                !samePodcast(old->currentContent, now.currentContent);
    if (episodeChanged && now.currentTrack && now.currentContent) {
        if (auto page = page_.lock()) page->update(now.currentTrack, *now.currentContent);
    }
    if (!old || !sameRecommendations(old->following, now.following)) {
        if (auto page = page_.lock()) page->update(current.followingTracks());
    }
    if ((!old || old->status != now.status) && now.status) {
        if (auto page = page_.lock()) page->update(*now.status);
    }
    if ((!old || old->audioPosition != now.audioPosition) && now.audioPosition) {
        if (auto page = page_.lock()) page->update(*now.audioPosition);
    }
}

}  // namespace orvane
