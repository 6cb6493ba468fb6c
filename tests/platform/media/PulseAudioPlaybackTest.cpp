// What a listener hears of a player on a real sound server, frame by frame:
// each row plays a short file whose every frame says where in the file it is
// (makePositionCode) to its end, on the run loop's real clock, with seeks,
// pauses or a new item along the way, each triggered by the position the
// player reports. The recording of the sink's monitor decodes back into the
// stretches of the file that were heard, in the order they were heard. The
// path keeps every sample as it is: the decoder passes 48 kHz stereo 16-bit
// PCM through unchanged, and the server, at that rate with the stream and
// the sink at full volume, neither resamples nor scales it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/NotificationCenter.hpp"
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

constexpr int kRate = SoundServer::kRate;
// Every item is this long.
constexpr double kItemSeconds = 2.0;
constexpr std::int64_t kItemFrames = static_cast<std::int64_t>(kItemSeconds * kRate);
// The codes of the item that replaces the first one start here (10 s), so
// that what is heard of each tells them apart.
constexpr std::int64_t kSecondItemCode = 10 * kRate;
// Seams of what is heard lie within this much of where the player said it
// was. A pause and a resume may repeat or skip a few samples; and the monitor
// shows the sink's rewinds late: what the sink had already taken of a stream
// before a seek or a pause is recorded after it, and a stream that starts or
// starts again is recorded from a few milliseconds into it (each up to the
// sink's latency, about 20 ms here). Stretches shorter than this are left out
// on both sides: a second seek may come before anything of the first was
// heard, or when only a little was.
constexpr std::int64_t kSeamFrames = 3 * kRate / 100;
// The played-to-end notification comes within this long after the last
// sample is heard ...
constexpr double kEndLatency = 0.3;
// ... and may seem to come up to this much before it: the recorder writes
// what the monitor gives it about 20 ms late (its own latency), and what the
// sink had already taken when playback stopped (a seek to the end) is
// recorded after that, so the recording lags what the player knows was
// played by up to about this.
constexpr double kRecorderLag = 0.05;

// A stretch of codes, [first, end).
struct Stretch {
    std::int64_t first = 0;
    std::int64_t end = 0;
    std::int64_t length() const { return end - first; }
};

std::string seconds(std::int64_t frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(frames) / kRate);
    return text;
}

std::string describe(const std::vector<Stretch>& stretches, std::size_t most = 40) {
    if (stretches.empty()) return "(nothing)";
    std::string text;
    for (std::size_t i = 0; i < stretches.size() && i < most; ++i)
        text += (i > 0 ? " " : "") + ("[" + seconds(stretches[i].first) + ", " + seconds(stretches[i].end) + ")");
    if (stretches.size() > most) text += " ... (" + std::to_string(stretches.size()) + " in all)";
    return text;
}

// Neighbours whose seam jumps by less than kSeamFrames joined into one.
std::vector<Stretch> joined(const std::vector<Stretch>& stretches) {
    std::vector<Stretch> out;
    for (const auto& stretch : stretches) {
        if (!out.empty() && std::abs(stretch.first - out.back().end) < kSeamFrames)
            out.back().end = stretch.end;
        else
            out.push_back(stretch);
    }
    return out;
}

// Joined, without what is shorter than kSeamFrames then, and joined again
// (across what was left out). Joining first keeps short pieces of a run of
// quick pauses as part of it.
std::vector<Stretch> normalised(const std::vector<Stretch>& stretches) {
    auto out = joined(stretches);
    std::erase_if(out, [](const Stretch& stretch) { return stretch.length() < kSeamFrames; });
    return joined(out);
}

// What the recording holds, in frames of the recording.
struct Heard {
    // Runs of frames whose codes go up by exactly one from frame to frame.
    std::vector<Stretch> stretches;
    // Frames that are neither silence nor a frame of one of the items.
    std::size_t strange = 0;
    std::optional<std::size_t> firstStrange;
    // The last frame that is not silence.
    std::optional<std::size_t> lastSound;
};

bool isCode(std::int64_t code) {
    return (code >= 0 && code < kItemFrames) || (code >= kSecondItemCode && code < kSecondItemCode + kItemFrames);
}

Heard decode(const std::vector<std::int16_t>& samples) {
    Heard heard;
    std::optional<std::int64_t> previous;
    for (std::size_t frame = 0; 2 * frame + 1 < samples.size(); ++frame) {
        const std::int16_t left = samples[2 * frame];
        const std::int16_t right = samples[2 * frame + 1];
        if (left == 0 && right == 0) {  // a null sink's silence
            previous.reset();
            continue;
        }
        heard.lastSound = frame;
        const auto code = orvane::testing::positionCodeOf(left, right);
        if (!code || !isCode(*code)) {
            if (heard.strange++ == 0) heard.firstStrange = frame;
            previous.reset();
            continue;
        }
        if (previous && *code == *previous + 1)
            heard.stretches.back().end = *code + 1;
        else
            heard.stretches.push_back({*code, *code + 1});
        previous = *code;
    }
    return heard;
}

struct Step {
    enum class Kind { play, pause, seek, seekThenPause, replaceItem, reach, wait } kind;
    double value = 0;
};
constexpr Step play{Step::Kind::play};
constexpr Step pause{Step::Kind::pause};
constexpr Step replaceItem{Step::Kind::replaceItem};
constexpr Step seek(double to) { return {Step::Kind::seek, to}; }
// A seek while playing whose completion pauses: the pause comes as playback
// starts again at the target, before the output has settled the seek.
constexpr Step seekThenPause(double to) { return {Step::Kind::seekThenPause, to}; }
// Waits until the player's position reaches `position`.
constexpr Step reach(double position) { return {Step::Kind::reach, position}; }
constexpr Step wait(double seconds) { return {Step::Kind::wait, seconds}; }

struct Row {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class PulseAudioPlayback : public ::testing::TestWithParam<Row> {};

TEST_P(PulseAudioPlayback, EachStretchIsHeardAsPlayedAndTheEndComesWhenItsLastSampleIsHeard) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    ASSERT_TRUE(server.startRecording(2)) << "nothing was recorded from the sink";

    const auto first = PlayerItem::create(URLAsset::createWithData(orvane::testing::makePositionCode(kItemSeconds)));
    const auto second =
        PlayerItem::create(URLAsset::createWithData(orvane::testing::makePositionCode(kItemSeconds, kSecondItemCode)));
    auto player = Player::create(first);
    auto& center = platform::core::NotificationCenter::defaultCenter();
    int ends = 0;
    int stalls = 0;
    const void* endedItem = nullptr;
    std::size_t endedAtFrame = 0;
    double positionAtEnd = -1;
    const auto ended = center.addObserver(PlayerItem::didPlayToEndTimeNotification, nullptr, [&](const auto& notification) {
        if (ends++ > 0) return;
        endedAtFrame = server.recordedFrames();
        endedItem = notification.object.get();
        positionAtEnd = player->currentTime().seconds();
    });
    const auto stalled =
        center.addObserver(PlayerItem::playbackStalledNotification, nullptr, [&](const auto&) { ++stalls; });
    RunLoop::main().runUntilIdle();

    // What should be heard: from where playback starts (the start, a seek's
    // target, where it resumes) to the position the player reports just
    // before the next action moves or stops it.
    std::vector<Stretch> expected;
    std::optional<std::int64_t> openFrom;
    std::int64_t itemCode = 0;  // the current item's first code
    bool playing = false;
    std::string actions;
    const auto position = [&] { return player->currentTime().seconds(); };
    const auto code = [&](double at) { return itemCode + std::llround(at * kRate); };
    const auto note = [&](const std::string& what) {
        char at[32];
        std::snprintf(at, sizeof at, "%.3f", position());
        actions += (actions.empty() ? "" : "; ") + what + " at " + at;
    };
    const auto close = [&] {
        if (openFrom) expected.push_back({*openFrom, code(position())});
        openFrom.reset();
    };
    bool lost = false;
    for (const auto& step : GetParam().steps) {
        switch (step.kind) {
            case Step::Kind::play:
                note("play");
                if (!openFrom) openFrom = code(position());
                playing = true;
                player->play();
                break;
            case Step::Kind::pause:
                note("pause");
                close();
                playing = false;
                player->pause();
                break;
            case Step::Kind::seek:
                note("seek to " + seconds(std::llround(step.value * kRate)));
                close();
                player->seek(MediaTime::makeWithSeconds(step.value, 1'000'000));
                if (playing) openFrom = code(step.value);
                break;
            case Step::Kind::seekThenPause:
                note("seek to " + seconds(std::llround(step.value * kRate)));
                close();
                openFrom = code(step.value);
                // Only a seek that finished runs this, and it does so from
                // within the loop run by this test.
                player->seek(MediaTime::makeWithSeconds(step.value, 1'000'000), [&](bool finished) {
                    if (!finished) return;
                    note("pause as the seek completes");
                    close();
                    playing = false;
                    player->pause();
                });
                break;
            case Step::Kind::replaceItem:
                note("new item");
                close();
                player->replaceCurrentItem(second);
                itemCode = kSecondItemCode;
                if (playing) openFrom = itemCode;
                break;
            case Step::Kind::reach:
                lost = !RunLoop::main().runUntil([&] { return position() >= step.value; }, 3.0);
                break;
            case Step::Kind::wait:
                RunLoop::main().runUntil([] { return false; }, step.value);
                break;
        }
        if (lost) {
            ADD_FAILURE() << "the position stayed at " << position() << " s, short of " << step.value
                          << " s, after: " << actions;
            break;
        }
    }
    // Then it plays to the end of the current item.
    if (openFrom) expected.push_back({*openFrom, itemCode + kItemFrames});
    RunLoop::main().runUntil([&] { return ends > 0; }, kItemSeconds - position() + 1.0);
    const double positionAfter = position();
    // Anything still heard after the end is recorded too.
    RunLoop::main().runUntil([] { return false; }, kEndLatency);
    const Heard heard = decode(server.stopRecording());
    player.reset();
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});

    const auto heardStretches = normalised(heard.stretches);
    const auto expectedStretches = normalised(expected);
    std::string story = "\nactions: " + actions + "\nheard:    " + describe(heardStretches) +
                        "\nexpected: " + describe(expectedStretches) + "\nheard, frame by frame: " +
                        describe(heard.stretches) + "\n";
    if (ends > 0) {
        story += "played to its end at " + std::to_string(positionAtEnd) + " s";
        if (heard.lastSound)
            story += ", " + seconds(static_cast<std::int64_t>(endedAtFrame) - static_cast<std::int64_t>(*heard.lastSound + 1)) +
                     " s after the last sample was heard";
    } else {
        story += "never played to its end: the position stands at " + std::to_string(positionAfter) + " s";
    }
    SCOPED_TRACE(story);

    // Each stretch of the file is heard in turn, from where playback
    // started to where the player said it was before the next action.
    EXPECT_EQ(heardStretches.size(), expectedStretches.size());
    for (std::size_t i = 0; i < heardStretches.size() && i < expectedStretches.size(); ++i) {
        const auto& [heardFirst, heardEnd] = heardStretches[i];
        const auto& [expectedFirst, expectedEnd] = expectedStretches[i];
        EXPECT_LT(std::abs(heardFirst - expectedFirst), kSeamFrames)
            << "stretch " << i << " starts at " << seconds(heardFirst) << " s, not " << seconds(expectedFirst) << " s";
        EXPECT_LT(std::abs(heardEnd - expectedEnd), kSeamFrames)
            << "stretch " << i << " ends at " << seconds(heardEnd) << " s, not " << seconds(expectedEnd) << " s";
    }
    // Nothing else: only the file's frames, and silence.
    EXPECT_EQ(heard.strange, 0u) << "frames of neither item nor silence, the first at "
                                 << seconds(static_cast<std::int64_t>(heard.firstStrange.value_or(0)))
                                 << " s of the recording";
    // The current item plays to its end, once, as its last sample is heard,
    // and its position is then its duration; nothing stalls.
    ASSERT_EQ(ends, 1);
    EXPECT_EQ(endedItem, static_cast<const void*>(itemCode == 0 ? first.get() : second.get()));
    EXPECT_NEAR(positionAtEnd, kItemSeconds, 0.001);
    EXPECT_NEAR(positionAfter, kItemSeconds, 0.001);
    ASSERT_TRUE(heard.lastSound.has_value());
    const double endAfterLastSample =
        (static_cast<double>(endedAtFrame) - static_cast<double>(*heard.lastSound + 1)) / kRate;
    EXPECT_LE(endAfterLastSample, kEndLatency);
    EXPECT_GE(endAfterLastSample, -kRecorderLag);
    EXPECT_EQ(stalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, PulseAudioPlayback,
    ::testing::Values(
        Row{"OneSeek", {play, reach(0.5), seek(1.2)}},
        Row{"TwoSeeksCloseTogether", {play, reach(0.5), seek(0.0), wait(0.1), seek(1.0)}},
        Row{"TwoSeeksASecondApart", {play, reach(0.3), seek(0.0), wait(1.0), seek(1.2)}},
        // A slider dragged: the seek, then a pause a few milliseconds later ...
        Row{"PauseRightAfterASeek", {play, reach(0.5), seek(1.2), wait(0.003), pause, wait(0.3), play}},
        // ... and the same with a server slower to answer than this one: the
        // pause comes before the output has heard back about the seek.
        Row{"PauseAsASeekCompletes", {play, reach(0.5), seekThenPause(1.2), wait(0.3), play}},
        Row{"SeekWhilePaused", {play, reach(0.5), pause, wait(0.2), seek(1.3), wait(0.1), play}},
        Row{"QuickPauseToggles",
            {play, reach(0.6), pause, wait(0.05), play, wait(0.05), pause, wait(0.05), play}},
        Row{"NewItemWhilePlaying", {play, reach(0.7), replaceItem}},
        Row{"SeekToTheEnd", {play, reach(0.5), seek(kItemSeconds)}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
