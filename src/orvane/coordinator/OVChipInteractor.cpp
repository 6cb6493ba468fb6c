#include "orvane/coordinator/OVChipInteractor.hpp"

namespace orvane {

void OVChipInteractor::update(OVTheme withTheme, const platform::graphics::Color& andMainColor) {
    const OVChipModel::Style style{withTheme.backgroundColor(), withTheme.spinAnimationColor(),
                                   withTheme.equalizerAnimationColor(), andMainColor};
    if (auto view = view_.lock()) view->update(style);
}

void OVChipInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    OVChipModel::AudioStatus status;
    switch (withAudioStatus) {
        case OVAudioPlayerStatus::paused: status = {false, false}; break;
        case OVAudioPlayerStatus::loading: status = {true, true}; break;
        case OVAudioPlayerStatus::playing: status = {false, true}; break;
    }
    if (auto view = view_.lock()) view->update(status);
}

void OVChipInteractor::update(const OVState::AudioPosition& withAudioPosition) {
    // Both in single precision first; no clamping, no check of the duration.
    const float time = static_cast<float>(withAudioPosition.time);
    const float duration = static_cast<float>(withAudioPosition.duration);
    if (auto view = view_.lock()) view->update(OVChipModel::AudioPosition{time / duration});
}

}  // namespace orvane
