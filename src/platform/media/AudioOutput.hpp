// Where decoded audio goes: the process's one audio output, opened when the
// first player starts playing and shared by every player after it.
//
// - automatic (the default): the sound server (PulseAudio, which also serves
//   desktops running PipeWire) when one answers; otherwise an output that only
//   keeps time, with one debug line saying so.
// - wavFile: a WAV file the host names, holding what the listener would have
//   heard (its header is kept right after every write, so it can be read at
//   any time).
// - timeKeeping: no sound; only counts what it is given. The tests' default.
//
// Players feed it 16-bit interleaved PCM at kOutputSampleRate with
// kOutputChannels channels, for the media time that passed while playing.
// Thread-safe.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace platform::media {

class AudioOutput {
public:
    enum class Kind { automatic, wavFile, timeKeeping };
    struct Configuration {
        Kind kind = Kind::automatic;
        std::filesystem::path wavPath;  // for wavFile
    };

    virtual ~AudioOutput() = default;

    // Closes the shared output (a WAV file is complete then); the next player
    // that starts opens one as `configuration` says.
    static void configure(Configuration configuration);
    // The shared output, opened on first use.
    static std::shared_ptr<AudioOutput> shared();

    // Which output this is: "pulseaudio", "wav" or "time".
    virtual std::string name() const = 0;
    // Plays interleaved frames. Never waits for a sound server: what it
    // cannot take yet waits in the output.
    void write(std::span<const std::int16_t> samples);
    // Playback paused or stopped: what was written is heard without waiting
    // for more, then silence.
    void pause();
    // Playback moved elsewhere: what was written and is not heard yet is
    // dropped.
    void flush();
    // Frames written so far.
    std::int64_t framesWritten() const;

protected:
    virtual void play(std::span<const std::int16_t> samples) = 0;
    virtual void paused() {}
    virtual void flushed() {}

private:
    mutable std::mutex mutex_;
    std::int64_t frames_ = 0;
};

}  // namespace platform::media
