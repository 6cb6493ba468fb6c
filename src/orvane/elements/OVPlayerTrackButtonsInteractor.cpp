#include "orvane/elements/OVPlayerTrackButtonsInteractor.hpp"

#include "platform/core/SystemVersion.hpp"
#include "platform/ui/views/SelectionFeedbackGenerator.hpp"

namespace orvane {

using Model = OVPlayerTrackButtonsModel;

void OVPlayerTrackButtonsInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& /*andMainColor*/) {
    if (auto view = view_.lock()) {
        view->update(Model::Style{withTheme.backImage(), withTheme.playImage(), withTheme.pauseImage(),
                                  withTheme.forwardImage(), withTheme.spinAnimationColor()});
    }
}

Model::AudioStatus OVPlayerTrackButtonsInteractor::audioStatus(OVAudioPlayerStatus status) {
    switch (status) {
        case OVAudioPlayerStatus::paused:
            return {.playButtonIsDisplayed = true};
        case OVAudioPlayerStatus::loading:
            return {.pauseButtonIsDisplayed = true, .spinAnimationViewIsRunning = true,
                    .spinAnimationViewIsDisplayed = true};
        case OVAudioPlayerStatus::playing:
            return {.pauseButtonIsDisplayed = true};
    }
    return {.playButtonIsDisplayed = true};
}

void OVPlayerTrackButtonsInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    if (auto view = view_.lock()) view->update(audioStatus(withAudioStatus));
}

void OVPlayerTrackButtonsInteractor::update(bool positionCanBeChanged) {
    if (auto view = view_.lock()) view->update(Model::PositionCanBeChanged{positionCanBeChanged, positionCanBeChanged});
}

void OVPlayerTrackButtonsInteractor::didTap() {
    // Selection haptics exist from system 10 on.
    if (platform::core::SystemVersion::isAtLeast(10)) platform::ui::SelectionFeedbackGenerator::create()->selectionChanged();
}

}  // namespace orvane
