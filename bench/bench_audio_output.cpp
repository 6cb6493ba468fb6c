// The main thread inside the sound-server output: how long each call a player
// makes on its stream (write, pause, flush, play out, and asking what is
// pending) keeps the caller, over the sequences a listener makes: seeks while
// playing, one after another, a pause right after a seek, a seek while
// paused, play/pause bursts, a new episode while one plays, a seek to the
// end, new episodes each gone before its stream is made. Each sequence feeds
// the stream half a second ahead of what it has played and asks what is
// pending every 5 ms, as a playing player does; it ends by playing out what
// was written (the stream then rests).
// Counters: `longest_wait_us` (the longest single call, over all
// iterations), `mean_wait_us` and `calls`. Needs Debian's `pulseaudio`: a
// private server with a null sink is started for the run (skipped without).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "support/SoundServer.hpp"

namespace {

using namespace platform::media;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kAheadFrames = kOutputSampleRate / 2;
constexpr std::int64_t kChunkFrames = kOutputSampleRate / 20;

// Times every call into the output.
struct Waits {
    double longestUs = 0;
    double totalUs = 0;
    std::int64_t calls = 0;

    template <typename Call>
    auto time(Call&& call) {
        const auto start = Clock::now();
        struct Done {
            Waits& waits;
            Clock::time_point start;
            ~Done() {
                const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
                waits.longestUs = std::max(waits.longestUs, us);
                waits.totalUs += us;
                ++waits.calls;
            }
        } done{*this, start};
        return call();
    }
};

// What a playing player does with its stream: keeps it fed ahead of what it
// has played, and asks what is pending.
class Playback {
public:
    Playback(AudioOutput& output, Waits& waits) : waits_(waits), stream_(output.openStream()) {}
    ~Playback() {
        waits_.time([&] { stream_.reset(); });
    }

    // Plays for `seconds` of the real clock (or, paused, asks only).
    void run(double seconds) {
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            const auto pending = waits_.time([&] { return stream_->framesPending(); });
            if (playing_ && pending < kAheadFrames) {
                const std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunkFrames * kOutputChannels), 0);
                waits_.time([&] { stream_->write(chunk); });
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    void seek() {
        waits_.time([&] { stream_->flush(); });
        playing_ = true;
    }
    void pause() {
        waits_.time([&] { stream_->pause(); });
        playing_ = false;
    }
    void flushWhilePaused() { waits_.time([&] { stream_->flush(); }); }
    void playOutTheRest() {
        waits_.time([&] { stream_->playOut(); });
        playing_ = false;
    }

private:
    Waits& waits_;
    std::unique_ptr<AudioStream> stream_;
    bool playing_ = false;
};

enum Sequence {
    oneSeek,
    twoSeeksQuickly,
    twoSeeksASecondApart,
    pauseRightAfterSeek,
    seekWhilePaused,
    playPauseBurst,
    newItem,
    seekToEnd,
    // New episodes picked one after another, each gone before the server has
    // made its stream.
    goneBeforeReady,
};

void runSequence(Sequence sequence, AudioOutput& output, Waits& waits) {
    auto playback = std::make_unique<Playback>(output, waits);
    playback->seek();
    playback->run(0.3);
    switch (sequence) {
        case oneSeek:
            playback->seek();
            break;
        case twoSeeksQuickly:
            playback->seek();
            playback->run(0.1);
            playback->seek();
            break;
        case twoSeeksASecondApart:
            playback->seek();
            playback->run(1.0);
            playback->seek();
            break;
        case pauseRightAfterSeek:
            playback->seek();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            playback->pause();
            playback->run(0.3);
            playback->seek();
            break;
        case seekWhilePaused:
            playback->pause();
            playback->run(0.1);
            playback->flushWhilePaused();
            playback->run(0.1);
            playback->seek();
            break;
        case playPauseBurst:
            for (int i = 0; i < 2; ++i) {
                playback->pause();
                playback->run(0.05);
                playback->seek();
                playback->run(0.05);
            }
            break;
        case newItem:
            playback = std::make_unique<Playback>(output, waits);
            playback->seek();
            break;
        case seekToEnd:
            playback->seek();
            playback->playOutTheRest();
            break;
        case goneBeforeReady:
            for (int i = 0; i < 10; ++i) {
                Playback gone(output, waits);
                gone.seek();
                gone.run(0.001);
            }
            break;
    }
    playback->run(0.3);
    playback->playOutTheRest();
    playback->run(0.3);
}

void BM_MainThreadWaitInsideTheOutput(benchmark::State& state) {
    static const auto discarded = platform::core::discardDebugOutput();
    (void)discarded;
    if (!testsupport::SoundServer::available()) {
        state.SkipWithError("pulseaudio and parec are not installed");
        return;
    }
    testsupport::SoundServer server;
    if (!server.running()) {
        state.SkipWithError("the sound server did not start");
        return;
    }
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    auto output = AudioOutput::shared();
    for (int i = 0; i < 200 && !output->isAnswering(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (output->name() != "pulseaudio" || !output->isAnswering()) {
        state.SkipWithError("the sound server does not answer");
        return;
    }
    Waits waits;
    for (auto _ : state) runSequence(static_cast<Sequence>(state.range(0)), *output, waits);
    state.counters["longest_wait_us"] = waits.longestUs;
    state.counters["mean_wait_us"] = waits.calls > 0 ? waits.totalUs / static_cast<double>(waits.calls) : 0;
    state.counters["calls"] = static_cast<double>(waits.calls);
    output.reset();
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
}

BENCHMARK(BM_MainThreadWaitInsideTheOutput)
    ->ArgName("sequence")
    ->DenseRange(oneSeek, goneBeforeReady)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
