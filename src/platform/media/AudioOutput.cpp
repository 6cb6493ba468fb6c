#include "platform/media/AudioOutput.hpp"

#include <pulse/error.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/media/MediaDecoder.hpp"

namespace platform::media {

namespace {

class TimeKeepingOutput final : public AudioOutput {
public:
    std::string name() const override { return "time"; }

protected:
    void play(std::span<const std::int16_t>) override {}
};

class WavFileOutput final : public AudioOutput {
public:
    explicit WavFileOutput(std::FILE* file) : file_(file) { writeHeader(); }
    ~WavFileOutput() override { std::fclose(file_); }
    std::string name() const override { return "wav"; }

protected:
    void play(std::span<const std::int16_t> samples) override {
        std::fseek(file_, 0, SEEK_END);
        std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file_);
        dataBytes_ += static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
        writeHeader();
    }

private:
    void writeHeader() {
        std::array<std::uint8_t, 44> h{};
        auto put32 = [&h](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) h[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        auto put16 = [&h](std::size_t at, std::uint16_t v) {
            h[at] = static_cast<std::uint8_t>(v);
            h[at + 1] = static_cast<std::uint8_t>(v >> 8);
        };
        auto tag = [&h](std::size_t at, const char* t) {
            for (std::size_t i = 0; i < 4; ++i) h[at + i] = static_cast<std::uint8_t>(t[i]);
        };
        const std::uint16_t blockAlign = kOutputChannels * 2;
        tag(0, "RIFF");
        put32(4, 36 + dataBytes_);
        tag(8, "WAVE");
        tag(12, "fmt ");
        put32(16, 16);
        put16(20, 1);
        put16(22, kOutputChannels);
        put32(24, kOutputSampleRate);
        put32(28, kOutputSampleRate * blockAlign);
        put16(32, blockAlign);
        put16(34, 16);
        tag(36, "data");
        put32(40, dataBytes_);
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(h.data(), 1, h.size(), file_);
        std::fflush(file_);
    }

    std::FILE* file_;
    std::uint32_t dataBytes_ = 0;
};

// Plays through the sound server's asynchronous API: the client library's
// own thread runs the connection, and the stream asks for audio from there.
// What players write waits in a queue of the output's own until the stream
// asks for it, so a write never waits for the server. The stream keeps only a
// short buffer (kTargetSeconds) and starts once kStartSeconds are in it, so
// what is heard follows what was written closely; a pause has the stream play
// what it holds at once, and a flush drops all of it.
class PulseAudioOutput final : public AudioOutput {
public:
    // What the server buffers at most, and what it waits for before it
    // starts (players write at least every kFeedInterval of media time).
    static constexpr double kTargetSeconds = 0.1;
    static constexpr double kStartSeconds = 0.06;
    // What the queue holds at most; the oldest goes first past it.
    static constexpr std::size_t kMaxQueuedSamples = 5 * kOutputSampleRate * kOutputChannels;

    PulseAudioOutput() = default;
    ~PulseAudioOutput() override { close(); }
    std::string name() const override { return "pulseaudio"; }

    static std::shared_ptr<AudioOutput> open(std::string& error) {
        auto output = std::make_shared<PulseAudioOutput>();
        if (!output->connect(error)) return nullptr;
        return output;
    }

protected:
    void play(std::span<const std::int16_t> samples) override {
        pa_threaded_mainloop_lock(loop_);
        if (queued_.size() - readAt_ + samples.size() > kMaxQueuedSamples) {
            const std::size_t excess = queued_.size() - readAt_ + samples.size() - kMaxQueuedSamples;
            readAt_ += std::min(excess, queued_.size() - readAt_);
            if (samples.size() > kMaxQueuedSamples) samples = samples.last(kMaxQueuedSamples);
        }
        if (readAt_ > 0 && readAt_ >= queued_.size() / 2) {
            queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(readAt_));
            readAt_ = 0;
        }
        queued_.insert(queued_.end(), samples.begin(), samples.end());
        fill();
        pa_threaded_mainloop_unlock(loop_);
    }

    void paused() override {
        pa_threaded_mainloop_lock(loop_);
        // What is written is all there is: the stream plays it without
        // waiting to fill up to its start level.
        if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) {
            if (pa_operation* op = pa_stream_trigger(stream_, nullptr, nullptr)) pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(loop_);
    }

    void flushed() override {
        pa_threaded_mainloop_lock(loop_);
        queued_.clear();
        readAt_ = 0;
        if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) {
            if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(loop_);
    }

private:
    static constexpr double kConnectTimeoutSeconds = 5.0;

    bool connect(std::string& error) {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) {
            error = "cannot create a main loop";
            return false;
        }
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Orvane");
        if (!context_) {
            error = "cannot create a context";
            return false;
        }
        pa_threaded_mainloop_lock(loop_);
        bool ready = false;
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0 &&
            pa_threaded_mainloop_start(loop_) >= 0) {
            ready = waitFor([this] {
                const auto state = pa_context_get_state(context_);
                return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
            });
            ready = ready && pa_context_get_state(context_) == PA_CONTEXT_READY;
        }
        if (ready) ready = openStream();
        if (!ready) error = pa_strerror(pa_context_errno(context_));
        pa_threaded_mainloop_unlock(loop_);
        return ready;
    }

    // With the loop locked.
    bool openStream() {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = kOutputSampleRate;
        spec.channels = kOutputChannels;
        stream_ = pa_stream_new(context_, "podcast", &spec, nullptr);
        if (!stream_) return false;
        pa_stream_set_write_callback(
            stream_, [](pa_stream*, std::size_t, void* self) { static_cast<PulseAudioOutput*>(self)->fill(); }, this);
        const auto bytes = [&spec](double seconds) {
            return static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(seconds * 1e6), &spec));
        };
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.tlength = bytes(kTargetSeconds);
        attributes.prebuf = bytes(kStartSeconds);
        attributes.minreq = static_cast<std::uint32_t>(-1);
        attributes.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_AUTO_TIMING_UPDATE |
                                                          PA_STREAM_INTERPOLATE_TIMING);
        if (pa_stream_connect_playback(stream_, nullptr, &attributes, flags, nullptr, nullptr) < 0) return false;
        return waitFor([this] {
                   const auto state = pa_stream_get_state(stream_);
                   return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
               }) &&
               pa_stream_get_state(stream_) == PA_STREAM_READY;
    }

    // With the loop locked: waits for the loop's thread to signal until
    // `done`, for at most kConnectTimeoutSeconds.
    template <typename Done>
    bool waitFor(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kConnectTimeoutSeconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            pa_threaded_mainloop_unlock(loop_);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            pa_threaded_mainloop_lock(loop_);
        }
        return true;
    }

    // With the loop locked: hands the stream as much of the queue as it asks for.
    void fill() {
        if (!stream_ || pa_stream_get_state(stream_) != PA_STREAM_READY) return;
        const std::size_t writable = pa_stream_writable_size(stream_);
        if (writable == static_cast<std::size_t>(-1)) return;
        constexpr std::size_t frameBytes = kOutputChannels * sizeof(std::int16_t);
        const std::size_t queuedBytes = (queued_.size() - readAt_) * sizeof(std::int16_t);
        const std::size_t bytes = std::min(writable, queuedBytes) / frameBytes * frameBytes;
        if (bytes == 0) return;
        if (pa_stream_write(stream_, queued_.data() + readAt_, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
        readAt_ += bytes / sizeof(std::int16_t);
    }

    void close() {
        if (!loop_) return;
        pa_threaded_mainloop_lock(loop_);
        if (stream_) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    // Written but not yet handed to the stream: from readAt_ on (loop locked).
    std::vector<std::int16_t> queued_;
    std::size_t readAt_ = 0;
};

struct Shared {
    std::mutex mutex;
    AudioOutput::Configuration configuration;
    std::shared_ptr<AudioOutput> output;
};

Shared& sharedState() {
    static Shared s;
    return s;
}

std::shared_ptr<AudioOutput> openOutput(const AudioOutput::Configuration& configuration) {
    switch (configuration.kind) {
        case AudioOutput::Kind::timeKeeping:
            return std::make_shared<TimeKeepingOutput>();
        case AudioOutput::Kind::wavFile:
            if (std::FILE* file = std::fopen(configuration.wavPath.c_str(), "wb")) {
                return std::make_shared<WavFileOutput>(file);
            }
            core::debugPrint("Audio output: cannot write " + configuration.wavPath.string() +
                             "; playback keeps time without sound");
            return std::make_shared<TimeKeepingOutput>();
        case AudioOutput::Kind::automatic:
            break;
    }
    std::string error;
    if (auto pulse = PulseAudioOutput::open(error)) return pulse;
    core::debugPrint("Audio output: no sound server answered (" + error + "); playback keeps time without sound");
    return std::make_shared<TimeKeepingOutput>();
}

}  // namespace

void AudioOutput::configure(Configuration configuration) {
    std::shared_ptr<AudioOutput> old;
    {
        auto& s = sharedState();
        std::lock_guard lock(s.mutex);
        s.configuration = std::move(configuration);
        old = std::move(s.output);
    }
}

std::shared_ptr<AudioOutput> AudioOutput::shared() {
    auto& s = sharedState();
    std::lock_guard lock(s.mutex);
    if (!s.output) s.output = openOutput(s.configuration);
    return s.output;
}

void AudioOutput::write(std::span<const std::int16_t> samples) {
    if (samples.empty()) return;
    std::lock_guard lock(mutex_);
    frames_ += static_cast<std::int64_t>(samples.size() / kOutputChannels);
    play(samples);
}

void AudioOutput::pause() {
    std::lock_guard lock(mutex_);
    paused();
}

void AudioOutput::flush() {
    std::lock_guard lock(mutex_);
    flushed();
}

std::int64_t AudioOutput::framesWritten() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

}  // namespace platform::media
