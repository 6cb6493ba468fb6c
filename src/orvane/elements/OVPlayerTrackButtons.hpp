// The transport buttons the main page puts into the player cell's slot:
// backward (30 s back), play and pause (one shown at a time, swapped only
// when the player status comes back), a spinner while the episode loads,
// and forward. Made only from its nib "OVPlayerTrackButtonsView"
// (`newFromNib`); its presenter (`OVPlayerTrackButtonsInteractor`) is made
// when it wakes from the nib. Taps go to the weak `delegate` (the
// coordinator) and to the widget: play and pause as tracking actions of the
// bridge, backward and forward as legacy events; a play tap also gives a
// selection haptic. Main thread only; kept alive by the slot it sits in.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVPlayerButtonsView.hpp"
#include "orvane/elements/OVPlayerTrackButtonsInput.hpp"
#include "orvane/elements/OVPlayerTrackButtonsInteractorInput.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

class OVPlayerTrackButtons : public OVPlayerButtonsView, public OVPlayerTrackButtonsInput {
public:
    static constexpr std::string_view nibName = "OVPlayerTrackButtonsView";
    // The nib's builder (registered under `nibName` on first use).
    static bool nib(platform::ui::NibBuild& build);
    // A view from the nib; none when the nib gives no object or another
    // kind first.
    static std::shared_ptr<OVPlayerTrackButtons> newFromNib();

    OVPlayerTrackButtons(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVPlayerUserActionDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPlayerUserActionDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- The slot's hooks, passed on to the presenter ----
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void update(bool positionCanBeChanged) override;

    // ---- OVPlayerTrackButtonsInput ----
    void update(const OVPlayerTrackButtonsModel::Style& withViewModel) override;
    void update(const OVPlayerTrackButtonsModel::AudioStatus& withViewModel) override;
    void update(const OVPlayerTrackButtonsModel::PositionCanBeChanged& withViewModel) override;

    // ---- Actions of the nib's buttons ----
    void didTapPlayButton(platform::ui::Button& sender);
    void didTapPauseButton(platform::ui::Button& sender);
    void didTapBackwardButton(platform::ui::Button& sender);
    void didTapForwardButton(platform::ui::Button& sender);

    void awakeFromNib() override;

    // The nib's views, for the page's tests and snapshots.
    std::shared_ptr<platform::ui::Button> backwardButton() const { return backwardButton_.lock(); }
    std::shared_ptr<platform::ui::Button> playButton() const { return playButton_.lock(); }
    std::shared_ptr<platform::ui::Button> pauseButton() const { return pauseButton_.lock(); }
    std::shared_ptr<OVCircleSpinAnimationView> spinAnimationView() const { return spinAnimationView_.lock(); }
    std::shared_ptr<platform::ui::Button> forwardButton() const { return forwardButton_.lock(); }

private:
    std::weak_ptr<platform::ui::Button> backwardButton_;
    std::weak_ptr<platform::ui::Button> playButton_;
    std::weak_ptr<platform::ui::Button> pauseButton_;
    std::weak_ptr<OVCircleSpinAnimationView> spinAnimationView_;
    std::weak_ptr<platform::ui::Button> forwardButton_;
    std::shared_ptr<OVPlayerTrackButtonsInteractorInput> interactor_;
    std::weak_ptr<OVPlayerUserActionDelegate> delegate_;
};

}  // namespace orvane
