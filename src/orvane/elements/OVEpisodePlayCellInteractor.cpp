#include "orvane/elements/OVEpisodePlayCellInteractor.hpp"

#include "orvane/model/StringExtensions.hpp"

namespace orvane {

using platform::graphics::Color;

void OVEpisodePlayCellInteractor::update(const OVTheme& theme, const std::optional<Color>& mainColor) {
    const OVEpisodePlayCellModel::Style style{mainColor.value_or(Color{0, 0, 1, 1}),
                                              theme.color(OVTheme::FontColor::typeB), theme.separatorColor()};
    if (auto view = view_.lock()) view->update(style);
}

void OVEpisodePlayCellInteractor::update(bool isCurrentTrack) {
    isCurrentTrack_ = isCurrentTrack;
    updateStatus();
}

void OVEpisodePlayCellInteractor::update(OVAudioPlayerStatus audioStatus) {
    audioStatus_ = audioStatus;
    updateStatus();
}

OVEpisodePlayCellModel::Status OVEpisodePlayCellInteractor::status(bool isCurrentTrack,
                                                                  OVAudioPlayerStatus audioStatus) {
    if (!isCurrentTrack) return {false, true, localized("EPISODE_PLAY_PAGE_ELEMENT_PLAY")};
    if (audioStatus == OVAudioPlayerStatus::paused)
        return {false, true, localized("EPISODE_PLAY_PAGE_ELEMENT_RESTART")};
    return {true, false, std::nullopt};
}

void OVEpisodePlayCellInteractor::updateStatus() {
    if (!isCurrentTrack_ || !audioStatus_) return;
    const auto model = status(*isCurrentTrack_, *audioStatus_);
    if (auto view = view_.lock()) view->update(model);
}

}  // namespace orvane
