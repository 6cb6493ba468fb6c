#include "platform/media/MprisService.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <sdbus-c++/sdbus-c++.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/URL.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"
#include "platform/media/RemoteCommandCenter.hpp"

namespace platform::media {

namespace {

constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// How far elapsed time may stray from the clock before it counts as a jump.
constexpr double kJumpTolerance = 1.0;
constexpr double staleArtworkSeconds = 24 * 3600.0;

// Seconds as D-Bus microseconds, held inside what 64 bits can carry.
std::int64_t toMicroseconds(double seconds) {
    constexpr double limit = 9.0e12;  // about 285 years
    return static_cast<std::int64_t>(std::llround(std::clamp(seconds, -limit, limit) * 1'000'000.0));
}

// A time the information may carry: a finite number of seconds, not negative.
std::optional<double> timeValue(const NowPlayingInfo& info, std::string_view key) {
    auto value = nowPlayingNumber(info, key);
    if (!value || !std::isfinite(*value) || *value < 0) return std::nullopt;
    return value;
}

// A command the desktop may send: enabled and with someone to answer it.
bool offered(const RemoteCommand& command) { return command.isEnabled() && command.targetCount() > 0; }

// File extension for the encoded bytes of an image; none for what we do not know.
std::optional<std::string> imageExtension(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 8 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G') return "png";
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return "jpg";
    if (bytes.size() >= 6 && bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F') return "gif";
    return std::nullopt;
}

// Whether a session bus could be there at all: an address is given, or the
// user's runtime folder has the bus socket. Answers without touching the bus.
bool sessionBusMayExist() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    return runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

std::uint64_t fnv1a(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    for (auto byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string hex(std::uint64_t value) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = digits[value & 0xF];
    return out;
}

}  // namespace

// One publication: everything the desktop reads, as the main thread saw it.
struct MprisService::Publication {
    std::string trackId = kNoTrack;
    std::optional<std::string> title;
    std::optional<std::int64_t> length;
    std::int64_t position = 0;
    double rate = 1.0;
    std::optional<graphics::Image> artwork;
    std::filesystem::path artworkFolder;
    std::string status = "Stopped";
    bool canPlay = false, canPause = false, canGoNext = false, canGoPrevious = false, canSeek = false;
    bool seeked = false;
};

// The bus side: its thread, the hand-off queue from the main thread and,
// touched only on the bus thread, the connection, the object and what it last
// published.
struct MprisService::Bus {
    ~Bus() {
        if (wakeFd >= 0) ::close(wakeFd);
    }

    // Main thread: hands a publication over; a newer one replaces one not yet
    // taken, keeping its jump.
    void post(Publication next) {
        {
            std::lock_guard lock(mutex);
            if (pending && pending->seeked) next.seeked = true;
            pending = std::move(next);
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wakeFd, &one, sizeof one);
    }

    void run();
    void connect();
    bool connected() const;
    void registerObject();
    void apply(Publication next);
    void updateArtwork(const Publication& next);
    void removeStaleArtwork(const std::filesystem::path& keep);
    std::map<std::string, sdbus::Variant> metadata() const;

    // Hands a call from the desktop to the main run loop.
    static void toMain(Command command, std::int64_t microseconds = 0, std::string trackId = {}) {
        core::RunLoop::main().async([command, microseconds, trackId = std::move(trackId)] {
            MprisService::shared().deliver(command, microseconds, trackId);
        });
    }

    int wakeFd = -1;
    std::mutex mutex;
    std::optional<Publication> pending;

    std::unique_ptr<sdbus::IConnection> connection;
    std::unique_ptr<sdbus::IObject> object;
    Publication current;
    std::string artUrl;
    std::filesystem::path artFile;
    // The bytes the file was written from: an image shares its bytes between
    // copies, so the same artwork is recognised without reading it again.
    const std::uint8_t* artBytes = nullptr;
    std::size_t artSize = 0;
};

MprisService& MprisService::shared() {
    static core::NoDestructor<MprisService> service;
    return *service;
}

MprisService::MprisService() = default;

std::string MprisService::busName() const {
    std::lock_guard lock(nameMutex_);
    return busName_;
}

std::string MprisService::busText(std::string_view text) {
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = byte(i);
        if (lead < 0x80) {
            if (lead != 0) out += static_cast<char>(lead);
            ++i;
            continue;
        }
        // Continuation bytes a lead byte takes, and the range of the first:
        // the narrower ranges exclude overlong forms, surrogates and code
        // points beyond U+10FFFF.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 2;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 3;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t taken = 1;
        while (taken <= length && i + taken < text.size()) {
            const unsigned char next = byte(i + taken);
            if (next < (taken == 1 ? low : 0x80) || next > (taken == 1 ? high : 0xBF)) break;
            ++taken;
        }
        if (length > 0 && taken == length + 1) {
            out.append(text.substr(i, taken));
        } else {
            out += kReplacement;
        }
        i += taken;
    }
    return out;
}

std::filesystem::path MprisService::artworkFolder() {
    return core::FileManager::documentsDirectory() / "orvane" / "nowplaying";
}

void MprisService::nowPlayingInfoDidChange() { centresDidChange(); }

void MprisService::remoteCommandsDidChange() { centresDidChange(); }

void MprisService::playersDidChange(bool anyPlaying) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (anyPlaying == playing_) return;
    // Where the desktop expects the position moves on from here at the new
    // pace (a pause stops it where playing would have brought it).
    if (lastElapsed_) lastElapsed_ = currentPosition();
    lastElapsedAt_ = core::RunLoop::main().now();
    playing_ = anyPlaying;
    if (published_ && state_.load() == State::published) publish();
}

void MprisService::centresDidChange() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!published_) {
        // Until connected there is nothing to publish to; the connection
        // publishes what the centres hold then.
        if (state_.load() == State::idle) start();
        return;
    }
    if (state_.load() == State::published) publish();
}

void MprisService::start() {
    if (!sessionBusMayExist()) {
        core::debugPrint("Media controls: no session bus; they stay in-process");
        state_ = State::unavailable;
        return;
    }
    state_ = State::connecting;
    bus_ = std::make_shared<Bus>();
    bus_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (bus_->wakeFd < 0) {
        core::debugPrint("Media controls: no event descriptor for the session bus; they stay in-process");
        state_ = State::unavailable;
        return;
    }
    // Never joined: the service lives as long as the process.
    std::thread([bus = bus_] { bus->run(); }).detach();
}

void MprisService::didConnect() {
    published_ = true;
    publish();
}

void MprisService::publish() {
    const auto& info = NowPlayingInfoCenter::defaultCenter().nowPlayingInfo();
    const bool hasInfo = info && !info->empty();
    const double now = core::RunLoop::main().now();
    Publication next;
    next.artworkFolder = artworkFolder();

    if (!hasInfo) {
        hadInfo_ = false;
        lastTitle_.reset();
        lastElapsed_.reset();
        duration_.reset();
    } else {
        auto title = nowPlayingText(*info, NowPlayingKey::title);
        // A new track when information appears or its title changes; artwork
        // and elapsed time coming and going keep the track.
        if (!hadInfo_ || title != lastTitle_) {
            ++trackNumber_;
            lastElapsed_.reset();
            duration_.reset();
        }
        hadInfo_ = true;
        lastTitle_ = title;
        next.title = std::move(title);
        next.rate = timeValue(*info, NowPlayingKey::playbackRate).value_or(1.0);
        if (auto duration = timeValue(*info, NowPlayingKey::playbackDuration)) duration_ = *duration;
        if (auto elapsed = timeValue(*info, NowPlayingKey::elapsedPlaybackTime);
            elapsed && elapsed != lastElapsed_) {
            if (lastElapsed_) {
                // Moving on while playing, at most as fast as the clock (a
                // player that waits for bytes moves on later), is no jump;
                // nor is landing where the desktop expects the position.
                const double passed = std::max(0.0, now - lastElapsedAt_);
                const double advance = *elapsed - *lastElapsed_;
                const double expected = *lastElapsed_ + (playing_ ? passed * next.rate : 0.0);
                const bool playedOn = playing_ && advance > 0 && advance <= passed * next.rate + kJumpTolerance;
                if (!playedOn && std::abs(*elapsed - expected) > kJumpTolerance) next.seeked = true;
            }
            lastElapsed_ = *elapsed;
            lastElapsedAt_ = now;
        }
        next.trackId = "/org/orvane/track/" + std::to_string(trackNumber_);
        if (duration_) next.length = toMicroseconds(*duration_);
        next.position = toMicroseconds(lastElapsed_.value_or(0));
        if (const auto* artwork = nowPlayingArtwork(*info)) next.artwork = artwork->imageWithSize(artwork->bounds());
    }
    next.status = !hasInfo ? "Stopped" : playing_ ? "Playing" : "Paused";

    auto& commands = RemoteCommandCenter::shared();
    next.canPlay = offered(commands.playCommand());
    next.canPause = offered(commands.pauseCommand());
    next.canGoNext = offered(commands.skipForwardCommand());
    next.canGoPrevious = offered(commands.skipBackwardCommand());
    next.canSeek = offered(commands.changePlaybackPositionCommand());
    bus_->post(std::move(next));
}

double MprisService::currentPosition() const {
    double position = lastElapsed_.value_or(0);
    if (playing_) position += std::max(0.0, core::RunLoop::main().now() - lastElapsedAt_);
    if (duration_) position = std::min(position, *duration_);
    return position;
}

void MprisService::deliver(Command command, std::int64_t microseconds, std::string trackId) {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto& commands = RemoteCommandCenter::shared();
    auto fire = [](RemoteCommand& remote, const RemoteEvent& event) {
        if (offered(remote)) remote.fire(event);
    };
    auto skip = [&](SkipIntervalCommand& remote) {
        const auto& intervals = remote.preferredIntervals();
        fire(remote, SkipIntervalCommandEvent{intervals.empty() ? 0.0 : intervals.front()});
    };
    switch (command) {
        case Command::play: return fire(commands.playCommand(), RemoteCommandEvent{});
        case Command::pause: return fire(commands.pauseCommand(), RemoteCommandEvent{});
        case Command::playPause: return fire(commands.togglePlayPauseCommand(), RemoteCommandEvent{});
        case Command::next: return skip(commands.skipForwardCommand());
        case Command::previous: return skip(commands.skipBackwardCommand());
        case Command::seek: {
            if (!hadInfo_) return;
            double target = std::max(0.0, currentPosition() + static_cast<double>(microseconds) / 1e6);
            if (duration_) target = std::min(target, *duration_);
            return fire(commands.changePlaybackPositionCommand(), ChangePlaybackPositionCommandEvent{target});
        }
        case Command::setPosition: {
            // Only for the track shown, and only inside it.
            if (!hadInfo_ || trackId != "/org/orvane/track/" + std::to_string(trackNumber_)) return;
            const double target = static_cast<double>(microseconds) / 1e6;
            if (target < 0 || (duration_ && target > *duration_)) return;
            return fire(commands.changePlaybackPositionCommand(), ChangePlaybackPositionCommandEvent{target});
        }
    }
}

// ---- the bus thread ----

void MprisService::Bus::run() {
    auto& service = MprisService::shared();
    try {
        connect();
    } catch (const sdbus::Error& error) {
        core::debugPrint("Media controls: no session bus (" + error.getMessage() + "); they stay in-process");
        object.reset();
        connection.reset();
        service.state_ = State::unavailable;
        return;
    }
    service.state_ = State::published;
    core::RunLoop::main().async([] { MprisService::shared().didConnect(); });

    try {
        for (;;) {
            try {
                while (connection->processPendingRequest()) {
                }
            } catch (const sdbus::Error& error) {
                // A call that could not be answered; the connection itself
                // going away ends the loop below (its poll data fails).
                if (connected()) {
                    core::debugPrint("Media controls: a call from the desktop failed (" + error.getMessage() + ")");
                }
            }
            const auto poll = connection->getEventLoopPollData();
            pollfd fds[2] = {{poll.fd, poll.events, 0}, {wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, poll.getPollTimeout()) < 0 && errno != EINTR) {
                throw sdbus::Error("org.orvane.Error", "poll failed");
            }
            if (fds[1].revents & POLLIN) {
                std::uint64_t count = 0;
                [[maybe_unused]] auto got = ::read(wakeFd, &count, sizeof count);
                std::optional<Publication> next;
                {
                    std::lock_guard lock(mutex);
                    next.swap(pending);
                }
                if (next) apply(std::move(*next));
            }
        }
    } catch (const sdbus::Error& error) {
        core::debugPrint("Media controls: the session bus went away (" + error.getMessage() + ")");
    }
    service.state_ = State::unavailable;
}

bool MprisService::Bus::connected() const {
    try {
        connection->getEventLoopPollData();
        return true;
    } catch (const sdbus::Error&) {
        return false;
    }
}

void MprisService::Bus::connect() {
    connection = sdbus::createSessionBusConnection();
    std::string name = baseBusName;
    try {
        connection->requestName(name);
    } catch (const sdbus::Error&) {
        // Another player of ours holds the name: this process takes its own.
        name += ".instance" + std::to_string(::getpid());
        connection->requestName(name);
    }
    registerObject();
    auto& service = MprisService::shared();
    std::lock_guard lock(service.nameMutex_);
    service.busName_ = name;
}

void MprisService::Bus::registerObject() {
    object = sdbus::createObject(*connection, objectPath);
    auto& o = *object;

    o.registerMethod("Raise").onInterface(kRootInterface).implementedAs([] {});
    o.registerMethod("Quit").onInterface(kRootInterface).implementedAs([] {});
    o.registerProperty("CanQuit").onInterface(kRootInterface).withGetter([] { return false; });
    o.registerProperty("CanRaise").onInterface(kRootInterface).withGetter([] { return false; });
    o.registerProperty("HasTrackList").onInterface(kRootInterface).withGetter([] { return false; });
    o.registerProperty("Identity").onInterface(kRootInterface).withGetter([] { return std::string("Orvane"); });
    o.registerProperty("SupportedUriSchemes").onInterface(kRootInterface).withGetter([] {
        return std::vector<std::string>{};
    });
    o.registerProperty("SupportedMimeTypes").onInterface(kRootInterface).withGetter([] {
        return std::vector<std::string>{};
    });

    o.registerMethod("Play").onInterface(kPlayerInterface).implementedAs([] { toMain(Command::play); });
    o.registerMethod("Pause").onInterface(kPlayerInterface).implementedAs([] { toMain(Command::pause); });
    o.registerMethod("PlayPause").onInterface(kPlayerInterface).implementedAs([] { toMain(Command::playPause); });
    o.registerMethod("Next").onInterface(kPlayerInterface).implementedAs([] { toMain(Command::next); });
    o.registerMethod("Previous").onInterface(kPlayerInterface).implementedAs([] { toMain(Command::previous); });
    // No command stops playback: Stop, like OpenUri, has no effect.
    o.registerMethod("Stop").onInterface(kPlayerInterface).implementedAs([] {});
    o.registerMethod("Seek")
        .onInterface(kPlayerInterface)
        .withInputParamNames("Offset")
        .implementedAs([](std::int64_t offset) { toMain(Command::seek, offset); });
    o.registerMethod("SetPosition")
        .onInterface(kPlayerInterface)
        .withInputParamNames("TrackId", "Position")
        .implementedAs([](sdbus::ObjectPath trackId, std::int64_t position) {
            toMain(Command::setPosition, position, std::move(trackId));
        });
    o.registerMethod("OpenUri").onInterface(kPlayerInterface).withInputParamNames("Uri").implementedAs(
        [](const std::string&) {});
    o.registerSignal("Seeked").onInterface(kPlayerInterface).withParameters<std::int64_t>("Position");

    o.registerProperty("PlaybackStatus").onInterface(kPlayerInterface).withGetter([this] { return current.status; });
    o.registerProperty("Rate").onInterface(kPlayerInterface).withGetter([this] { return current.rate; });
    o.registerProperty("MinimumRate").onInterface(kPlayerInterface).withGetter([] { return 1.0; });
    o.registerProperty("MaximumRate").onInterface(kPlayerInterface).withGetter([] { return 1.0; });
    o.registerProperty("Volume").onInterface(kPlayerInterface).withGetter([] { return 1.0; });
    o.registerProperty("Metadata").onInterface(kPlayerInterface).withGetter([this] { return metadata(); });
    o.registerProperty("Position")
        .onInterface(kPlayerInterface)
        .withGetter([this] { return current.position; })
        .withUpdateBehavior(sdbus::Flags::EMITS_NO_SIGNAL);
    o.registerProperty("CanControl").onInterface(kPlayerInterface).withGetter([] { return true; });
    o.registerProperty("CanPlay").onInterface(kPlayerInterface).withGetter([this] { return current.canPlay; });
    o.registerProperty("CanPause").onInterface(kPlayerInterface).withGetter([this] { return current.canPause; });
    o.registerProperty("CanGoNext").onInterface(kPlayerInterface).withGetter([this] { return current.canGoNext; });
    o.registerProperty("CanGoPrevious").onInterface(kPlayerInterface).withGetter([this] {
        return current.canGoPrevious;
    });
    o.registerProperty("CanSeek").onInterface(kPlayerInterface).withGetter([this] { return current.canSeek; });
    o.finishRegistration();
}

std::map<std::string, sdbus::Variant> MprisService::Bus::metadata() const {
    std::map<std::string, sdbus::Variant> out;
    out["mpris:trackid"] = sdbus::Variant(sdbus::ObjectPath(current.trackId));
    if (current.title) out["xesam:title"] = sdbus::Variant(busText(*current.title));
    if (current.length) out["mpris:length"] = sdbus::Variant(*current.length);
    if (!artUrl.empty()) out["mpris:artUrl"] = sdbus::Variant(busText(artUrl));
    return out;
}

void MprisService::Bus::updateArtwork(const Publication& next) {
    std::span<const std::uint8_t> bytes;
    if (next.artwork) bytes = next.artwork->originalData();
    if (!bytes.empty() && bytes.data() == artBytes && bytes.size() == artSize &&
        artFile.parent_path() == next.artworkFolder) {
        return;
    }
    artBytes = bytes.data();
    artSize = bytes.size();
    std::filesystem::path file;
    if (auto extension = imageExtension(bytes)) {
        file = next.artworkFolder / ("artwork-" + hex(fnv1a(bytes)) + "." + *extension);
    }
    if (file == artFile) return;
    if (!artFile.empty()) (void)core::FileManager::removeItem(artFile);
    artFile.clear();
    artUrl.clear();
    if (file.empty()) return;
    auto created = core::FileManager::createDirectory(file.parent_path());
    auto written = created ? core::FileManager::writeFileAtomically(file, bytes) : created;
    if (!written) {
        core::debugPrint("Media controls: cannot write the artwork to " + file.string() + ": " +
                         written.error().message());
        return;
    }
    artFile = file;
    artUrl = core::URL::fileURL(file).absoluteString();
    removeStaleArtwork(file);
}

// Artwork left behind by processes that ended: any other artwork file not
// written for `staleArtworkSeconds`. (A process that is still running wrote
// its current file when its episode changed.)
void MprisService::Bus::removeStaleArtwork(const std::filesystem::path& keep) {
    const auto entries = core::FileManager::contentsOfDirectory(keep.parent_path());
    if (!entries) return;
    // File times against the real time (not the run loop's clock, which a host may replace).
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : *entries) {
        if (entry == keep || !entry.filename().string().starts_with("artwork-")) continue;
        std::error_code error;
        const auto modified = std::filesystem::last_write_time(entry, error);
        if (!error && std::chrono::duration<double>(now - modified).count() > staleArtworkSeconds) {
            (void)core::FileManager::removeItem(entry);
        }
    }
}

void MprisService::Bus::apply(Publication next) {
    const std::string oldArtUrl = artUrl;
    updateArtwork(next);

    std::vector<std::string> changed;
    if (next.trackId != current.trackId || next.title != current.title || next.length != current.length ||
        artUrl != oldArtUrl) {
        changed.push_back("Metadata");
    }
    if (next.status != current.status) changed.push_back("PlaybackStatus");
    if (next.rate != current.rate) changed.push_back("Rate");
    if (next.canPlay != current.canPlay) changed.push_back("CanPlay");
    if (next.canPause != current.canPause) changed.push_back("CanPause");
    if (next.canGoNext != current.canGoNext) changed.push_back("CanGoNext");
    if (next.canGoPrevious != current.canGoPrevious) changed.push_back("CanGoPrevious");
    if (next.canSeek != current.canSeek) changed.push_back("CanSeek");
    const bool seeked = next.seeked;
    current = std::move(next);
    current.artwork.reset();  // the file holds it now
    // A signal the bus refuses is reported and the service stays: the
    // desktop reads the values on its next call. (Signals lost because the
    // connection has gone are not: the loop reports that once.)
    auto announce = [this](const char* what, auto&& emit) {
        try {
            emit();
        } catch (const sdbus::Error& error) {
            if (connected())
                core::debugPrint(std::string("Media controls: ") + what + " could not be announced (" +
                                 error.getMessage() + ")");
        }
    };
    if (!changed.empty())
        announce("the change", [&] { object->emitPropertiesChangedSignal(kPlayerInterface, changed); });
    if (seeked)
        announce("the jump", [&] {
            object->emitSignal("Seeked").onInterface(kPlayerInterface).withArguments(current.position);
        });
}

}  // namespace platform::media
