// The footer player's interactor: turns the theme, the episode in its
// podcast, the audio status and the position into the bar's records and
// hands each to the bar, if it still exists.
//
// The episode's title is read as HTML in the header font and the theme's
// strongest text colour, so no episode record is made before a theme was
// given (nor when the font or the HTML cannot be had). The progress is the
// time over the duration, 0 for a duration that is not positive or a
// quotient that is not finite. Main thread only; the bar owns it and is
// held weakly.
#pragma once

#include <memory>
#include <optional>

#include "orvane/coordinator/OVFooterPlayerInput.hpp"
#include "orvane/coordinator/OVFooterPlayerModelInteractorInput.hpp"

namespace orvane {

class OVFooterPlayerModelInteractor : public OVFooterPlayerModelInteractorInput {
public:
    explicit OVFooterPlayerModelInteractor(std::weak_ptr<OVFooterPlayerInput> view) : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVTrack& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void update(const OVAudioPosition& withAudioPosition) override;

    // The fraction of the bar filled for a position.
    static float progressValue(const OVAudioPosition& position);

private:
    std::weak_ptr<OVFooterPlayerInput> view_;
    // The last theme given; none before the first.
    std::optional<OVTheme> theme_;
};

}  // namespace orvane
