// The desktop's view of the two media centres: publishes the now-playing
// information centre and the remote command centre on the session D-Bus as an
// MPRIS player (org.mpris.MediaPlayer2 and org.mpris.MediaPlayer2.Player at
// /org/mpris/MediaPlayer2), so that media keys, panels and tools such as
// playerctl see what plays and can control it.
//
// What the desktop sees: the title, the duration (as mpris:length, in
// microseconds), the artwork (a file written beside the disk cache, given as
// a file URL), the position, the rate, and a playback status that follows the
// process's audio, as the system's own controls do: "Stopped" without
// information, "Playing" while a player of the process plays (it was asked
// to and has an item; see `playersDidChange`), "Paused" otherwise. The
// published information never says whether it plays (its rate stays 1.0),
// and its elapsed time moves only every half second or so. A jump of the
// elapsed time is announced as "Seeked".
// The capabilities follow the commands: a command is offered when it is
// enabled and has a handler.
//
// What the desktop asks: Play, Pause and PlayPause fire the play, pause and
// toggle commands; Next and Previous the skip-forward and skip-backward
// commands with their first preferred interval; Seek and SetPosition the
// change-position command with the position reached. A command that is not
// offered is not fired, as the system would not send it.
//
// Threads: the centres call the two hooks on the main thread. The bus has its
// own thread, which connects, owns every D-Bus object and answers property
// reads from its own copy of what was last published; the main thread hands
// it each new publication through a queue and never waits for the bus. Calls
// arriving from the bus are handed to the main run loop, where the commands
// are fired. Without a session bus the service prints one debug line and the
// centres go on in-process alone. A signal or a call the bus refuses is
// reported with one debug line and the service stays on the bus; only the
// connection going away ends it. Never destroyed (the bus thread may outlive
// static destruction at exit).
//
// Texts go on the bus as valid UTF-8 (see `busText`): the bus refuses a
// message holding anything else, and cuts a text at NUL.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/NoDestructor.hpp"

namespace platform::media {

class MprisService {
public:
    static constexpr const char* baseBusName = "org.mpris.MediaPlayer2.orvane";
    static constexpr const char* objectPath = "/org/mpris/MediaPlayer2";

    enum class State { idle, connecting, published, unavailable };

    static MprisService& shared();

    // Hooks of the centres (main thread): the first starts the service.
    void nowPlayingInfoDidChange();
    void remoteCommandsDidChange();
    // Hook of the players (main thread): whether any player of the process
    // plays now. Published at once; does not start the service.
    void playersDidChange(bool anyPlaying);

    // Thread-safe.
    State state() const { return state_.load(); }
    // The bus name owned once published (the base name, or the base name with
    // ".instance<pid>" when another process holds it).
    std::string busName() const;

    // `text` as the bus carries it: valid UTF-8 without NUL. Each ill-formed
    // sequence (as much of it as could start a character: a stray byte, a
    // truncated sequence, an overlong form, a surrogate, a code point beyond
    // U+10FFFF) becomes U+FFFD; NUL is dropped.
    static std::string busText(std::string_view text);

    // Where artwork files for the desktop are written: "nowplaying" in the
    // component's cache folder under the Documents directory.
    static std::filesystem::path artworkFolder();

    struct Bus;
    struct Publication;

private:
    MprisService();
    void centresDidChange();
    void start();
    void didConnect();
    void publish();

    enum class Command { play, pause, playPause, next, previous, seek, setPosition };
    void deliver(Command command, std::int64_t microseconds = 0, std::string trackId = {});
    double currentPosition() const;

    friend struct Bus;
    friend class core::NoDestructor<MprisService>;

    std::atomic<State> state_{State::idle};
    mutable std::mutex nameMutex_;
    std::string busName_;
    std::shared_ptr<Bus> bus_;

    // Main-thread state: what was last published and how elapsed time moved.
    bool published_ = false;
    std::uint64_t trackNumber_ = 0;
    std::optional<std::string> lastTitle_;
    bool hadInfo_ = false;
    std::optional<double> lastElapsed_;
    double lastElapsedAt_ = 0;
    std::optional<double> duration_;
    bool playing_ = false;  // a player of the process plays
};

}  // namespace platform::media
