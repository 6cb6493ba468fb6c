// The main thread while a player item opens a file that lies about itself: a
// caching item of a 101-byte WAV (the bytes come through the item's resource
// loader, as a streamed or cached episode's do, and are opened on another
// thread) is made the player's item, and
// the run loop runs until the item has failed or become ready. A heartbeat on
// the main run loop every millisecond shows the longest the main thread was
// kept busy meanwhile (main_longest_ms: how late the latest heartbeat ran, an
// upper bound of the longest single task; the budget is one frame, 16 ms),
// and main_cpu_max_ms is the most CPU time the main thread spent in one
// iteration (all its tasks together, so a bound of the longest that a busy
// machine's scheduling does not move); the iteration's time is until the
// item's status changed.
//
// The argument is the file: 0 claims 1,447,297,058 Hz, 1 claims 65,535
// channels, 2 claims 767,999 Hz (the most a file may claim, and the costliest
// resampler to prepare: its rate shares no factor with the output's), 3 is a
// plain second of 44.1 kHz stereo that opens.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "MainHeartbeat.hpp"
#include "orvane/playback/OVCachePlayerItem.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/Player.hpp"
#include "support/MediaFiles.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using platform::core::RunLoop;
using platform::media::PlayerItemStatus;
namespace t = orvane::testing;

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

using benchsupport::MainHeartbeat;

platform::core::Data file(std::int64_t kind) {
    switch (kind) {
        case 0: return t::makeWavClaiming(1'447'297'058, 1);
        case 1: return t::makeWavClaiming(48000, 65535);
        case 2: return t::makeWavClaiming(767'999, 1);
        default: return t::makeTone(1.0, 440, 44100, 2);
    }
}

void BM_MainThreadWhileAHostileFileIsProbed(benchmark::State& state) {
    static const auto quiet = platform::core::discardDebugOutput();
    const auto bytes = file(state.range(0));
    double longest = 0;
    double mostCpu = 0;
    int failed = 0;
    for (auto _ : state) {
        auto heartbeat = std::make_shared<MainHeartbeat>();
        heartbeat->start();
        const auto start = Clock::now();
        const double cpuStart = threadCpuSeconds();
        auto item = orvane::OVCachePlayerItem::create(bytes, "audio/wav", "wav");
        auto player = platform::media::Player::create(item);
        if (!RunLoop::main().runUntil([&] { return item->status() != PlayerItemStatus::unknown; }, 120.0)) {
            state.SkipWithError("the item neither failed nor became ready");
            break;
        }
        state.SetIterationTime(seconds(start, Clock::now()));
        mostCpu = std::max(mostCpu, threadCpuSeconds() - cpuStart);
        heartbeat->stop();
        longest = std::max(longest, heartbeat->longestSeconds());
        if (item->status() == PlayerItemStatus::failed) ++failed;
        player.reset();
        item.reset();
        RunLoop::main().runUntilIdle();
    }
    state.counters["main_longest_ms"] = longest * 1000.0;
    state.counters["main_cpu_max_ms"] = mostCpu * 1000.0;
    state.counters["failed"] = benchmark::Counter(failed, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MainThreadWhileAHostileFileIsProbed)
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
