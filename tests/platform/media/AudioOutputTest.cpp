#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"
#include "support/EncodedMedia.hpp"
#include "support/MediaFiles.hpp"

namespace {

using namespace platform::media;
using platform::core::Data;
using platform::core::NotificationCenter;
using platform::core::RunLoop;
namespace t = orvane::testing;

// Plays bytes from memory on the manual clock into a WAV file output.
struct PlaybackToWav : ::testing::Test {
    void SetUp() override {
        RunLoop::main().useManualClock();
        path = std::filesystem::temp_directory_path() /
               ("orvane-output-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav");
        AudioOutput::configure({AudioOutput::Kind::wavFile, path});
    }
    void TearDown() override {
        player.reset();
        AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
        std::filesystem::remove(path);
    }
    void load(const Data& bytes) {
        item = PlayerItem::create(URLAsset::createWithData(bytes));
        player = Player::create(item);
        ends = 0;
        token = NotificationCenter::defaultCenter().addObserver(PlayerItem::didPlayToEndTimeNotification, nullptr,
                                                                [this](const auto&) { ++ends; });
        RunLoop::main().runUntilIdle();
        ASSERT_EQ(item->status(), PlayerItemStatus::readyToPlay);
    }
    // Left-channel samples written so far.
    std::vector<std::int16_t> heard() const {
        auto file = platform::core::FileManager::readFile(path);
        std::vector<std::int16_t> left;
        if (!file || file->size() < 44) return left;
        for (std::size_t at = 44; at + 3 < file->size(); at += 4)
            left.push_back(static_cast<std::int16_t>((*file)[at] | ((*file)[at + 1] << 8)));
        return left;
    }

    std::filesystem::path path;
    std::shared_ptr<PlayerItem> item;
    std::shared_ptr<Player> player;
    platform::core::ObservationToken token;
    int ends = 0;
};

int risingZeroCrossings(const std::vector<std::int16_t>& samples) {
    int n = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) n += samples[i - 1] < 0 && samples[i] >= 0;
    return n;
}

TEST_F(PlaybackToWav, AToneIsHeardAtItsFrequencyForTheTimePlayedAndAPauseAddsNothing) {
    for (const auto& [name, bytes] :
         {std::pair{"pcm 8 kHz mono", t::makeTone(4.0, 440, 8000, 1)}, std::pair{"mp3", t::kCbrMp3.make()}}) {
        SCOPED_TRACE(name);
        load(bytes);
        const auto before = heard().size();
        player->play();
        RunLoop::main().advance(2.0);
        player->pause();
        const auto played = heard();
        EXPECT_EQ(played.size() - before, 2u * kOutputSampleRate);
        const std::vector<std::int16_t> last(played.end() - kOutputSampleRate, played.end());
        EXPECT_NEAR(risingZeroCrossings(last), 440, 3);
        // A second of pause: not one sample more.
        RunLoop::main().advance(1.0);
        EXPECT_EQ(heard().size(), played.size());
        player->play();
        RunLoop::main().advance(0.5);
        player->pause();
        EXPECT_EQ(heard().size(), played.size() + kOutputSampleRate / 2);
    }
}

TEST_F(PlaybackToWav, ASeekLandsWhereItShould) {
    const Data tone = t::makeTone(6.0, 440);  // 48 kHz stereo: the output's own format
    load(tone);
    player->play();
    RunLoop::main().advance(0.5);
    bool finished = false;
    player->seek(MediaTime::make(3, 1), [&](bool done) { finished = done; });
    RunLoop::main().runUntilIdle();
    ASSERT_TRUE(finished);
    const auto before = heard().size();
    RunLoop::main().advance(0.5);
    const auto after = heard();
    ASSERT_EQ(after.size() - before, static_cast<std::size_t>(kOutputSampleRate / 2));
    for (std::size_t i = 0; i < after.size() - before; i += 97) {
        const std::size_t source = 44 + (3 * 48000 + i) * 4;
        const auto expected = static_cast<std::int16_t>(tone[source] | (tone[source + 1] << 8));
        ASSERT_EQ(after[before + i], expected) << "frame " << i;
    }
}

TEST_F(PlaybackToWav, AnItemOfUnroundLengthEndsWhereItsAudioEnds) {
    // 8,001 frames at 8 kHz: the time left is finally below the clock's
    // resolution at this date; the end must still come.
    load(t::makeWavFrames(8001, 8000));
    player->play();
    RunLoop::main().advance(3.0);
    EXPECT_EQ(ends, 1);
    EXPECT_NEAR(player->currentTime().seconds(), 8001.0 / 8000, 1e-4);
    EXPECT_NEAR(static_cast<double>(heard().size()), 8001.0 * 6, 2);
}

TEST_F(PlaybackToWav, BadBytesFailOrPlayAsFarAsTheyGoWithoutGarbage) {
    Data corrupt = t::kCbrMp3.make();
    for (std::size_t i = 20'000; i < 40'000; ++i) corrupt[i] = static_cast<std::uint8_t>((i * 7919) % 251);
    Data cut = t::kCbrMp3.make();
    cut.resize(cut.size() / 2);
    for (const auto& [name, bytes] : {std::pair{"corrupt middle", corrupt}, std::pair{"cut in half", cut}}) {
        SCOPED_TRACE(name);
        load(bytes);
        const auto before = heard().size();
        player->play();
        RunLoop::main().advance(8.0);
        EXPECT_EQ(ends, 1);
        const auto played = heard();
        EXPECT_LE(played.size() - before, 5u * kOutputSampleRate + kOutputSampleRate / 10);
        // Nothing louder than the tone (a quarter of full scale, with the
        // encoder's ripple) reaches the output.
        for (std::size_t i = before; i < played.size(); ++i) ASSERT_LT(std::abs(played[i]), 16000) << i;
    }
}

TEST(AudioOutputChoice, WithoutASoundServerPlaybackKeepsTimeAfterOneDebugLine) {
    ::setenv("PULSE_SERVER", "unix:/nonexistent/orvane-no-server", 1);
    RunLoop::main().useManualClock();
    platform::core::DebugCapture capture;
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(t::makeTone(3.0, 440, 8000, 1))));
    RunLoop::main().runUntilIdle();
    player->play();
    RunLoop::main().advance(1.0);
    EXPECT_NEAR(player->currentTime().seconds(), 1.0, 1e-6);
    EXPECT_EQ(AudioOutput::shared()->name(), "time");
    EXPECT_EQ(AudioOutput::shared()->framesWritten(), kOutputSampleRate);
    EXPECT_EQ(capture.count("no sound server"), 1u);
    EXPECT_EQ(capture.count("(Connection refused)"), 1u) << "the reason the server gave";
}

}  // namespace
