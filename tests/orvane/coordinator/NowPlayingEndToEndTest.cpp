// The lock-screen integration end to end: the reference widget in the widget
// web view selects its demo episode, the audio player streams it from a
// loopback server on a manual clock, and the now-playing information and the
// remote commands follow, through the coordinator, the bridge and the widget;
// on a private session bus, the desktop's media controls (playerctl) see the
// same and drive the widget.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <filesystem>
#include <string>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/playback/OVNowPlayingTestSupport.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/URL.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "support/MediaFiles.hpp"
#include "support/SessionBus.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace nowplayingtest;
using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;
using platform::media::ChangePlaybackPositionCommandEvent;
using platform::media::RemoteCommandCenter;
using platform::media::SkipIntervalCommandEvent;

constexpr double kWait = 10.0;

// The reference widget's demo content, with its audio and artwork on `base`.
Json demoState(const std::string& base) {
    std::string text = R"({
      "contents": { "demo-podcast": {
        "key": "demo-podcast", "title": "Reference Podcast", "type": "podcast", "mainColor": "#1A2B3C",
        "description": { "title": "Reference Podcast", "text": "A podcast made for trying the component." },
        "tracks": [
          { "key": "demo-episode-1", "title": "Episode 1", "episode": 1,
            "publicationDate": "2026-01-05T08:00:00.000Z", "selected": true,
            "description": { "title": "Episode 1", "text": "First.", "imgSrc": "BASE/art/episode-1.png" },
            "audio": { "audioSrc": "BASE/audio/demo-episode-1.mp3", "trackDuration": 120.0 } },
          { "key": "demo-episode-2", "title": "Episode 2", "episode": 2,
            "publicationDate": "2026-01-12T08:00:00.000Z", "selected": false,
            "audio": { "audioSrc": "BASE/audio/demo-episode-2.mp3", "trackDuration": 95.5 } } ] } },
      "locations": { "main": {
        "content": { "key": "demo-podcast", "loading": false },
        "track": { "key": "demo-episode-1", "currentTime": 0 },
        "recommendations": { "keys": [] },
        "theme": { "chipPosition": "bottom_right", "chipSize": "normal", "mainColor": "#1A2B3C" } } },
      "player": { "locationKey": "main", "playingStatus": "paused", "muted": false, "closed": true, "readMore": false }
    })";
    for (auto at = text.find("BASE"); at != std::string::npos; at = text.find("BASE", at)) text.replace(at, 4, base);
    return Json::parse(text);
}

struct NowPlayingEndToEnd : ::testing::Test {
    void SetUp() override {
        server.serveBytes("/audio/demo-episode-1.mp3", audio, "audio/mpeg");
        server.serveBytes("/art/episode-1.png", testimages::png(24, 24, 5), "image/png");
        server.start();
    }

    // Moves the clock on in half-second steps, letting the media, the bridge
    // and the widget catch up after each, until `done` holds.
    bool playUntil(const std::function<bool()>& done, int maxSteps = 400) {
        for (int step = 0; step < maxSteps; ++step) {
            widgettest::settle();
            if (done()) return true;
            RunLoop::main().advance(0.5);
        }
        widgettest::settle();
        return done();
    }

    // The elapsed times published for the demo episode, in order.
    std::vector<double> elapsedTimes() const {
        std::vector<double> times;
        for (const auto& info : published.all)
            if (auto t = elapsed(info); t && title(info) == "Episode 1") times.push_back(*t);
        return times;
    }

    std::shared_ptr<orvane::OVAudioPlayer> audioPlayer() const {
        return orvane::Orvane::shared().coordinator()->player();
    }

    testsupport::TempDocuments documents;
    orvane::testing::TestHttpServer server;
    const platform::core::Data audio = orvane::testing::makeMp3Seconds(90);
    const double mediaDuration =
        std::ceil(90 / orvane::testing::kMp3FrameSeconds) * orvane::testing::kMp3FrameSeconds;
    PublishedInfo published;
};

TEST_F(NowPlayingEndToEnd, ThePlayingEpisodeIsShownAndTheRemoteCommandsMoveIt) {
    testsupport::WidgetPage page(demoState(server.url()));
    page.injectListener();
    widgettest::attach(page);
    ASSERT_TRUE(orvane::Orvane::shared().coordinator());
    ASSERT_FALSE(published.all.empty()) << "the widget's first state names its episode";
    EXPECT_EQ(title(published[0]), "Episode 1");
    EXPECT_EQ(rate(published[0]), 1.0);

    // The listener picks the episode in the widget; the widget asks for it.
    page.dispatch("{ type: 'PLAYER_SELECT_TRACK', payload: { key: 'demo-episode-1' } }");
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            auto player = audioPlayer()->player();
            return player && player->currentItem() &&
                   player->currentItem()->status() == platform::media::PlayerItemStatus::readyToPlay &&
                   orvane::OVAudioCache::isInCache("demo-episode-1.mp3") &&
                   // The packets are counted on a thread of the item's own,
                   // in real time, while this test plays on a manual clock.
                   player->currentItem()->isDurationExact();
        },
        kWait));

    // The artwork arrives from the loopback server in its own time (real
    // threads); once merged, every later publication carries it.
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return std::any_of(published.all.begin(), published.all.end(), [](const auto& info) { return hasArtwork(info); }); },
        kWait));

    // Title, artwork and the media's own duration; elapsed time grows.
    ASSERT_TRUE(playUntil([&] { return elapsedTimes().size() >= 2 && elapsedTimes().back() >= 5.0; }));
    const auto& shown = published.last();
    EXPECT_EQ(title(shown), "Episode 1");
    EXPECT_TRUE(hasArtwork(shown));
    ASSERT_TRUE(duration(shown));
    EXPECT_NEAR(*duration(shown), mediaDuration, 1e-6);
    const auto times = elapsedTimes();
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_GT(times.back(), times.front());
    EXPECT_EQ(page.state()["player"]["playingStatus"], "playing");

    // Skip forward: 30 s on, and the widget is told the new position.
    const double before = audioPlayer()->position()->time;
    EXPECT_TRUE(RemoteCommandCenter::shared().skipForwardCommand().isEnabled());
    RemoteCommandCenter::shared().skipForwardCommand().fire(SkipIntervalCommandEvent{30});
    ASSERT_TRUE(playUntil([&] {
        auto tracking = page.debug("tracking");
        return !tracking.empty() && tracking.back() == "TRACK_FASTFORWARD" &&
               page.state()["locations"]["main"]["track"]["currentTime"].get<double>() >= before + 29.5;
    }, 4));
    const auto actions = page.debug("actions");
    EXPECT_NE(std::find(actions.begin(), actions.end(), Json("PLAYER_USER_TIME_UPDATE")), actions.end());
    const double widgetTime = page.state()["locations"]["main"]["track"]["currentTime"].get<double>();
    EXPECT_NEAR(widgetTime, before + 30, 0.6);
    EXPECT_NEAR(audioPlayer()->position()->time, before + 30, 0.6);
    ASSERT_TRUE(playUntil([&] { return elapsedTimes().back() >= before + 29.5; }, 4));
    EXPECT_NEAR(elapsedTimes().back(), before + 30, 1.1);

    // And back again.
    const double ahead = audioPlayer()->position()->time;
    RemoteCommandCenter::shared().skipBackwardCommand().fire(SkipIntervalCommandEvent{-30});
    ASSERT_TRUE(playUntil([&] {
        return page.debug("tracking").back() == "TRACK_REWIND" &&
               page.state()["locations"]["main"]["track"]["currentTime"].get<double>() <= ahead - 29.0;
    }, 4));
    EXPECT_NEAR(audioPlayer()->position()->time, ahead - 30, 0.6);
    ASSERT_TRUE(playUntil([&] { return elapsedTimes().back() <= ahead - 29.0; }, 4));

    // A change of position holds elapsed time until the player's seek ends.
    auto nowPlaying = orvane::Orvane::shared().coordinator()->nowPlaying();
    RemoteCommandCenter::shared().changePlaybackPositionCommand().fire(ChangePlaybackPositionCommandEvent{10});
    EXPECT_TRUE(nowPlaying->sliderIsBeingChangedByUser());
    ASSERT_TRUE(playUntil([&] { return !nowPlaying->sliderIsBeingChangedByUser(); }, 4));
    ASSERT_TRUE(playUntil([&] { return elapsedTimes().back() < 15.0; }, 4));
    EXPECT_NEAR(elapsedTimes().back(), 10.0, 1.1);
    EXPECT_EQ(page.debug("tracking").back(), "TRACK_CURSOR_MOVE");
}

TEST_F(NowPlayingEndToEnd, TheDesktopSeesTheEpisodeAndItsMediaControlsReachTheWidget) {
    using testsupport::SessionBus;
    SessionBus bus;  // before anything publishes
    ASSERT_TRUE(bus.running()) << "dbus-daemon did not start";
    testsupport::WidgetPage page(demoState(server.url()));
    page.injectListener();
    widgettest::attach(page);
    ASSERT_TRUE(SessionBus::waitForPlayer());
    ASSERT_TRUE(SessionBus::waitForPlayerctl("metadata title", "Episode 1"));

    page.dispatch("{ type: 'PLAYER_SELECT_TRACK', payload: { key: 'demo-episode-1' } }");
    auto widgetStatus = [&] { return page.state()["player"]["playingStatus"].get<std::string>(); };
    auto widgetTime = [&] { return page.state()["locations"]["main"]["track"]["currentTime"].get<double>(); };
    auto lastTracking = [&] {
        const auto tracking = page.debug("tracking");
        return tracking.empty() ? std::string() : tracking.back().get<std::string>();
    };

    // Playing: title, the media's length, the artwork as a file, the status.
    ASSERT_TRUE(playUntil([&] { return SessionBus::playerctl("status") == "Playing"; }, 60));
    EXPECT_EQ(widgetStatus(), "playing");
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return SessionBus::playerctl("metadata mpris:artUrl").starts_with("file://"); }, kWait));
    const auto artUrl = platform::core::URL::parse(SessionBus::playerctl("metadata mpris:artUrl"));
    ASSERT_TRUE(artUrl);
    EXPECT_TRUE(std::filesystem::is_regular_file(artUrl->filePath()));
    // The length counted from the packets (the header states none) follows
    // the estimate published when playback began.
    const std::string length = std::to_string(std::llround(mediaDuration * 1e6));
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return SessionBus::playerctl("metadata mpris:length") == length; }, kWait))
        << SessionBus::playerctl("metadata mpris:length");

    // Pause and play from the desktop: the widget hears each, and the
    // desktop sees the new status without the clock moving on.
    EXPECT_EQ(SessionBus::playerctl("pause"), "");
    ASSERT_TRUE(playUntil([&] { return widgetStatus() == "paused"; }, 4));
    ASSERT_TRUE(SessionBus::waitForPlayerctl("status", "Paused"));
    EXPECT_EQ(SessionBus::playerctl("play"), "");
    ASSERT_TRUE(playUntil([&] { return widgetStatus() == "playing"; }, 4));
    ASSERT_TRUE(SessionBus::waitForPlayerctl("status", "Playing"));

    // Next and previous skip 30 s; the widget is told as for the lock screen.
    const double before = audioPlayer()->position()->time;
    EXPECT_EQ(SessionBus::playerctl("next"), "");
    ASSERT_TRUE(playUntil([&] { return lastTracking() == "TRACK_FASTFORWARD" && widgetTime() >= before + 29.5; }, 4));
    EXPECT_NEAR(audioPlayer()->position()->time, before + 30, 0.6);
    const double ahead = audioPlayer()->position()->time;
    EXPECT_EQ(SessionBus::playerctl("previous"), "");
    ASSERT_TRUE(playUntil([&] { return lastTracking() == "TRACK_REWIND" && widgetTime() <= ahead - 29.0; }, 4));
    EXPECT_NEAR(audioPlayer()->position()->time, ahead - 30, 0.6);

    // A position set from the desktop seeks, and the desktop sees it.
    EXPECT_EQ(SessionBus::playerctl("position 10"), "");
    ASSERT_TRUE(playUntil([&] { return lastTracking() == "TRACK_CURSOR_MOVE"; }, 4));
    EXPECT_NEAR(audioPlayer()->position()->time, 10.0, 0.6);
    ASSERT_TRUE(playUntil([&] { return elapsedTimes().back() < 15.0; }, 4));
    EXPECT_NEAR(std::stod(SessionBus::playerctl("position")), 10.0, 1.1);
}

}  // namespace
