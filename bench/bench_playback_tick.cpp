// The playback tick: half a second of playback on the manual clock, which
// brings one periodic time callback of the media player to the audio player,
// its position report to the coordinator and the "timeupdate" event to the
// widget (plus a watchdog tick every other iteration). Measured without a
// widget page (the native part alone) and with the reference widget in
// JavaScriptCore receiving the events. The audio is a cached WAV, so no
// request is made. Debug output is discarded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/PlayerItem.hpp"

namespace {

using platform::core::RunLoop;

constexpr double kSeconds = 600.0;
constexpr int kRate = 1000;

platform::core::Data silentWav(double seconds, int rate) {
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    const std::uint32_t dataSize = frames * 2;
    platform::core::Data out;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    };
    auto tag = [&](const char* text) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(text[i]));
    };
    tag("RIFF");
    put(36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(static_cast<std::uint32_t>(rate), 4);
    put(static_cast<std::uint32_t>(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(dataSize, 4);
    out.resize(out.size() + dataSize, 0);
    return out;
}

// The component started once, with a playing player on a cached episode.
std::shared_ptr<orvane::OVAudioPlayer> playingPlayer() {
    static std::shared_ptr<orvane::OVAudioPlayer> player = [] {
        platform::core::setDebugSink([](std::string_view) {});
        RunLoop::main().useManualClock();
        std::random_device random;
        const auto documents = std::filesystem::temp_directory_path() / ("orvane-bench-" + std::to_string(random()));
        std::filesystem::create_directories(documents);
        platform::core::FileManager::setDocumentsDirectory(documents);
        orvane::OVAudioCache::cache(silentWav(kSeconds, kRate), "tick.wav");
        orvane::Orvane::shared().start();
        auto audio = orvane::Orvane::shared().coordinator()->player();
        audio->widgetSetSource("http://127.0.0.1:9/audio/tick.wav");
        RunLoop::main().runUntil(
            [&] { return audio->player()->currentItem()->status() != platform::media::PlayerItemStatus::unknown; },
            10);
        audio->play();
        RunLoop::main().runUntilIdle();
        return audio;
    }();
    return player;
}

// Passes every report on to the coordinator, counting the position reports.
struct CountingDelegate : orvane::OVAudioPlayerDelegate {
    std::shared_ptr<orvane::OVCoordinator> target = orvane::Orvane::shared().coordinator();
    long positions = 0;
    void audioDurationIsKnown(double d) override { target->audioDurationIsKnown(d); }
    void audioPositionDidChange(orvane::OVAudioPosition p) override {
        ++positions;
        target->audioPositionDidChange(p);
    }
    void audioStatusDidChange(orvane::OVAudioPlayerStatus s) override { target->audioStatusDidChange(s); }
    void audioDidEnd() override { target->audioDidEnd(); }
    void audioInterruptionBegan() override { target->audioInterruptionBegan(); }
    void audioInterruptionEnded(bool r) override { target->audioInterruptionEnded(r); }
};

void tick(benchmark::State& bench) {
    auto player = playingPlayer();
    auto counting = std::make_shared<CountingDelegate>();
    player->setDelegate(counting);
    for (auto _ : bench) {
        RunLoop::main().advance(0.5);
        RunLoop::main().runUntilIdle();
        if (player->player()->currentTime().seconds() > kSeconds - 1) {
            bench.PauseTiming();
            player->seek(0);
            RunLoop::main().runUntilIdle();
            bench.ResumeTiming();
        }
    }
    if (player->status() != orvane::OVAudioPlayerStatus::playing) bench.SkipWithError("the player stopped playing");
    bench.counters["reports_per_tick"] =
        static_cast<double>(counting->positions) / static_cast<double>(std::max<benchmark::IterationCount>(bench.iterations(), 1));
    player->setDelegate(counting->target);
}

void BM_PlaybackTick_NoWidget(benchmark::State& bench) {
    playingPlayer();
    orvane::OVWidgetManager::shared().setWebView(nullptr);
    tick(bench);
}
BENCHMARK(BM_PlaybackTick_NoWidget)->Unit(benchmark::kMicrosecond);

void BM_PlaybackTick_ToWidget(benchmark::State& bench) {
    playingPlayer();
    static auto view = [] {
        auto page = orvane::OVWebView::create();
        page->loadHTMLString("<script src=\"reference-widget.js\"></script>",
                             std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/support/widget");
        RunLoop::main().runUntilIdle();
        return page;
    }();
    orvane::OVWidgetManager::shared().setWebView(view);
    tick(bench);
}
BENCHMARK(BM_PlaybackTick_ToWidget)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
