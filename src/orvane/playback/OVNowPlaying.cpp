#include "orvane/playback/OVNowPlaying.hpp"

#include "orvane/playback/OVNowPlayingStateManager.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "platform/ui/views/Application.hpp"

namespace orvane {

using platform::core::SystemVersion;
using platform::media::ArtworkSize;
using platform::media::ChangePlaybackPositionCommandEvent;
using platform::media::MediaItemArtwork;
using platform::media::NowPlayingInfo;
using platform::media::NowPlayingInfoCenter;
using platform::media::RemoteCommandCenter;
using platform::media::RemoteCommandHandlerStatus;
using platform::media::RemoteEvent;
namespace Key = platform::media::NowPlayingKey;

namespace {

bool hasChangePlaybackPositionCommand() { return SystemVersion::isAtLeast(9, 1); }
bool publishesElapsedTime() { return SystemVersion::isAtLeast(10); }

MediaItemArtwork makeArtwork(const platform::graphics::Image& image) {
    if (SystemVersion::isAtLeast(10)) {
        return MediaItemArtwork(ArtworkSize{image.width(), image.height()}, [image](ArtworkSize) { return image; });
    }
    return MediaItemArtwork(image);
}

}  // namespace

std::shared_ptr<OVNowPlaying> OVNowPlaying::create() {
    auto nowPlaying = std::shared_ptr<OVNowPlaying>(new OVNowPlaying());
    nowPlaying->stateManager_ = std::make_shared<OVNowPlayingStateManager>(nowPlaying);
    OVWidgetManager::shared().addObserver(nowPlaying->stateManager_);
    nowPlaying->setCommandCenterHandlers();
    return nowPlaying;
}

void OVNowPlaying::setCurrentNowPlayingInfo(NowPlayingInfo info) {
    currentNowPlayingInfo_ = std::move(info);
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(currentNowPlayingInfo_);
}

void OVNowPlaying::setCommandCenterHandlers() {
    platform::ui::Application::shared().beginReceivingRemoteControlEvents();
    auto& commands = RemoteCommandCenter::shared();
    std::weak_ptr<OVNowPlaying> weak = weak_from_this();

    // Each handler reaches the delegate of the moment; it answers success
    // whether or not there is one.
    auto forward = [weak](void (OVPlayerUserActionDelegate::*action)()) {
        return [weak, action](const RemoteEvent&) {
            if (auto self = weak.lock()) {
                if (auto delegate = self->delegate()) ((*delegate).*action)();
            }
            return RemoteCommandHandlerStatus::success;
        };
    };
    commands.playCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapPlay));
    commands.pauseCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapPause));
    commands.togglePlayPauseCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTogglePlayPause));
    commands.seekBackwardCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapBackward));
    commands.seekForwardCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapForward));
    commands.skipBackwardCommand().setPreferredIntervals({-skipInterval});
    commands.skipForwardCommand().setPreferredIntervals({skipInterval});
    commands.skipBackwardCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapBackward));
    commands.skipForwardCommand().addTarget(forward(&OVPlayerUserActionDelegate::didTapForward));

    if (hasChangePlaybackPositionCommand()) {
        commands.changePlaybackPositionCommand().addTarget([weak](const RemoteEvent& event) {
            const auto* change = std::get_if<ChangePlaybackPositionCommandEvent>(&event);
            if (!change) return RemoteCommandHandlerStatus::success;
            auto self = weak.lock();
            if (!self) return RemoteCommandHandlerStatus::success;
            self->sliderIsBeingChangedByUser_ = true;
            if (auto delegate = self->delegate()) {
                std::weak_ptr<OVNowPlaying> owner = self;
                delegate->didChangeSlider(static_cast<float>(change->positionTime), [owner](bool) {
                    if (auto object = owner.lock()) object->sliderIsBeingChangedByUser_ = false;
                });
            }
            return RemoteCommandHandlerStatus::success;
        });
    }
}

void OVNowPlaying::update(std::optional<std::string> title, std::optional<platform::core::URL> imageURL,
                          bool positionCanBeChanged) {
    setNowPlayingInfo(std::move(title), std::move(imageURL));
    enableCommands(positionCanBeChanged);
}

void OVNowPlaying::setNowPlayingInfo(std::optional<std::string> title, std::optional<platform::core::URL> imageURL) {
    NowPlayingInfo info;
    if (title) info.insert_or_assign(Key::title, std::move(*title));
    info.insert_or_assign(Key::playbackRate, 1.0);
    // An earlier load still fetching must not deliver into the new information.
    if (loadImageTask_) loadImageTask_->setIsValid(false);
    if (auto image = cachedImage(imageURL)) {
        info.insert_or_assign(Key::artwork, makeArtwork(*image));
        setCurrentNowPlayingInfo(std::move(info));
        return;
    }
    setCurrentNowPlayingInfo(std::move(info));
    setImageAsync(std::move(imageURL));
}

void OVNowPlaying::enableCommands(bool positionCanBeChanged) {
    auto& commands = RemoteCommandCenter::shared();
    commands.skipBackwardCommand().setEnabled(positionCanBeChanged);
    commands.skipForwardCommand().setEnabled(positionCanBeChanged);
    if (hasChangePlaybackPositionCommand()) commands.changePlaybackPositionCommand().setEnabled(positionCanBeChanged);
}

void OVNowPlaying::setImageAsync(std::optional<platform::core::URL> url) {
    if (loadImageTask_) loadImageTask_->setIsValid(false);
    loadImageTask_ = getImageTask(url);
    std::weak_ptr<OVNowPlaying> weak = weak_from_this();
    loadImageTask_->continueWithHandler([weak](std::optional<platform::graphics::Image> image) {
        auto self = weak.lock();
        if (!self || !image) return;
        auto info = self->currentNowPlayingInfo_;
        info.insert_or_assign(Key::artwork, makeArtwork(*image));
        self->setCurrentNowPlayingInfo(std::move(info));
    });
}

void OVNowPlaying::updateTime(double time, double duration) {
    if (!publishesElapsedTime()) return;
    if (sliderIsBeingChangedByUser_) return;
    auto info = currentNowPlayingInfo_;
    info.insert_or_assign(Key::elapsedPlaybackTime, time);
    info.insert_or_assign(Key::playbackDuration, duration);
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(std::move(info));
}

void OVNowPlaying::end() { platform::ui::Application::shared().endReceivingRemoteControlEvents(); }

}  // namespace orvane
