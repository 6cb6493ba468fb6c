// The media centres as the desktop sees them on a private session bus: what
// playerctl reads of the published information, the commands it sends, the
// capabilities and status it is offered, and the in-process fallback when no
// bus runs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/URL.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/media/MprisService.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "platform/media/URLAsset.hpp"
#include "support/MediaFiles.hpp"
#include "support/SessionBus.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace platform::media;
using platform::core::RunLoop;
using testsupport::SessionBus;
namespace graphics = platform::graphics;
namespace Key = NowPlayingKey;

// Every command of the centre records what reaches it.
struct RecordedCommands {
    std::vector<std::string> calls;

    RecordedCommands() {
        auto& c = RemoteCommandCenter::shared();
        c.skipBackwardCommand().setPreferredIntervals({-30.0});
        c.skipForwardCommand().setPreferredIntervals({30.0});
        record(c.playCommand(), "play");
        record(c.pauseCommand(), "pause");
        record(c.togglePlayPauseCommand(), "toggle");
        record(c.skipBackwardCommand(), "skipBackward");
        record(c.skipForwardCommand(), "skipForward");
        record(c.changePlaybackPositionCommand(), "changePosition");
    }

    void record(RemoteCommand& command, std::string name) {
        command.addTarget([this, name](const RemoteEvent& event) {
            std::string call = name;
            if (const auto* skip = std::get_if<SkipIntervalCommandEvent>(&event))
                call += " " + std::to_string(static_cast<int>(skip->interval));
            if (const auto* change = std::get_if<ChangePlaybackPositionCommandEvent>(&event))
                call += " " + std::to_string(change->positionTime);
            calls.push_back(call);
            return RemoteCommandHandlerStatus::success;
        });
    }
};

NowPlayingInfo episodeInfo(double elapsed, const graphics::Image& image) {
    return NowPlayingInfo{{Key::title, std::string("Episode 1")},
                          {Key::playbackRate, 1.0},
                          {Key::artwork, MediaItemArtwork(image)},
                          {Key::playbackDuration, 120.0},
                          {Key::elapsedPlaybackTime, elapsed}};
}

struct MprisServiceTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(bus.running()) << "dbus-daemon did not start"; }

    testsupport::TempDocuments documents;
    SessionBus bus;
};

TEST_F(MprisServiceTest, PlayerctlReadsThePublishedEpisodeAndDrivesEveryCommand) {
    const auto png = testimages::png(8, 8, 3);
    const auto image = graphics::Image::fromData(png);
    ASSERT_TRUE(image);
    RecordedCommands commands;
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(episodeInfo(10.0, *image));
    ASSERT_TRUE(SessionBus::waitForPlayer());
    EXPECT_EQ(MprisService::shared().busName(), MprisService::baseBusName);

    ASSERT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Episode 1")) << SessionBus::playerctl("metadata") << "|" << SessionBus::playerctl("status") << MprisService::shared().busName();
    EXPECT_EQ(SessionBus::playerctl("metadata mpris:length"), "120000000");
    EXPECT_EQ(SessionBus::playerctl("status"), "Paused") << "elapsed time has not moved yet";
    EXPECT_EQ(SessionBus::playerctl("position"), "10.000000");
    // The artwork is a file beside the disk cache holding the image's bytes.
    const auto artUrl = platform::core::URL::parse(SessionBus::playerctl("metadata mpris:artUrl"));
    ASSERT_TRUE(artUrl && artUrl->isFileURL());
    EXPECT_EQ(artUrl->filePath().parent_path(), MprisService::artworkFolder());
    const auto written = platform::core::FileManager::readFile(artUrl->filePath());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, png);

    // New artwork replaces the file; what an ended process left long ago goes.
    const auto leftover = MprisService::artworkFolder() / "artwork-0123456789abcdef.png";
    ASSERT_TRUE(platform::core::FileManager::writeFileAtomically(leftover, png));
    std::filesystem::last_write_time(leftover, std::filesystem::file_time_type::clock::now() - std::chrono::hours(48));
    const auto otherImage = graphics::Image::fromData(testimages::png(8, 8, 4));
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(episodeInfo(10.0, *otherImage));
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return SessionBus::playerctl("metadata mpris:artUrl") != artUrl->absoluteString(); }, 10.0));
    EXPECT_FALSE(std::filesystem::exists(artUrl->filePath()));
    EXPECT_FALSE(std::filesystem::exists(leftover));
    const auto newUrl = platform::core::URL::parse(SessionBus::playerctl("metadata mpris:artUrl"));
    ASSERT_TRUE(newUrl);
    EXPECT_EQ(platform::core::FileManager::readFile(newUrl->filePath()), testimages::png(8, 8, 4));

    // Each request of the desktop reaches its command, on the main thread.
    const struct {
        const char* arguments;
        const char* call;
    } requests[] = {
        {"play", "play"},
        {"pause", "pause"},
        {"play-pause", "toggle"},
        {"next", "skipForward 30"},
        {"previous", "skipBackward -30"},
        {"position 25", "changePosition 25.000000"},
        {"position 5+", "changePosition 15.000000"},
        {"position 15-", "changePosition 0.000000"},
        {"position 500", nullptr},  // past the end: refused
    };
    for (const auto& request : requests) {
        commands.calls.clear();
        EXPECT_EQ(SessionBus::playerctl(request.arguments), "") << request.arguments;
        if (request.call) {
            ASSERT_TRUE(RunLoop::main().runUntil([&] { return !commands.calls.empty(); }, 10.0)) << request.arguments;
            EXPECT_EQ(commands.calls, std::vector<std::string>{request.call}) << request.arguments;
        } else {
            RunLoop::main().runUntil([] { return false; }, 0.3);
            EXPECT_TRUE(commands.calls.empty()) << request.arguments;
        }
    }
}

TEST_F(MprisServiceTest, StatusFollowsThePlayerAndCapabilitiesFollowTheCommands) {
    RunLoop::main().useManualClock();
    const auto image = graphics::Image::fromData(testimages::png(4, 4, 1));
    ASSERT_TRUE(image);
    RecordedCommands commands;
    ASSERT_TRUE(SessionBus::waitForPlayer());
    ASSERT_TRUE(SessionBus::waitForPlayerctl("status", "Stopped")) << "nothing published yet";
    EXPECT_EQ(SessionBus::playerctl("metadata mpris:trackid"),
              "'/org/mpris/MediaPlayer2/TrackList/NoTrack'");  // printed as a path

    // A follower hears each change as the player signals it.
    SessionBus::Follower statuses("status");
    SessionBus::Follower positions("position");
    ASSERT_TRUE(statuses.waitForLast("Stopped"));
    auto& center = NowPlayingInfoCenter::defaultCenter();
    center.setNowPlayingInfo(episodeInfo(10.0, *image));
    ASSERT_TRUE(statuses.waitForLast("Paused"));
    // The status follows the process's player, not the elapsed time (which
    // moves on at the pause too): a play and a pause are seen at once, and
    // so is the end of the episode.
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(orvane::testing::makeWav(1.0))));
    player->play();
    ASSERT_TRUE(statuses.waitForLast("Playing"));
    RunLoop::main().advance(0.5);
    center.setNowPlayingInfo(episodeInfo(10.5, *image));
    player->pause();
    center.setNowPlayingInfo(episodeInfo(10.6, *image));
    ASSERT_TRUE(statuses.waitForLast("Paused")) << "the player paused";
    player->play();
    ASSERT_TRUE(statuses.waitForLast("Playing"));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->isAdvancing(); }, 10.0));
    RunLoop::main().advance(1.0);
    ASSERT_TRUE(statuses.waitForLast("Paused")) << "the episode played to its end";
    center.setNowPlayingInfo(episodeInfo(70.0, *image));
    EXPECT_TRUE(positions.waitForLast("70.000000")) << "a jump is announced";

    // Disabled commands are not offered, and not fired when asked.
    auto& c = RemoteCommandCenter::shared();
    c.skipForwardCommand().setEnabled(false);
    c.skipBackwardCommand().setEnabled(false);
    c.changePlaybackPositionCommand().setEnabled(false);
    RunLoop::main().runUntil([] { return false; }, 0.3);
    SessionBus::playerctl("next");
    SessionBus::playerctl("position 20");
    EXPECT_EQ(SessionBus::playerctl("play"), "");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !commands.calls.empty(); }, 10.0));
    RunLoop::main().runUntil([] { return false; }, 0.3);
    EXPECT_EQ(commands.calls, std::vector<std::string>{"play"});

    // Without information the desktop sees a stopped player again.
    center.setNowPlayingInfo(std::nullopt);
    EXPECT_TRUE(SessionBus::waitForPlayerctl("status", "Stopped"));
}

// A title from a feed may hold any bytes: the bus takes only valid UTF-8, and
// a refused signal used to end the service for good.
TEST_F(MprisServiceTest, ATitleThatIsNotValidTextIsRepairedAndTheServiceStaysOnTheBus) {
    platform::core::DebugCapture capture;
    RecordedCommands commands;  // the desktop's tools list only a player that can play
    auto& center = NowPlayingInfoCenter::defaultCenter();
    center.setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("Episode 1")}});
    ASSERT_TRUE(SessionBus::waitForPlayer());
    ASSERT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Episode 1"));

    const std::string replacement = "\xEF\xBF\xBD";
    center.setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("Caf\xE9 \xFF") + "news"}});
    EXPECT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Caf" + replacement + " " + replacement + "news"));
    center.setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("Part\0 two", 9)}});
    EXPECT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Part two"));
    center.setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("Episode 2")}});
    EXPECT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Episode 2"));
    EXPECT_EQ(SessionBus::playerctl("status"), "Paused");
    EXPECT_EQ(MprisService::shared().state(), MprisService::State::published);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{});
}

TEST(MprisBusText, IllFormedSequencesBecomeReplacementCharactersAndNulIsDropped) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    const struct {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"ascii", "Episode 12", "Episode 12"},
        {"valid", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\x99 \xF4\x8F\xBF\xBF",
         "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\x99 \xF4\x8F\xBF\xBF"},
        {"nul", std::string("a\0b\0", 4), "ab"},
        {"latin1", "Caf\xE9!", "Caf" + r + "!"},
        {"strayContinuation", "a\x80\xBF" "b", "a" + r + r + "b"},
        {"overlongTwoBytes", "\xC0\xAF\xC1\xBF", r + r + r + r},
        {"overlongThreeBytes", "\xE0\x80\xAF", r + r + r},
        {"overlongFourBytes", "\xF0\x8F\xBF\xBF", r + r + r + r},
        {"surrogates", "\xED\xA0\x80\xED\xBF\xBF", r + r + r + r + r + r},
        {"beyondUnicode", "\xF4\x90\x80\x80\xF5\x80", r + r + r + r + r + r},
        {"truncatedAtEnd", "ab\xE2\x82", "ab" + r},
        {"truncatedBeforeText", "\xF0\x9F\x8E" "x\xC3", r + "x" + r},
        {"leadBytes", "\xFE\xFF", r + r},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MprisService::busText(c.in), c.out) << c.name;
    }
}

// An address where nothing listens, and no address at all.
class MprisServiceWithoutBus : public ::testing::TestWithParam<const char*> {};

TEST_P(MprisServiceWithoutBus, TheCentresStayInProcessWithOneDebugLine) {
    if (GetParam()) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", GetParam(), 1);
    } else {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    platform::core::DebugCapture capture;
    std::vector<std::optional<std::string>> titles;
    auto token = NowPlayingInfoCenter::defaultCenter().observe(
        [&](const std::optional<NowPlayingInfo>& info) { titles.push_back(nowPlayingText(*info, Key::title)); });
    int plays = 0;
    RemoteCommandCenter::shared().playCommand().addTarget([&](const RemoteEvent&) {
        ++plays;
        return RemoteCommandHandlerStatus::success;
    });
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("A")}});
    ASSERT_TRUE(RunLoop::main().runUntil(
        [] { return MprisService::shared().state() == MprisService::State::unavailable; }, 10.0));
    NowPlayingInfoCenter::defaultCenter().setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("B")}});
    RemoteCommandCenter::shared().playCommand().fire();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(titles, (std::vector<std::optional<std::string>>{"A", "B"}));
    EXPECT_EQ(plays, 1);
    EXPECT_EQ(capture.count("no session bus"), 1u);
    EXPECT_EQ(capture.lines().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Addresses, MprisServiceWithoutBus,
                         ::testing::Values("unix:path=/nonexistent/orvane-no-bus", nullptr),
                         [](const auto& info) { return std::string(info.param ? "Unreachable" : "Unset"); });

}  // namespace
