#include "orvane/coordinator/OVCoordinator.hpp"

#include "orvane/coordinator/OVChip.hpp"
#include "orvane/coordinator/OVFanViewController.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "orvane/presentation/OVCompactVCPresentationTransitioning.hpp"
#include "orvane/presentation/OVRegularVCPresentationTransitioning.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

namespace {
OVWidgetManager& bridge() { return OVWidgetManager::shared(); }
}  // namespace

std::shared_ptr<OVFanViewController> OVCoordinator::rootContainer() const {
    return std::dynamic_pointer_cast<OVFanViewController>(fanVC_);
}

OVCoordinator::OVCoordinator(Token) {}

OVCoordinator::~OVCoordinator() = default;

std::shared_ptr<OVCoordinator> OVCoordinator::create() {
    auto coordinator = std::make_shared<OVCoordinator>(Token{});
    coordinator->player_ = OVAudioPlayer::create();
    coordinator->nowPlaying_ = OVNowPlaying::create();
    coordinator->player_->setDelegate(std::static_pointer_cast<OVAudioPlayerDelegate>(coordinator));
    coordinator->nowPlaying_->setDelegate(std::static_pointer_cast<OVPlayerUserActionDelegate>(coordinator));
    // Placed later by its state manager, with the first state that has a
    // location theme.
    coordinator->chip_ = OVChip::create();
    coordinator->chip_->setDelegate(std::static_pointer_cast<OVOpenCloseExpandDelegate>(coordinator));
    bridge().send(OVWidgetManager::SDKPlayerAction::open());
    return coordinator;
}

void OVCoordinator::play() { player_->play(); }

void OVCoordinator::quit() {
    player_->cancel();
    if (chip_) chip_->removeFromSuperview();
    chip_ = nullptr;
    // Shown or put away since, the last container is dismissed (which sends
    // the swipe-down tracking).
    if (const auto fan = rootContainer()) fan->dismiss();
    nowPlaying_->end();
    bridge().send(OVWidgetManager::SDKPlayerAction::close());
    bridge().send(OVWidgetManager::SDKTracking::close);
}

// ---- player actions ----

void OVCoordinator::didTapPlay() { bridge().send(OVWidgetManager::SDKPlayerAction::play()); }

void OVCoordinator::didTapPause() { bridge().send(OVWidgetManager::SDKPlayerAction::pause()); }

void OVCoordinator::didTogglePlayPause() {
    const auto& state = bridge().lastState();
    if (!state) return;
    const auto status = state->audioPlayerStatus();
    if (!status) return;
    if (*status == OVAudioPlayerStatus::paused) {
        didTapPlay();
    } else {
        didTapPause();
    }
}

void OVCoordinator::sendUserTimeUpdate() {
    // The time goes out whenever the player has one, duration known or not.
    if (const auto time = player_->widgetGetCurrentTime())
        bridge().send(OVWidgetManager::SDKPlayerAction::playerUserTimeUpdate(*time));
}

void OVCoordinator::didTapBackward() {
    std::weak_ptr<OVCoordinator> weak = weak_from_this();
    player_->backward([weak] {
        if (auto self = weak.lock()) self->sendUserTimeUpdate();
    });
    bridge().send(OVWidgetManager::SDKTracking::rewind);
}

void OVCoordinator::didTapForward() {
    std::weak_ptr<OVCoordinator> weak = weak_from_this();
    player_->forward([weak] {
        if (auto self = weak.lock()) self->sendUserTimeUpdate();
    });
    bridge().send(OVWidgetManager::SDKTracking::fastForward);
}

void OVCoordinator::didChangeSlider(float value, std::function<void(bool)> completionHandler) {
    const double time = static_cast<double>(value);
    player_->seek(time, std::move(completionHandler));
    bridge().send(OVWidgetManager::SDKPlayerAction::playerUserTimeUpdate(time));
    bridge().send(OVWidgetManager::SDKTracking::cursorMove);
}

// ---- episodes ----

void OVCoordinator::didSelectEpisode(const OVTrackInPodcast& trackInPodcast) {
    if (!trackInPodcast.track) return;
    if (const auto& state = bridge().lastState()) {
        const auto current = state->currentTrack();
        if (current && *current == *trackInPodcast.track) {
            didTogglePlayPause();
            return;
        }
    }
    bridge().send(OVWidgetManager::SDKPlayerAction::selectTrack(
        OVWidgetManager::SDKPlayerAction::selectTrackPayload(trackInPodcast.track->key())));
}

void OVCoordinator::didTapDownload(const std::shared_ptr<OVTrack>& forTrack) {
    if (!forTrack) return;
    const auto self = std::static_pointer_cast<OVTrackDownloadDelegate>(shared_from_this());
    forTrack->setDelegate(self);
    forTrack->download(self);
}

void OVCoordinator::downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack,
                                            const OVTrack::DownloadStatus& to) {
    if (fanVC_) fanVC_->downloadStatusDidChange(forTrack, to);
}

void OVCoordinator::subscription(OVSubscription forType, const OVContent& andPodcast, bool didChangeToValue) {
    auto& library = OVMock::UserData::shared();
    if (didChangeToValue) {
        library.addSuscription(andPodcast, forType);
    } else {
        library.removeSuscription(andPodcast, forType);
    }
}

// ---- presentation requests ----

void OVCoordinator::didTapClose() {
    if (player_->status() == OVAudioPlayerStatus::paused) {
        quit();
        return;
    }
    // Loading or playing: the listener is asked first, through the root
    // container; without one nothing happens.
    const auto fan = rootContainer();
    if (!fan) return;
    std::weak_ptr<OVCoordinator> weak = weak_from_this();
    fan->presentQuitAlertViewController([weak] {
        if (const auto self = weak.lock()) self->quit();
    });
}

void OVCoordinator::didTapSwipeDown() {
    if (const auto fan = rootContainer()) fan->dismiss();
}

void OVCoordinator::didTapOpenExapnd() {
    // The request goes to the facade's current coordinator.
    if (const auto current = Orvane::shared().coordinator()) current->presentExpandViewController(nullptr);
}

void OVCoordinator::presentExpandViewController(std::function<void()> withCompletion) {
    const auto root = Orvane::shared().rootViewController();
    if (!root) return;
    const auto fan = std::dynamic_pointer_cast<OVFanViewController>(
        platform::ui::NibRegistry::shared().instantiateInitialViewController("OVStoryboard"));
    if (!fan) return;
    const auto self = shared_from_this();
    fan->initialize(self);
    std::shared_ptr<OVVCPresentationTransitioningProtocol> transitioning;
    if (root->horizontalSizeClass() == platform::ui::UserInterfaceSizeClass::regular) {
        transitioning = OVRegularVCPresentationTransitioning::create();
    } else {
        transitioning = OVCompactVCPresentationTransitioning::create(/*fullExpandRequired=*/false);
    }
    fan->setPresentationTransitioning(transitioning);
    const auto asDelegate = std::static_pointer_cast<OVOpenCloseExpandDelegate>(self);
    if (const auto& p = fan->presentationTransitioning()) p->setDelegate(asDelegate);
    fan->setOvDelegate(asDelegate);
    fanVC_ = fan;
    // A container still presented over the root goes first, at once.
    if (std::dynamic_pointer_cast<OVFanViewController>(root->presentedViewController())) root->dismiss(false);
    const bool started = root->present(fan, true, [completion = std::move(withCompletion)] {
        if (completion) completion();
    });
    // Sent once the presentation is under way, before it has finished.
    if (started) bridge().send(OVWidgetManager::SDKTracking::halfScreen);
}

// ---- audio player reports ----

void OVCoordinator::audioDurationIsKnown(double duration) {
    bridge().send(OVWidgetManager::SDKEvent::durationChange(duration));
}

void OVCoordinator::audioPositionDidChange(OVAudioPosition position) {
    bridge().send(OVWidgetManager::SDKEvent::timeUpdate(position.time));
}

void OVCoordinator::audioStatusDidChange(OVAudioPlayerStatus status) {
    OVWidgetManagerOLD::shared().isPlaying(status == OVAudioPlayerStatus::playing);
}

void OVCoordinator::audioDidEnd() { bridge().send(OVWidgetManager::SDKEvent::end()); }

void OVCoordinator::audioInterruptionBegan() { player_->pause(); }

void OVCoordinator::audioInterruptionEnded(bool shouldResume) {
    if (shouldResume) player_->play();
}

}  // namespace orvane
