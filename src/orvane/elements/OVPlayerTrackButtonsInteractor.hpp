// The transport buttons' presenter: turns the theme, the player status and
// whether the position may change into view models for its view, and gives
// the selection haptic of a play tap. Holds its view weakly and drops the
// models once the view is gone. Made by the view when it wakes from its
// nib; main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVPlayerTrackButtonsInput.hpp"
#include "orvane/elements/OVPlayerTrackButtonsInteractorInput.hpp"

namespace orvane {

class OVPlayerTrackButtonsInteractor final : public OVPlayerTrackButtonsInteractorInput {
public:
    explicit OVPlayerTrackButtonsInteractor(std::weak_ptr<OVPlayerTrackButtonsInput> view) : view_(std::move(view)) {}

    std::shared_ptr<OVPlayerTrackButtonsInput> view() const { return view_.lock(); }

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void update(bool positionCanBeChanged) override;
    void didTap() override;

    // What each player status shows.
    static OVPlayerTrackButtonsModel::AudioStatus audioStatus(OVAudioPlayerStatus status);

private:
    std::weak_ptr<OVPlayerTrackButtonsInput> view_;
};

}  // namespace orvane
