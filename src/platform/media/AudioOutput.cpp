#include "platform/media/AudioOutput.hpp"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <array>
#include <cstdio>

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

class PulseAudioOutput final : public AudioOutput {
public:
    explicit PulseAudioOutput(pa_simple* stream) : stream_(stream) {}
    ~PulseAudioOutput() override { pa_simple_free(stream_); }
    std::string name() const override { return "pulseaudio"; }

    static std::shared_ptr<AudioOutput> open(std::string& error) {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = kOutputSampleRate;
        spec.channels = kOutputChannels;
        int code = 0;
        pa_simple* stream =
            pa_simple_new(nullptr, "Orvane", PA_STREAM_PLAYBACK, nullptr, "podcast", &spec, nullptr, nullptr, &code);
        if (!stream) {
            error = pa_strerror(code);
            return nullptr;
        }
        return std::make_shared<PulseAudioOutput>(stream);
    }

protected:
    void play(std::span<const std::int16_t> samples) override {
        int code = 0;
        pa_simple_write(stream_, samples.data(), samples.size() * sizeof(std::int16_t), &code);
    }

private:
    pa_simple* stream_;
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

std::int64_t AudioOutput::framesWritten() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

}  // namespace platform::media
