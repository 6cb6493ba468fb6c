// The component's PulseAudio output heard through a real sound server: a
// private daemon with a null sink, recorded from the sink's monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"
#include "support/MediaFiles.hpp"
#include "support/SessionBus.hpp"
#include "support/SoundServer.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace platform::media;
using platform::core::RunLoop;
using testsupport::SessionBus;
using testsupport::SoundServer;

// Runs of loud samples (louder than `threshold`), merged across gaps shorter
// than `bridge` samples (a tone's own zero crossings), as [first, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> loudRuns(const std::vector<std::int16_t>& samples, int threshold,
                                                          std::size_t bridge) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) < threshold) continue;
        if (!runs.empty() && i - runs.back().second <= bridge)
            runs.back().second = i + 1;
        else
            runs.emplace_back(i, i + 1);
    }
    return runs;
}

double frequency(const std::vector<std::int16_t>& samples, std::size_t first, std::size_t end) {
    int crossings = 0;
    for (std::size_t i = first + 1; i < end; ++i) crossings += samples[i - 1] < 0 && samples[i] >= 0;
    return crossings / (static_cast<double>(end - first) / SoundServer::kRate);
}

// A loud run widened to every sample the sink played (silence from a null
// sink is exact zeros).
std::pair<std::size_t, std::size_t> exactly(const std::vector<std::int16_t>& samples,
                                            std::pair<std::size_t, std::size_t> run) {
    while (run.first > 0 && samples[run.first - 1] != 0) --run.first;
    while (run.second < samples.size() && samples[run.second] != 0) ++run.second;
    return run;
}

// Where a steady tone of `hz` breaks in `samples`, as "at <seconds> s: ..."
// lines: 10 ms blocks that are silent, or whose phase (against the tone
// counted from the first sample; Hann-windowed, as a block holds no whole
// number of periods) moves by more than 0.25 rad from the block before.
std::string toneBreaks(std::span<const std::int16_t> samples, double hz) {
    constexpr std::size_t block = SoundServer::kRate / 100;
    constexpr double pi = std::numbers::pi;
    std::string breaks;
    std::optional<double> before;
    for (std::size_t at = 0; at + block <= samples.size(); at += block) {
        std::complex<double> sum;
        double window = 0;
        for (std::size_t i = 0; i < block; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2 * pi * static_cast<double>(i) / block);
            sum += w * samples[at + i] * std::polar(1.0, -2 * pi * hz * static_cast<double>(at + i) / SoundServer::kRate);
            window += w;
        }
        const double amplitude = 2 * std::abs(sum) / window;
        const double seconds = static_cast<double>(at) / SoundServer::kRate;
        if (amplitude < 1000) {
            breaks += "at " + std::to_string(seconds) + " s: silent (" + std::to_string(amplitude) + ")\n";
            before.reset();
            continue;
        }
        const double phase = std::arg(sum);
        if (before) {
            const double jump = std::remainder(phase - *before, 2 * pi);
            if (std::abs(jump) > 0.25) breaks += "at " + std::to_string(seconds) + " s: " + std::to_string(jump) + " rad\n";
        }
        before = phase;
    }
    return breaks;
}

TEST(PulseAudioOutput, AToneIsHeardAtItsFrequencyForTheTimePlayedAndNothingWhilePaused) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    ASSERT_TRUE(server.startRecording()) << "nothing was recorded from the sink";

    // One second of the tone, a pause longer than the server's buffer, then
    // another second, on the real clock, with the main thread held for 300 ms
    // half-way through it. Each pause comes as the position reaches its
    // second; where the recording and the position stand then are noted.
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(orvane::testing::makeTone(5.0, 440))));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(AudioOutput::shared()->name(), "pulseaudio");
    double pauseAt = 0;
    double holdAt = 1.5;
    std::vector<std::size_t> pausedAtSample;
    std::vector<double> pausedAtPosition;
    const auto token = player->addPeriodicTimeObserver(
        MediaTime::make(1, 2), platform::core::DispatchQueue::main(), [&](MediaTime time) {
            if (holdAt > 0 && time.seconds() + 1e-6 >= holdAt) {
                holdAt = 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(300));  // a busy main thread
            }
            if (pauseAt == 0 || time.seconds() + 1e-6 < pauseAt) return;
            player->pause();
            pausedAtSample.push_back(server.recordedSamples());
            pausedAtPosition.push_back(player->currentTime().seconds());
            pauseAt = 0;
        });
    for (int segment = 0; segment < 2; ++segment) {
        pauseAt = segment + 1.0;
        player->play();
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return pauseAt == 0; }, 5.0));
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }
    player->removeTimeObserver(token);
    player.reset();

    // The caller never waits for the server, even with its buffer full
    // (silence, so the recording stays as it is).
    const std::vector<std::int16_t> silence(3 * kOutputSampleRate * kOutputChannels, 0);
    auto stream = AudioOutput::shared()->openStream();
    for (int write = 0; write < 2; ++write) {
        const auto before = std::chrono::steady_clock::now();
        stream->write(silence);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(50)) << "write " << write;
    }
    stream.reset();
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
    const auto heard = server.stopRecording();

    // The tone is at a quarter of full scale; silence is exact zeros from a
    // null sink. Two loud runs of one second each (within 50 ms: the start
    // and end of a stream are the server's), at 440 Hz, with silence between
    // and after them.
    const auto runs = loudRuns(heard, 1000, SoundServer::kRate / 100);
    ASSERT_EQ(runs.size(), 2u) << heard.size() << " samples recorded";
    for (const auto& [first, end] : runs) {
        EXPECT_NEAR(static_cast<double>(end - first) / SoundServer::kRate, 1.0, 0.05);
        EXPECT_NEAR(frequency(heard, first, end), 440, 4);
    }
    const auto gap = runs[1].first - runs[0].second;
    EXPECT_GT(static_cast<double>(gap) / SoundServer::kRate, 1.0) << "a pause of 2.5 s left too little silence";
    for (std::size_t i = runs[0].second; i < runs[1].first; ++i) ASSERT_LT(std::abs(heard[i]), 1000) << i;
    // Silence follows each pause promptly.
    ASSERT_EQ(pausedAtSample.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const double after = (static_cast<double>(runs[i].second) - static_cast<double>(pausedAtSample[i])) /
                             SoundServer::kRate;
        EXPECT_LT(after, 0.1) << "tone " << i << " went on " << after << " s after its pause";
    }
    // Each run is one steady tone: no break, not even while the main thread
    // was held. The position at each pause is what had been heard, so the
    // pause neither skipped nor repeated more than that, as far as the
    // sink's monitor can tell: it shows what the sink had already taken
    // before the cork dropped it (up to the sink's latency, about 20 ms
    // here), and a stream's first milliseconds or not, so a run it records
    // may be longer than what was heard by up to about that much. (PipeWire's
    // server, whose monitor shows neither, records each run within 6 ms of
    // the position.)
    double heardSeconds = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const auto [first, end] = exactly(heard, runs[i]);
        const std::span<const std::int16_t> run(heard.data() + first, end - first);
        EXPECT_EQ(toneBreaks(run, 440), "") << "run " << i << " (times from its start)";
        heardSeconds += static_cast<double>(run.size()) / SoundServer::kRate;
        EXPECT_NEAR(pausedAtPosition[i], heardSeconds, 0.03) << "pause " << i;
    }
}

// A server that is gone or hangs: the caller never waits for it and nothing
// claims to play (not the player, not the desktop's media controls) until the
// server answers; one that stays away long enough stalls the player, and
// again each time play is pressed while it is still away. Then the tone is
// heard again soon and playback goes on. The output says what happened once
// each way.
struct Outage {
    const char* name;
    // Before the first play, the server stops answering (it hangs) for long,
    // and play is pressed again after the stall; otherwise it is killed while
    // the tone plays and a new one started soon.
    bool hangsFromTheStart;
    const char* said;
};

void PrintTo(const Outage& outage, std::ostream* out) { *out << outage.name; }

class PulseAudioOutage : public ::testing::TestWithParam<Outage> {};

TEST_P(PulseAudioOutage, NothingClaimsToPlayUntilTheServerAnswersAndThenTheToneGoesOn) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    const auto& outage = GetParam();
    SessionBus bus;
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    testsupport::TempDocuments documents;
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    platform::core::DebugCapture capture;
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(
        NowPlayingInfo{{NowPlayingKey::title, std::string("Tone")}, {NowPlayingKey::playbackDuration, 10.0}});
    ASSERT_TRUE(SessionBus::waitForPlayer());
    SessionBus::Follower status("status");
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(orvane::testing::makeTone(10.0, 440))));
    int stalls = 0;
    const auto stalled = platform::core::NotificationCenter::defaultCenter().addObserver(
        PlayerItem::playbackStalledNotification, player->currentItem().get(), [&](const auto&) { ++stalls; });
    RunLoop::main().runUntilIdle();

    if (outage.hangsFromTheStart) {
        server.freeze();
        player->play();
        // The play returned before the output gave up waiting for an answer.
        EXPECT_EQ(capture.count(outage.said), 0u) << "the first play waited for the server";
        ASSERT_EQ(AudioOutput::shared()->name(), "pulseaudio");
    } else {
        player->play();
        ASSERT_TRUE(status.waitForLast("Playing"));
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->currentTime().seconds() >= 0.5; }, 5.0));
        server.kill();
    }
    // A server away for long is a stall; one restarted at once is waited for.
    const int expectedStalls = outage.hangsFromTheStart ? 2 : 0;
    if (outage.hangsFromTheStart) {
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return stalls == 1; }, 5.0)) << "no stall";
    }
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !player->isAdvancing(); }, 5.0)) << "it plays on unheard";
    EXPECT_EQ(player->rate(), 1.0f) << "a player that waits keeps its rate";
    EXPECT_TRUE(status.waitForLast("Paused")) << "the media controls say it plays";
    const double position = player->currentTime().seconds();
    RunLoop::main().runUntil([] { return false; }, 0.3);
    EXPECT_EQ(player->currentTime().seconds(), position) << "the position moved without a server";
    if (outage.hangsFromTheStart) {
        // Paused by whoever heard of the stall, then play pressed while the
        // server still hangs: a stall again, and nobody is told it plays.
        player->pause();
        const auto before = status.lines().size();
        player->play();
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return stalls == 2; }, 5.0)) << "play while away never stalls";
        EXPECT_FALSE(player->isAdvancing());
        const auto lines = status.lines();
        EXPECT_EQ(std::count(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(), "Playing"), 0)
            << "the media controls were told it plays";
        EXPECT_TRUE(status.waitForLast("Paused", 1.0));
    }

    if (outage.hangsFromTheStart)
        server.thaw();
    else
        ASSERT_TRUE(server.start()) << "the sound server did not start again; see " << server.log();
    ASSERT_TRUE(server.startRecording()) << "nothing was recorded from the sink";
    const auto toneHeard = [&] { return !loudRuns(server.recording(), 1000, SoundServer::kRate / 100).empty(); };
    EXPECT_TRUE(RunLoop::main().runUntil(toneHeard, 2.0)) << "no tone within 2 s of the server";
    EXPECT_TRUE(status.waitForLast("Playing"));
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return player->currentTime().seconds() >= position + 0.3; }, 2.0))
        << "the position stays at " << position;
    EXPECT_EQ(stalls, expectedStalls);
    player.reset();
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
    EXPECT_EQ(capture.count(outage.said), 1u);
    EXPECT_EQ(capture.count("answers again"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Servers, PulseAudioOutage,
                         ::testing::Values(Outage{"restarted", false, "lost the sound server"},
                                           Outage{"hung", true, "does not answer"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
