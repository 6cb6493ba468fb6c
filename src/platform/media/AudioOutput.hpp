// Where decoded audio goes: the process's one audio output, opened when the
// first player starts playing and shared by every player after it. Each
// playback writes into a stream of its own (openStream), so that what one
// player pauses, flushes or counts never touches another's audio.
//
// - automatic (the default): the sound server (PulseAudio, which also serves
//   desktops running PipeWire) when one answers; otherwise an output that only
//   keeps time, with one debug line saying so.
// - wavFile: a WAV file the host names, holding what the listener would have
//   heard (its header is kept right after every write, so it can be read at
//   any time).
// - timeKeeping: no sound; only counts what it is given. The tests' default.
//
// Players feed their streams 16-bit interleaved PCM at kOutputSampleRate with
// kOutputChannels channels. The WAV and time-keeping outputs take what they
// are given as heard at once, so players feed them the media time that passed
// on the run loop's clock. The sound server keeps time of its own: players
// feed it ahead, and reckon their position from what their stream has really
// played. It is the one output that may not be heard: while it connects, and
// from losing its server until one answers again; it tells its listeners
// (players) on the main queue.
// Thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/ObservationToken.hpp"

namespace platform::media {

class AudioOutput;

// One playback's way into an output. What it is told concerns its own audio
// only. Thread-safe; keeps its output alive.
class AudioStream {
public:
    virtual ~AudioStream() = default;
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    // Plays interleaved frames. Never waits for a sound server: what it
    // cannot take yet waits in the stream.
    void write(std::span<const std::int16_t> samples);
    // Playback paused: what is heard stops at once. What was written and not
    // heard is dropped, and counted among the pending frames until the next
    // flush, so that the player knows where to go on from.
    void pause() { paused(); }
    // No more is coming for now (the end, or the bytes ran out): what was
    // written is heard without waiting for more.
    void playOut() { playedOut(); }
    // Playback moved elsewhere: what was written and is not heard yet is
    // dropped, and the counts start again from nothing.
    void flush() { flushed(); }
    // Frames written since the last flush and not heard yet (0 where what is
    // written counts as heard at once). Never waits: right after a pause or a
    // flush it is the latest estimate, made exact once the server answers.
    virtual std::int64_t framesPending() const { return 0; }

protected:
    explicit AudioStream(std::shared_ptr<AudioOutput> output) : output_(std::move(output)) {}
    virtual void play(std::span<const std::int16_t> samples) = 0;
    virtual void paused() {}
    virtual void playedOut() {}
    virtual void flushed() {}

private:
    std::shared_ptr<AudioOutput> output_;
};

class AudioOutput : public std::enable_shared_from_this<AudioOutput> {
public:
    enum class Kind { automatic, wavFile, timeKeeping };
    struct Configuration {
        Kind kind = Kind::automatic;
        std::filesystem::path wavPath;  // for wavFile
    };

    virtual ~AudioOutput() = default;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Closes the shared output once its streams are gone (a WAV file is
    // complete then); the next player that starts opens one as
    // `configuration` says.
    static void configure(Configuration configuration);
    // The shared output, opened on first use.
    static std::shared_ptr<AudioOutput> shared();

    // Which output this is: "pulseaudio", "wav" or "time".
    virtual std::string name() const = 0;
    // Whether what is heard follows a clock of the output's own (a sound
    // server) rather than the moment it is written.
    virtual bool keepsItsOwnTime() const { return false; }
    // A new stream for one playback.
    virtual std::unique_ptr<AudioStream> openStream() = 0;
    // Frames written so far, by all its streams.
    std::int64_t framesWritten() const { return frames_.load(); }

    // Whether what is written can be heard now. Only a sound server can
    // fail to: until it first answers, and from its loss until it answers
    // again.
    bool isAnswering() const { return reach_.load() == Reach::answering; }
    // `listener` runs on the main queue, in order, each time the output
    // answers (true) and each time it is lost or does not answer in time
    // (false), for as long as the token lives.
    [[nodiscard]] core::ObservationToken observeAnswering(std::function<void(bool answering)> listener);

protected:
    AudioOutput() = default;
    // An output that is not heard until it says it answers.
    struct Connecting {};
    explicit AudioOutput(Connecting) : reach_(Reach::connecting) {}
    // From any thread: tells the listeners when it changes.
    void setAnswering(bool answering);

private:
    friend class AudioStream;
    enum class Reach { connecting, answering, lost };
    struct Listeners {
        std::mutex mutex;
        std::uint64_t next = 0;
        std::vector<std::pair<std::uint64_t, std::shared_ptr<const std::function<void(bool)>>>> list;
    };

    std::atomic<std::int64_t> frames_{0};
    std::atomic<Reach> reach_{Reach::answering};
    std::shared_ptr<Listeners> listeners_ = std::make_shared<Listeners>();
};

}  // namespace platform::media
