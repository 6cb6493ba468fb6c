#include "platform/media/AudioOutput.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/PulseAudioOutput.hpp"

namespace platform::media {

namespace {

// A stream whose audio counts as heard the moment it is written.
class ImmediateStream final : public AudioStream {
public:
    using Sink = std::function<void(std::span<const std::int16_t>)>;
    ImmediateStream(std::shared_ptr<AudioOutput> output, Sink sink)
        : AudioStream(std::move(output)), sink_(std::move(sink)) {}

protected:
    void play(std::span<const std::int16_t> samples) override {
        if (sink_) sink_(samples);
    }

private:
    Sink sink_;
};

class TimeKeepingOutput final : public AudioOutput {
public:
    std::string name() const override { return "time"; }
    std::unique_ptr<AudioStream> openStream() override {
        return std::make_unique<ImmediateStream>(shared_from_this(), nullptr);
    }
};

class WavFileOutput final : public AudioOutput {
public:
    explicit WavFileOutput(std::FILE* file) : file_(file) { writeHeader(); }
    ~WavFileOutput() override { std::fclose(file_); }
    std::string name() const override { return "wav"; }
    // Every stream appends to the one file.
    std::unique_ptr<AudioStream> openStream() override {
        // The stream keeps the output alive.
        return std::make_unique<ImmediateStream>(
            shared_from_this(), [this](std::span<const std::int16_t> samples) { append(samples); });
    }

private:
    void append(std::span<const std::int16_t> samples) {
        std::lock_guard lock(mutex_);
        std::fseek(file_, 0, SEEK_END);
        std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file_);
        dataBytes_ += static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
        writeHeader();
    }

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

    std::mutex mutex_;
    std::FILE* file_;
    std::uint32_t dataBytes_ = 0;
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
    if (auto pulse = openPulseAudioOutput(error)) return pulse;
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

void AudioStream::write(std::span<const std::int16_t> samples) {
    if (samples.empty()) return;
    output_->frames_ += static_cast<std::int64_t>(samples.size() / kOutputChannels);
    play(samples);
}

core::ObservationToken AudioOutput::observeAnswering(std::function<void(bool answering)> listener) {
    std::lock_guard lock(listeners_->mutex);
    const auto id = listeners_->next++;
    listeners_->list.emplace_back(id, std::make_shared<const std::function<void(bool)>>(std::move(listener)));
    return core::ObservationToken([weak = std::weak_ptr(listeners_), id] {
        if (auto listeners = weak.lock()) {
            std::lock_guard lock(listeners->mutex);
            std::erase_if(listeners->list, [id](const auto& entry) { return entry.first == id; });
        }
    });
}

void AudioOutput::setAnswering(bool answering) {
    const auto reach = answering ? Reach::answering : Reach::lost;
    if (reach_.exchange(reach) == reach) return;
    core::DispatchQueue::main().async([weak = std::weak_ptr(listeners_), answering] {
        auto listeners = weak.lock();
        if (!listeners) return;
        std::vector<std::shared_ptr<const std::function<void(bool)>>> told;
        {
            std::lock_guard lock(listeners->mutex);
            for (const auto& [id, listener] : listeners->list) told.push_back(listener);
        }
        for (const auto& listener : told) (*listener)(answering);
    });
}

}  // namespace platform::media
