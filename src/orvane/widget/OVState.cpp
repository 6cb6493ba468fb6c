#include "orvane/widget/OVState.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVAudioStore.hpp"
#include "orvane/widget/ColorExtensions.hpp"

namespace orvane {

OVState OVState::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    // The download status of every episode of the state comes from one look
    // at the disk cache.
    const auto* store = OVAudioStore::installed();
    const auto snapshot = store ? store->presenceSnapshot() : nullptr;
    OVState state;
    state.contentForKey = ifPresent<std::map<std::string, OVContent>>(object, "contents");
    state.locationForKey = ifPresent<std::map<std::string, OVLocation>>(object, "locations");
    state.player = ifPresent<OVPlayer>(object, "player");
    return state;
}

const OVLocation* OVState::locationPointer() const {
    if (!player || !player->locationKey || !locationForKey) return nullptr;
    auto it = locationForKey->find(*player->locationKey);
    return it == locationForKey->end() ? nullptr : &it->second;
}

const OVContent* OVState::currentContentPointer() const {
    const OVLocation* current = locationPointer();
    if (!current || !current->content || !contentForKey) return nullptr;
    auto it = contentForKey->find(current->content->key);
    return it == contentForKey->end() ? nullptr : &it->second;
}

std::optional<OVLocation> OVState::location() const {
    if (const OVLocation* current = locationPointer()) return *current;
    return std::nullopt;
}

std::optional<OVLocation::Theme> OVState::locationTheme() const {
    const OVLocation* current = locationPointer();
    if (!current) return std::nullopt;
    return current->theme;
}

platform::graphics::Color OVState::mainColor() const {
    const OVLocation* current = locationPointer();
    std::optional<std::string_view> text;
    if (current && current->theme && current->theme->mainColor) text = *current->theme->mainColor;
    if (auto color = colorFromHex(text, 1.0)) return *color;
    return platform::graphics::Color::plainBlue();
}

std::optional<OVContent> OVState::currentContent() const {
    if (const OVContent* content = currentContentPointer()) return *content;
    return std::nullopt;
}

std::shared_ptr<OVTrack> OVState::currentTrack() const {
    const OVLocation* current = locationPointer();
    if (!current || !current->track) return nullptr;
    const OVContent* content = currentContentPointer();
    if (!content) return nullptr;
    return content->track(current->track->key);
}

std::vector<OVTrackInPodcast> OVState::followingTracks() const {
    std::vector<OVTrackInPodcast> result;
    const OVLocation* current = locationPointer();
    if (!current || !current->recommendations) return result;
    for (const auto& key : current->recommendations->keys) {
        if (!contentForKey) continue;
        auto it = contentForKey->find(key);
        if (it == contentForKey->end()) continue;
        auto track = it->second.selectedTrack();
        if (!track) continue;
        result.emplace_back(std::move(track), it->second);
    }
    return result;
}

std::optional<OVAudioPlayerStatus> OVState::audioPlayerStatus() const {
    if (!player) return std::nullopt;
    return player->playingStatus;
}

std::optional<OVState::AudioPosition> OVState::audioPosition() const {
    const OVLocation* current = locationPointer();
    if (!current || !current->track || !current->track->currentTime) return std::nullopt;
    auto track = currentTrack();
    if (!track) return std::nullopt;
    const auto& duration = track->audio().duration;
    if (!duration) return std::nullopt;
    return AudioPosition{*current->track->currentTime, *duration};
}

}  // namespace orvane
