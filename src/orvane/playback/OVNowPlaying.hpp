// Connects playback to the system's media controls: publishes the current
// episode (title, artwork, playback rate, elapsed time and duration) to the
// now-playing information centre and turns remote commands into player
// actions on its delegate (the coordinator). It owns its state observer,
// which follows the widget's state and pushes the episode and position in.
//
// One per coordinator. Main thread only. Remote-command handlers and the
// state observer are installed once and never removed; a handler whose
// object or delegate is gone acknowledges its command and does nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "orvane/toolkit/GetImageTask.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"

namespace orvane {

class OVNowPlayingStateManager;

class OVNowPlaying : public std::enable_shared_from_this<OVNowPlaying> {
public:
    static constexpr double skipInterval = 30.0;

    // Creates the object and its state observer, registers the observer with
    // the bridge and installs the remote-command handlers.
    static std::shared_ptr<OVNowPlaying> create();

    std::shared_ptr<OVPlayerUserActionDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPlayerUserActionDelegate> delegate) { delegate_ = std::move(delegate); }

    // The title, rate and artwork last set. Every assignment publishes it whole.
    const platform::media::NowPlayingInfo& currentNowPlayingInfo() const { return currentNowPlayingInfo_; }
    void setCurrentNowPlayingInfo(platform::media::NowPlayingInfo info);

    const std::shared_ptr<OVNowPlayingStateManager>& stateManager() const { return stateManager_; }
    bool sliderIsBeingChangedByUser() const { return sliderIsBeingChangedByUser_; }

    // A new current episode: title and artwork, then the enabled flags of the
    // skip and change-position commands.
    void update(std::optional<std::string> title, std::optional<platform::core::URL> imageURL,
                bool positionCanBeChanged);
    // A new position: publishes elapsed time and duration (seconds).
    void updateTime(double time, double duration);
    // Stops the delivery of remote-control events to the application.
    void end();

private:
    OVNowPlaying() = default;
    void setCommandCenterHandlers();
    void setNowPlayingInfo(std::optional<std::string> title, std::optional<platform::core::URL> imageURL);
    void enableCommands(bool positionCanBeChanged);
    void setImageAsync(std::optional<platform::core::URL> url);

    std::weak_ptr<OVPlayerUserActionDelegate> delegate_;
    std::shared_ptr<OVNowPlayingStateManager> stateManager_;
    bool sliderIsBeingChangedByUser_ = false;
    platform::media::NowPlayingInfo currentNowPlayingInfo_;
    std::shared_ptr<GetImageTask> loadImageTask_;
};

}  // namespace orvane
