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
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/playback/OVCachePlayerItem.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"
#include "support/MediaFiles.hpp"
#include "support/MediaServerScripts.hpp"
#include "support/RawServer.hpp"
#include "support/SoundServer.hpp"
#include "support/TempDocuments.hpp"

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
    enum class Kind {
        play, pause, seek, seekThenPause, replaceItem, newPlayer, reach, wait, end, stalled, rest, freeze, thaw, serveRest
    } kind;
    double value = 0;
};
constexpr Step play{Step::Kind::play};
constexpr Step pause{Step::Kind::pause};
constexpr Step replaceItem{Step::Kind::replaceItem};
// The player goes; a new one, of a new item with the first item's codes,
// takes its place. It has no stream on the output until it first plays.
constexpr Step newPlayer{Step::Kind::newPlayer};
constexpr Step seek(double to) { return {Step::Kind::seek, to}; }
// A seek while playing whose completion pauses: the pause comes as playback
// starts again at the target, before the output has settled the seek.
constexpr Step seekThenPause(double to) { return {Step::Kind::seekThenPause, to}; }
// Waits until the player's position reaches `position`.
constexpr Step reach(double position) { return {Step::Kind::reach, position}; }
constexpr Step wait(double seconds) { return {Step::Kind::wait, seconds}; }
// Waits until the item has played to its end.
constexpr Step end{Step::Kind::end};
// Waits until playback stalls (it goes on by itself once it can).
constexpr Step stalled{Step::Kind::stalled};
// Nothing is due: the player's stream on the server is corked and the sink
// is suspended within the server's idle time (the recorder, which would keep
// it running, is stopped meanwhile).
constexpr Step rest{Step::Kind::rest};
// The server hangs (it takes connections and answers none), then answers
// again.
constexpr Step freeze{Step::Kind::freeze};
constexpr Step thaw{Step::Kind::thaw};
// The rest of a file held back by its server (Origin::heldBack) comes.
constexpr Step serveRest{Step::Kind::serveRest};

// Where the first item's bytes come from.
enum class Origin {
    memory,
    // Streamed from a test server that sends it slowly, in small blocks.
    trickled,
    // Streamed from a test server that sends its first kHeldBackSeconds,
    // then nothing until the test says.
    heldBack,
};
// More than a player that waits wants before it starts.
constexpr double kHeldBackSeconds = 1.4;

struct Row {
    const char* name;
    std::vector<Step> steps;
    Origin origin = Origin::memory;
    // Whether the player waits for enough bytes before it plays and after a
    // stall (the component's own player does not).
    bool waits = true;
    // Streamed as FLAC (its samples unchanged), whose packets the item
    // counts as they arrive; otherwise as WAV.
    bool flac = false;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// A body sent in two parts: up to `sent` bytes at once, the rest once `gate`
// opens.
orvane::testing::RawServer::Script heldBack(std::vector<std::uint8_t> body, std::size_t sent,
                                            std::shared_ptr<std::atomic<bool>> gate) {
    return [body = std::move(body), sent, gate](orvane::testing::RawServer::Connection& connection) {
        if (!connection.send(orvane::testing::mediaResponseHead(200, body.size(), "audio/wav"))) return;
        const auto at = static_cast<std::ptrdiff_t>(std::min(sent, body.size()));
        if (!connection.send(std::vector<std::uint8_t>(body.begin(), body.begin() + at))) return;
        while (!gate->load())
            if (!connection.pause(0.01)) return;
        connection.send(std::vector<std::uint8_t>(body.begin() + at, body.end()));
    };
}

// `wav` encoded losslessly as FLAC, whose packets the item counts as they
// arrive (the samples of a WAV file play as they are held).
platform::core::Data asFlac(const platform::core::Data& wav) {
    const auto path = std::filesystem::temp_directory_path() / ("orvane-codes-" + std::to_string(::getpid()) + ".wav");
    if (!platform::core::FileManager::writeFileAtomically(path, wav)) return {};
    auto flac = orvane::testing::encodeWithFfmpeg("-f wav -i '" + path.string() + "'", "-c:a flac -f ogg", "ogg");
    std::filesystem::remove(path);
    return flac;
}

// Plays `row` on a server of `kind` and checks what was heard.
void playRow(SoundServer::Kind kind, const Row& row) {
    testsupport::TempDocuments documents;  // the streaming item's cache
    SoundServer server(kind);
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    ASSERT_TRUE(server.startRecording(2)) << "nothing was recorded from the sink";

    const auto codes = orvane::testing::makePositionCode(kItemSeconds);
    const auto gate = std::make_shared<std::atomic<bool>>(false);
    std::optional<orvane::testing::RawServer> origin;
    std::shared_ptr<PlayerItem> first;
    if (row.origin == Origin::memory) {
        first = PlayerItem::create(URLAsset::createWithData(codes));
    } else {
        const auto body = row.flac ? asFlac(codes) : codes;
        ASSERT_FALSE(body.empty()) << "ffmpeg did not encode the codes";
        if (row.origin == Origin::trickled) {
            origin.emplace(orvane::testing::RawServer::trickle(body, body.size() / 40, 0.05));
        } else {
            const auto sent = row.flac ? static_cast<std::size_t>(static_cast<double>(body.size()) * kHeldBackSeconds / kItemSeconds)
                                       : 44 + static_cast<std::size_t>(kHeldBackSeconds * kRate) * 4;
            origin.emplace(heldBack(body, sent, gate));
        }
        first = orvane::OVCachePlayerItem::create(*platform::core::URL::parse(origin->url(row.flac ? "/codes.flac" : "/codes.wav")));
        ASSERT_NE(first, nullptr);
    }
    const auto second =
        PlayerItem::create(URLAsset::createWithData(orvane::testing::makePositionCode(kItemSeconds, kSecondItemCode)));
    auto player = Player::create(first);
    player->setAutomaticallyWaitsToMinimizeStalling(row.waits);
    const void* currentItem = first.get();
    auto& center = platform::core::NotificationCenter::defaultCenter();
    int ends = 0;
    int stalls = 0;
    const void* endedItem = nullptr;
    std::size_t endedAtFrame = 0;
    double positionAtEnd = -1;
    const auto ended = center.addObserver(PlayerItem::didPlayToEndTimeNotification, nullptr, [&](const auto& notification) {
        ++ends;
        endedAtFrame = server.recordedFrames();
        endedItem = notification.object.get();
        positionAtEnd = player->currentTime().seconds();
    });
    const auto stalledObserver =
        center.addObserver(PlayerItem::playbackStalledNotification, nullptr, [&](const auto&) { ++stalls; });
    RunLoop::main().runUntilIdle();

    // What should be heard: from where playback starts (the start, a seek's
    // target, where it resumes) to the position the player reports just
    // before the next action moves or stops it.
    std::vector<Stretch> expected;
    std::optional<std::int64_t> openFrom;
    std::int64_t itemCode = 0;  // the current item's first code
    bool playing = false;
    // Played to its end: play starts again from the start.
    bool atEnd = false;
    int expectedEnds = 0;
    int expectedStalls = 0;
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
    for (const auto& step : row.steps) {
        switch (step.kind) {
            case Step::Kind::play:
                note("play");
                if (!openFrom) openFrom = atEnd ? itemCode : code(position());
                atEnd = false;
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
                atEnd = false;
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
                atEnd = false;
                player->replaceCurrentItem(second);
                currentItem = second.get();
                itemCode = kSecondItemCode;
                if (playing) openFrom = itemCode;
                break;
            case Step::Kind::newPlayer: {
                note("new player");
                close();
                playing = atEnd = false;
                auto item = PlayerItem::create(URLAsset::createWithData(codes));
                currentItem = item.get();
                itemCode = 0;
                player = Player::create(item);
                player->setAutomaticallyWaitsToMinimizeStalling(row.waits);
                lost = !RunLoop::main().runUntil([&] { return item->status() == PlayerItemStatus::readyToPlay; }, 3.0);
                break;
            }
            case Step::Kind::reach:
                lost = !RunLoop::main().runUntil([&] { return position() >= step.value; }, 3.0);
                break;
            case Step::Kind::wait:
                RunLoop::main().runUntil([] { return false; }, step.value);
                break;
            case Step::Kind::end:
                lost = !RunLoop::main().runUntil([&] { return ends > expectedEnds; }, kItemSeconds - position() + 1.0);
                note("the end");
                ++expectedEnds;
                if (openFrom) expected.push_back({*openFrom, itemCode + kItemFrames});
                openFrom.reset();
                playing = false;
                atEnd = true;
                break;
            case Step::Kind::stalled:
                lost = !RunLoop::main().runUntil([&] { return stalls > expectedStalls; }, 5.0);
                note("stalled");
                ++expectedStalls;
                // A player that waits goes on from there by itself.
                close();
                if (playing) openFrom = code(position());
                break;
            case Step::Kind::rest: {
                note("rest");
                // What was heard before reaches the recorder first.
                RunLoop::main().runUntil([] { return false; }, 2 * kRecorderLag);
                server.pauseRecording();
                const auto start = std::chrono::steady_clock::now();
                const auto elapsed = [&] {
                    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                };
                std::vector<SoundServer::SinkInput> inputs;
                std::string state;
                const auto resting = [&] {
                    return inputs.size() == 1 && inputs[0].corked && state == "SUSPENDED";
                };
                do {
                    RunLoop::main().runUntil([] { return false; }, 0.1);
                    inputs = server.sinkInputs();
                    state = server.sinkState();
                } while (!resting() && elapsed() < server.suspendWithin());
                if (resting()) {
                    std::printf("rested %.2f s after: %s\n", elapsed(), actions.c_str());
                } else {
                    std::string streams;
                    for (const auto& input : inputs) streams += input.corked ? " corked" : " playing";
                    ADD_FAILURE() << "after " << server.suspendWithin() << " s the sink is " << state
                                  << " and the server holds " << inputs.size() << " streams:" << streams
                                  << "; after: " << actions;
                }
                EXPECT_TRUE(server.startRecording(2, true)) << "nothing was recorded from the sink";
                break;
            }
            case Step::Kind::freeze:
                note("the server hangs");
                server.pauseRecording();  // the recorder would hang with it
                server.freeze();
                break;
            case Step::Kind::thaw:
                note("the server answers");
                server.thaw();
                break;
            case Step::Kind::serveRest:
                note("the rest of the file comes");
                gate->store(true);
                break;
        }
        if (lost) {
            ADD_FAILURE() << "the position stayed at " << position() << " s, or the awaited did not come, after: "
                          << actions;
            break;
        }
    }
    // Then it plays to the end of the current item. A player that does not
    // wait stops where the bytes run out: the listener plays again a moment
    // later.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(kItemSeconds - position() + 3.0);
    while (!lost && ends <= expectedEnds && std::chrono::steady_clock::now() < until) {
        const auto stopped = [&] { return !row.waits && playing && player->rate() == 0; };
        RunLoop::main().runUntil([&] { return ends > expectedEnds || stopped(); },
                                 std::chrono::duration<double>(until - std::chrono::steady_clock::now()).count());
        if (ends > expectedEnds || !stopped()) break;
        note("stopped");
        close();
        RunLoop::main().runUntil([] { return false; }, 0.2);
        note("play");
        openFrom = code(position());
        player->play();
    }
    if (openFrom) expected.push_back({*openFrom, itemCode + kItemFrames});
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
    if (ends > expectedEnds) {
        story += "played to its end at " + std::to_string(positionAtEnd) + " s";
        if (heard.lastSound)
            story += ", " + seconds(static_cast<std::int64_t>(endedAtFrame) - static_cast<std::int64_t>(*heard.lastSound + 1)) +
                     " s after the last sample was heard";
    } else {
        story += "never played to its end: the position stands at " + std::to_string(positionAfter) + " s";
    }
    SCOPED_TRACE(story);
    if (std::getenv("ORVANE_DEBUG_STORY")) std::printf("%s\n", story.c_str());

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
    // The current item plays to its end, once more than the row awaited, to
    // its very last sample however short the tail, as that sample is heard;
    // its position is then its duration. Nothing stalls but where the row
    // says (a file trickling in may stall anywhere).
    ASSERT_EQ(ends, expectedEnds + 1);
    EXPECT_EQ(endedItem, currentItem);
    EXPECT_NEAR(positionAtEnd, kItemSeconds, 0.001);
    EXPECT_NEAR(positionAfter, kItemSeconds, 0.001);
    ASSERT_FALSE(heard.stretches.empty());
    if (!expected.empty() && expected.back().length() > 0 && expected.back().end == itemCode + kItemFrames) {
        EXPECT_EQ(heard.stretches.back().end, itemCode + kItemFrames) << "the tail was not heard to its end";
    }
    ASSERT_TRUE(heard.lastSound.has_value());
    const double endAfterLastSample =
        (static_cast<double>(endedAtFrame) - static_cast<double>(*heard.lastSound + 1)) / kRate;
    EXPECT_LE(endAfterLastSample, kEndLatency);
    EXPECT_GE(endAfterLastSample, -kRecorderLag);
    if (row.origin != Origin::trickled) {
        EXPECT_EQ(stalls, expectedStalls);
    }
}

std::vector<Row> rows() {
    return {
        Row{"OneSeek", {play, reach(0.5), seek(1.2)}},
        Row{"TwoSeeksCloseTogether", {play, reach(0.5), seek(0.0), wait(0.1), seek(1.0)}},
        Row{"TwoSeeksASecondApart", {play, reach(0.3), seek(0.0), wait(1.0), seek(1.2)}},
        // A slider dragged: the seek, then a pause a few milliseconds later ...
        Row{"PauseRightAfterASeek", {play, reach(0.5), seek(1.2), wait(0.003), pause, wait(0.3), play}},
        // ... and the same with a server slower to answer than this one: the
        // pause comes before the output has heard back about the seek.
        Row{"PauseAsASeekCompletes", {play, reach(0.5), seekThenPause(1.2), wait(0.3), play}},
        Row{"SeekWhilePaused", {play, reach(0.5), pause, wait(0.2), seek(1.3), wait(0.1), play}},
        Row{"QuickPauseToggles", {play, reach(0.6), pause, wait(0.05), play, wait(0.05), pause, wait(0.05), play}},
        Row{"NewItemWhilePlaying", {play, reach(0.7), replaceItem}},
        Row{"SeekToTheEnd", {play, reach(0.5), seek(kItemSeconds)}},
        // Tails shorter than what the server waits for before it starts a
        // stream: a first play whose stream (and output) is still being set
        // up, a new player's first play, a seek while playing.
        Row{"FirstPlayNearTheEnd", {seek(kItemSeconds - 0.02), play}},
        Row{"NewPlayerNearTheEnd", {play, reach(0.3), newPlayer, seek(kItemSeconds - 0.02), play}},
        Row{"SeekNearTheEndWhilePlaying", {play, reach(0.5), seek(kItemSeconds - 0.02)}},
        // Streamed slowly from its start: heard once, in order, however the
        // bytes and their count arrive.
        Row{"StreamedSlowly", {play}, Origin::trickled, true, true},
        Row{"StreamedSlowlyToAPlayerThatDoesNotWait", {play}, Origin::trickled, false, true},
        // Resting states: the sink rests, and play goes on from there.
        Row{"RestsPaused", {play, reach(0.5), pause, rest, play}},
        Row{"RestsAfterASeekWhilePaused", {play, reach(0.5), pause, seek(1.3), rest, play}},
        Row{"RestsAfterASkipForwardWhilePaused", {play, reach(0.5), pause, seek(0.8), rest, play}},
        Row{"RestsAfterASkipBackWhilePaused", {play, reach(1.0), pause, seek(0.7), rest, play}},
        Row{"RestsAfterANewItemWhilePaused", {play, reach(0.7), pause, replaceItem, rest, play}},
        Row{"RestsAtTheEnd", {play, end, rest, play}},
        Row{"RestsStalledForBytes", {play, stalled, rest, serveRest}, Origin::heldBack},
        Row{"RestsAfterAHungServer", {freeze, play, stalled, pause, thaw, rest, play}},
    };
}

std::string rowName(const ::testing::TestParamInfo<Row>& info) { return info.param.name; }

class PulseAudioPlayback : public ::testing::TestWithParam<Row> {};

TEST_P(PulseAudioPlayback, EachStretchIsHeardAsPlayedAndTheEndComesWhenItsLastSampleIsHeard) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    playRow(SoundServer::Kind::pulseaudio, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Actions, PulseAudioPlayback, ::testing::ValuesIn(rows()), rowName);

// The same on PipeWire's server for the same protocol (the desktop's default
// on Debian 12), where it is installed; scripts/setup does not install it.
class PipeWirePlayback : public ::testing::TestWithParam<Row> {};

TEST_P(PipeWirePlayback, EachStretchIsHeardAsPlayedAndTheEndComesWhenItsLastSampleIsHeard) {
    if (!SoundServer::available(SoundServer::Kind::pipewire))
        GTEST_SKIP() << "PipeWire's pulse server is not installed (pipewire, wireplumber, pipewire-pulse)";
    playRow(SoundServer::Kind::pipewire, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Actions, PipeWirePlayback, ::testing::ValuesIn(rows()), rowName);

// Players that go before the server has created their streams: every stream
// is gone from the server once they are.
TEST(PulseAudioStreams, PlayersThatGoBeforeTheirStreamsAreReadyLeaveNothingOnTheServer) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    const auto output = AudioOutput::shared();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return output->isAnswering(); }, 3.0)) << "no answer";
    const auto codes = orvane::testing::makePositionCode(0.5);
    constexpr int kPlayers = 50;
    std::vector<std::shared_ptr<Player>> players;
    for (int i = 0; i < kPlayers; ++i) players.push_back(Player::create(PlayerItem::create(URLAsset::createWithData(codes))));
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            return std::ranges::all_of(players, [](const auto& player) {
                return player->currentItem()->status() == PlayerItemStatus::readyToPlay;
            });
        },
        5.0));
    // Each plays (its stream is asked of the server, and written to) and goes
    // at once, all within a second.
    const auto start = std::chrono::steady_clock::now();
    for (auto& player : players) {
        player->play();
        player.reset();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    std::vector<SoundServer::SinkInput> inputs;
    for (int round = 0; round < 30; ++round) {
        RunLoop::main().runUntil([] { return false; }, 0.1);
        inputs = server.sinkInputs();
        if (inputs.empty()) break;
    }
    EXPECT_EQ(inputs.size(), 0u) << "streams left on the server";
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
}

}  // namespace
