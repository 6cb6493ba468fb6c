// The component's PulseAudio output heard through a real sound server: a
// private daemon with a null sink, recorded from the sink's monitor.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"
#include "support/MediaFiles.hpp"
#include "support/SoundServer.hpp"

namespace {

using namespace platform::media;
using platform::core::RunLoop;
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

TEST(PulseAudioOutput, AToneIsHeardAtItsFrequencyForTheTimePlayedAndNothingWhilePaused) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    ASSERT_TRUE(server.startRecording()) << "nothing was recorded from the sink";

    // One second of the tone, a pause longer than the server's buffer, then
    // another second, on the real clock. Each pause comes as the position
    // reaches its second; where the recording stands then is noted.
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(orvane::testing::makeTone(5.0, 440))));
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(AudioOutput::shared()->name(), "pulseaudio");
    double pauseAt = 0;
    std::vector<std::size_t> pausedAtSample;
    const auto token = player->addPeriodicTimeObserver(MediaTime::make(1, 1), platform::core::DispatchQueue::main(),
                                                       [&](MediaTime time) {
                                                           if (pauseAt == 0 || time.seconds() + 1e-6 < pauseAt) return;
                                                           player->pause();
                                                           pausedAtSample.push_back(server.recordedSamples());
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
    for (int write = 0; write < 2; ++write) {
        const auto before = std::chrono::steady_clock::now();
        AudioOutput::shared()->write(silence);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(50)) << "write " << write;
    }
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
}

}  // namespace
