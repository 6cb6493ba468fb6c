// One play request end to end: the reference widget in JavaScriptCore asks
// for an episode served by a loopback server; the component streams it
// through the caching item, answers the widget's promise, reports the
// duration, the time as it moves and the end; the second play of the same
// address comes from the disk cache without any request. Manual clock for
// playback; the network runs for real.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/MediaFiles.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using platform::core::DebugCapture;
using platform::core::Json;
using platform::core::RunLoop;

constexpr double kWait = 5.0;

Json stateWithEpisode(const std::string& audioSrc) {
    return Json::parse(R"({
      "contents": {"show": {"key": "show", "title": "Loopback Show", "type": "podcast",
        "tracks": [{"key": "ep-1", "title": "Episode 1", "episode": 1, "selected": true,
                    "publicationDate": "2026-01-05T08:00:00.000Z",
                    "audio": {"audioSrc": "", "trackDuration": 99.0}}]}},
      "locations": {"main": {"content": {"key": "show", "loading": false},
                             "track": {"key": "ep-1", "currentTime": 0},
                             "recommendations": {"keys": []},
                             "theme": {"chipPosition": "bottom_right", "chipSize": "normal", "mainColor": "#123456"}}},
      "player": {"locationKey": "main", "playingStatus": "paused", "muted": false, "closed": true, "readMore": false}
    })")
        .patch(Json::parse(R"([{"op": "replace", "path": "/contents/show/tracks/0/audio/audioSrc", "value": ")" +
                           audioSrc + R"("}])"));
}

struct EndToEndAudioPlayback : ::testing::Test {
    void SetUp() override {
        server.serveBytes("/audio/loop.wav", orvane::testing::makeWav(3.0, 8000), "audio/wav");
        server.start();
        page = std::make_unique<testsupport::WidgetPage>(stateWithEpisode(server.url("/audio/loop.wav")));
        page->injectListener();
        widgettest::attach(*page);
    }

    // What the component has sent to the widget so far containing `needle`.
    std::size_t sent(const std::string& needle) const { return capture.count(needle); }

    // The widget selects its episode: it posts "setSource" and then "play",
    // and waits for the promise of "play".
    void selectEpisode() { page->dispatch("{ type: 'PLAYER_SELECT_TRACK', payload: { key: 'ep-1' } }"); }

    // Moves the clock in half-second steps until the end has been sent.
    bool playToTheEnd(std::size_t endsBefore) {
        for (int step = 0; step < 20 && sent("crossStackHandler.emit('end'") == endsBefore; ++step) {
            RunLoop::main().advance(0.5);
            widgettest::settle();
        }
        return sent("crossStackHandler.emit('end'") == endsBefore + 1;
    }

    testsupport::TempDocuments documents;
    orvane::testing::TestHttpServer server;
    DebugCapture capture;
    std::unique_ptr<testsupport::WidgetPage> page;
};

TEST_F(EndToEndAudioPlayback, TheWidgetPlaysAStreamedEpisodeAndThenTheCachedCopy) {
    selectEpisode();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return sent("emit('durationchange'") == 1; }, kWait));
    auto player = Orvane::shared().coordinator()->player();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    // The clock stands still until the whole file is in, so that a slow
    // machine cannot make playback outrun the bytes.
    ASSERT_TRUE(RunLoop::main().runUntil([] { return OVAudioCache::isInCache("loop.wav"); }, kWait));
    widgettest::settle();

    // The promise of "play" was answered, and the widget believes it plays.
    const Json settled = page->debug("settled");
    ASSERT_EQ(settled.size(), 1u);
    EXPECT_EQ(settled[0]["outcome"], "resolved");
    EXPECT_EQ(page->state()["player"]["playingStatus"], "playing");

    ASSERT_TRUE(playToTheEnd(0));
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    Json events = page->debug("events");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front(), Json::parse(R"(["durationchange", 3.0])"));
    std::size_t end = 0;
    while (end < events.size() && events[end] != Json::parse(R"(["end"])")) ++end;
    ASSERT_LT(end, events.size());
    // Time updates in between, moving forward up to the end; after it, at
    // most the report of the stop at the end.
    double last = -1;
    int updates = 0;
    for (std::size_t i = 1; i < end; ++i) {
        ASSERT_EQ(events[i][0], "timeupdate") << events[i].dump();
        EXPECT_GE(events[i][1].get<double>(), last);
        last = events[i][1].get<double>();
        ++updates;
    }
    for (std::size_t i = end + 1; i < events.size(); ++i)
        EXPECT_EQ(events[i], Json::parse(R"(["timeupdate", 3.0])"));
    EXPECT_GE(updates, 6);
    EXPECT_GE(last, 2.5);
    EXPECT_EQ(page->state()["player"]["playingStatus"], "paused");
    EXPECT_EQ(page->state()["contents"]["show"]["tracks"][0]["audio"]["trackDuration"], 3.0);

    // The download went to the disk cache; the next play of the address is
    // served from there.
    EXPECT_EQ(server.requestCount("/audio/loop.wav"), 1);

    selectEpisode();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return sent("emit('durationchange'") == 2; }, kWait));
    auto item = std::dynamic_pointer_cast<OVCachePlayerItem>(player->player()->currentItem());
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->resourceLoaderDelegate()->playingFromData());
    ASSERT_TRUE(playToTheEnd(1));
    EXPECT_EQ(page->debug("settled").size(), 2u);
    EXPECT_EQ(server.requestCount("/audio/loop.wav"), 1);
    EXPECT_EQ(server.totalRequestCount(), 1);
}

TEST_F(EndToEndAudioPlayback, PausingFromTheWidgetStopsTheTimeUpdates) {
    selectEpisode();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return sent("emit('durationchange'") == 1; }, kWait));
    ASSERT_TRUE(RunLoop::main().runUntil([] { return OVAudioCache::isInCache("loop.wav"); }, kWait));
    widgettest::settle();
    RunLoop::main().advance(1.0);
    widgettest::settle();
    auto player = Orvane::shared().coordinator()->player();
    page->dispatch("{ type: 'PLAYER_PAUSE' }");
    widgettest::settle();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    const double pausedAt = *player->widgetGetCurrentTime();
    EXPECT_NEAR(pausedAt, 1.0, 1e-6);
    const std::size_t updates = sent("emit('timeupdate'");
    RunLoop::main().advance(2.0);
    widgettest::settle();
    EXPECT_EQ(sent("emit('timeupdate'"), updates);
    EXPECT_EQ(sent("emit('end'"), 0u);
    EXPECT_EQ(player->widgetGetCurrentTime(), pausedAt);
}

}  // namespace
