// The footer player: the mini-player bar at the bottom of the root
// container while the listener browses its pages. The episode's artwork
// under a dimming overlay with a white equalizer on it, the episode's title
// and its podcast's name, a thin progress bar along the top edge, a play or
// a pause button at the right, and a button over the rest of the bar that
// brings the listener back to the main page.
//
// Made only from its nib "OVFooterPlayer" (`nib`, registered by
// `registerNib()` from `installLayerHooks()`); the root container loads it,
// becomes its delegate, pins it 88 points high and slides it in and out.
// When the nib wakes it, the bar makes its interactor and its state manager
// and registers the manager with the widget bridge; from then on the
// bridge's states fill it (the four `update`s, through the interactor,
// which hands records back to the bar). Taps go to the delegate.
//
// Main thread only. The delegate is held weakly; the interactor and the
// state manager strongly (the bridge keeps the manager too, and the manager
// holds the bar weakly).
#pragma once

#include <memory>
#include <string_view>

#include "orvane/coordinator/OVFooterPlayerDelegate.hpp"
#include "orvane/coordinator/OVFooterPlayerInput.hpp"
#include "orvane/coordinator/OVFooterPlayerModelInteractorInput.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/playback/OVAudioPlayerDelegate.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/controls/ProgressView.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVImageView;
class OVEqualizerAnimationView;
class OVFooterPlayerStateManager;

class OVFooterPlayer : public platform::ui::View, public OVFooterPlayerInput {
public:
    static constexpr std::string_view NibName = "OVFooterPlayer";
    // The nib's builder, and its registration under `NibName`.
    static bool nib(platform::ui::NibBuild& build);
    static void registerNib();

    explicit OVFooterPlayer(ConstructorKey key, const platform::graphics::Rect& frame = {});
    ~OVFooterPlayer() override;

    void setDelegate(const std::shared_ptr<OVFooterPlayerDelegate>& delegate) { delegate_ = delegate; }
    std::shared_ptr<OVFooterPlayerDelegate> delegate() const { return delegate_.lock(); }

    // Handed unchanged to the interactor; nothing without one.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const OVTrack& withEpisode, const OVContent& inPodcast);
    void update(OVAudioPlayerStatus withAudioStatus);
    void update(const OVAudioPosition& audioPosition);

    // ---- OVFooterPlayerInput: the records applied to the subviews ----
    void update(const OVFooterPlayerModel::Style& viewModel) override;
    void update(const OVFooterPlayerModel::Media& viewModel) override;
    void update(const OVFooterPlayerModel::AudioStatus& viewModel) override;
    void update(const OVFooterPlayerModel::AudioPosition& viewModel) override;

    void awakeFromNib() override;

    // The outlets, for those who show or drive the bar.
    const std::shared_ptr<OVImageView>& ovimageView() const { return ovimageView_; }
    const std::shared_ptr<platform::ui::View>& imageOverlay() const { return imageOverlay_; }
    const std::shared_ptr<OVEqualizerAnimationView>& equalizerAnimationView() const { return equalizerAnimationView_; }
    const std::shared_ptr<platform::ui::ProgressView>& progressView() const { return progressView_; }
    const std::shared_ptr<platform::ui::Label>& episodeLabel() const { return episodeLabel_; }
    const std::shared_ptr<platform::ui::Label>& podcastLabel() const { return podcastLabel_; }
    const std::shared_ptr<platform::ui::Button>& playButton() const { return playButton_; }
    const std::shared_ptr<platform::ui::Button>& pauseButton() const { return pauseButton_; }
    const std::shared_ptr<platform::ui::Button>& openMainPageButton() const { return openMainPageButton_; }

    const std::shared_ptr<OVFooterPlayerStateManager>& stateManager() const { return stateManager_; }
    const std::shared_ptr<OVFooterPlayerModelInteractorInput>& interactor() const { return interactor_; }
    // Replaces the interactor the bar made (tests watch the bar's calls).
    void setInteractor(std::shared_ptr<OVFooterPlayerModelInteractorInput> interactor) {
        interactor_ = std::move(interactor);
    }

private:
    void didTapPlay();
    void didTapPause();
    void didTapOpenMainPageButton();

    std::shared_ptr<OVImageView> ovimageView_;
    std::shared_ptr<platform::ui::View> imageOverlay_;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView_;
    std::shared_ptr<platform::ui::ProgressView> progressView_;
    std::shared_ptr<platform::ui::Label> episodeLabel_;
    std::shared_ptr<platform::ui::Label> podcastLabel_;
    std::shared_ptr<platform::ui::Button> playButton_;
    std::shared_ptr<platform::ui::Button> pauseButton_;
    std::shared_ptr<platform::ui::Button> openMainPageButton_;
    std::shared_ptr<OVFooterPlayerModelInteractorInput> interactor_;
    std::weak_ptr<OVFooterPlayerDelegate> delegate_;
    std::shared_ptr<OVFooterPlayerStateManager> stateManager_;
};

}  // namespace orvane
