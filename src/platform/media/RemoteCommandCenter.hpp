// The remote command centre: the commands the lock screen, headphones and
// other remote controls send (play, pause, toggle, seek and skip backward and
// forward, change of playback position). Handlers are added per command and
// answer with a status; every command has an enabled flag; skip commands carry
// their preferred intervals. `fire` delivers a command with its event to every
// handler in the order they were added, as the system would. What the desktop
// is offered follows the enabled flags and handlers (MprisService). Main-thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace platform::media {

enum class RemoteCommandHandlerStatus { success, noSuchContent, noActionableNowPlayingItem, deviceNotFound, commandFailed };

// A plain command event (play, pause, toggle).
struct RemoteCommandEvent {};
// Press-and-hold seeking sends a begin and an end event.
struct SeekCommandEvent {
    enum class Type { beginSeeking, endSeeking };
    Type type = Type::beginSeeking;
};
struct SkipIntervalCommandEvent {
    double interval = 0;
};
struct ChangePlaybackPositionCommandEvent {
    double positionTime = 0;
};
using RemoteEvent =
    std::variant<RemoteCommandEvent, SeekCommandEvent, SkipIntervalCommandEvent, ChangePlaybackPositionCommandEvent>;

class RemoteCommand {
public:
    using Handler = std::function<RemoteCommandHandlerStatus(const RemoteEvent&)>;

    // Adds a handler; the returned identifier removes it.
    std::uint64_t addTarget(Handler handler);
    void removeTarget(std::uint64_t target);
    std::size_t targetCount() const { return targets_.size(); }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Delivers `event` to every handler (enabled or not: the flag only tells
    // the system whether to offer the control) and returns their answers.
    std::vector<RemoteCommandHandlerStatus> fire(const RemoteEvent& event = RemoteCommandEvent{});

private:
    struct Target {
        std::uint64_t id;
        Handler handler;
    };
    std::vector<Target> targets_;
    std::uint64_t nextId_ = 1;
    bool enabled_ = true;
};

class SkipIntervalCommand : public RemoteCommand {
public:
    const std::vector<double>& preferredIntervals() const { return preferredIntervals_; }
    void setPreferredIntervals(std::vector<double> intervals) { preferredIntervals_ = std::move(intervals); }

private:
    std::vector<double> preferredIntervals_;
};

class RemoteCommandCenter {
public:
    static RemoteCommandCenter& shared();

    RemoteCommand& playCommand() { return play_; }
    RemoteCommand& pauseCommand() { return pause_; }
    RemoteCommand& togglePlayPauseCommand() { return toggle_; }
    RemoteCommand& seekBackwardCommand() { return seekBackward_; }
    RemoteCommand& seekForwardCommand() { return seekForward_; }
    SkipIntervalCommand& skipBackwardCommand() { return skipBackward_; }
    SkipIntervalCommand& skipForwardCommand() { return skipForward_; }
    RemoteCommand& changePlaybackPositionCommand() { return changePosition_; }

private:
    RemoteCommandCenter() = default;
    RemoteCommand play_, pause_, toggle_, seekBackward_, seekForward_;
    SkipIntervalCommand skipBackward_, skipForward_;
    RemoteCommand changePosition_;
};

}  // namespace platform::media
