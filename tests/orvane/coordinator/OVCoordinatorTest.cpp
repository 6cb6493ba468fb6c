// The coordinator between the audio player and the widget, checked through
// the reference widget in JavaScriptCore on a manual clock: the player's
// reports become widget events, the status goes only to the legacy bridge,
// interruptions act on the player, skips and the slider seek and report the
// time, toggles ask the widget, and quitting stops and says goodbye.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioSession.hpp"
#include "platform/media/PlayerItem.hpp"
#include "support/EncodedMedia.hpp"
#include "support/MediaFiles.hpp"
#include "support/RawServer.hpp"
#include "support/TempDocuments.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using platform::core::Json;
using platform::core::RunLoop;
using platform::media::AudioSession;
using platform::media::PlayerItemStatus;

struct OVCoordinatorTest : ::testing::Test {
    void SetUp() override {
        page.injectListener();
        widgettest::attach(page);
        coordinator = Orvane::shared().coordinator();
        ASSERT_NE(coordinator, nullptr);
        widgettest::settle();
    }

    // Gives the coordinator's player a cached source of `seconds` and waits
    // for its item.
    void loadCached(const std::string& name, double seconds) {
        OVAudioCache::cache(orvane::testing::makeWav(seconds), name);
        coordinator->player()->widgetSetSource("http://127.0.0.1:9/audio/" + name);
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] { return coordinator->player()->player()->currentItem()->status() == PlayerItemStatus::readyToPlay; },
            5.0));
        widgettest::settle();
    }
    double avTime() { return coordinator->player()->player()->currentTime().seconds(); }

    // The widget's list `member` of its debug record, from index `from` on.
    Json since(const std::string& member, std::size_t from) {
        Json all = page.debug(member);
        Json out = Json::array();
        for (std::size_t i = from; i < all.size(); ++i) out.push_back(all[i]);
        return out;
    }
    std::size_t count(const std::string& member) { return page.debug(member).size(); }

    testsupport::TempDocuments documents;
    testsupport::WidgetPage page;
    std::shared_ptr<OVCoordinator> coordinator;
};

TEST_F(OVCoordinatorTest, TheCoordinatorDrivesTheBridgesPlayerAndHearsItsReports) {
    EXPECT_EQ(OVWidgetManager::shared().delegate(), coordinator->player());
    EXPECT_EQ(coordinator->player()->delegate(), coordinator);
    EXPECT_EQ(coordinator->nowPlaying()->delegate(), coordinator);
    EXPECT_EQ(page.debug("actions").back(), "PLAYER_OPEN");
}

TEST_F(OVCoordinatorTest, DurationPositionAndEndBecomeWidgetEventsAndTheStatusGoesOnlyToTheLegacyBridge) {
    page.evaluate("window.legacyPlayer = { calls: [], changePlayingStatus: function (p) { this.calls.push(p); } }; 0");
    auto& legacy = OVWidgetManagerOLD::shared();
    legacy.setWebView(page.view);
    legacy.setPlayer("window.legacyPlayer");

    const std::size_t events = count("events");
    const std::size_t actions = count("actions");
    coordinator->audioDurationIsKnown(120.5);
    coordinator->audioPositionDidChange(OVAudioPosition{12.25, 120.5});
    coordinator->audioStatusDidChange(OVAudioPlayerStatus::playing);
    coordinator->audioStatusDidChange(OVAudioPlayerStatus::loading);
    coordinator->audioStatusDidChange(OVAudioPlayerStatus::paused);
    coordinator->audioDidEnd();
    widgettest::settle();
    EXPECT_EQ(since("events", events),
              Json::parse(R"([["durationchange", 120.5], ["timeupdate", 12.25], ["end"]])"));
    EXPECT_EQ(count("actions"), actions);
    EXPECT_EQ(page.evaluate("window.legacyPlayer.calls"), Json::parse("[true, false, false]"));
    // The widget's state follows the events.
    EXPECT_EQ(page.state()["locations"]["main"]["track"]["currentTime"], 12.25);
}

TEST_F(OVCoordinatorTest, InterruptionsPauseAndResumeOnlyWhenAsked) {
    loadCached("interrupted.wav", 20);
    auto player = coordinator->player();
    player->play();
    auto& session = AudioSession::sharedInstance();
    session.postInterruption(AudioSession::InterruptionType::began);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(player->player()->rate(), 0.0f);
    session.postInterruption(AudioSession::InterruptionType::ended, 0u);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    session.postInterruption(AudioSession::InterruptionType::ended, AudioSession::interruptionOptionShouldResume);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(player->player()->rate(), 1.0f);
}

TEST_F(OVCoordinatorTest, SkipsTrackAtOnceAndReportTheNewTimeOnlyOnceTheSeekFinished) {
    // Without audio only the tracking goes out.
    std::size_t actions = count("actions");
    coordinator->didTapBackward();
    widgettest::settle();
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["TRACK_REWIND"])"));

    loadCached("skips.wav", 100);
    coordinator->player()->seek(10.0);
    widgettest::settle();
    actions = count("actions");
    {
        platform::core::DebugCapture sent;
        coordinator->didTapForward();
        // The tracking goes out at once, the time only once the seek finished.
        EXPECT_EQ(sent.count("TRACK_FASTFORWARD"), 1u);
        EXPECT_EQ(sent.count("PLAYER_USER_TIME_UPDATE"), 0u);
        widgettest::settle();
        EXPECT_EQ(sent.count("PLAYER_USER_TIME_UPDATE',\\npayload: 40.0"), 1u);
    }
    EXPECT_EQ(avTime(), 40.0);
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["TRACK_FASTFORWARD", "PLAYER_USER_TIME_UPDATE"])"));
    EXPECT_EQ(page.state()["locations"]["main"]["track"]["currentTime"], 40.0);

    actions = count("actions");
    coordinator->didTapBackward();
    widgettest::settle();
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["TRACK_REWIND", "PLAYER_USER_TIME_UPDATE"])"));
    EXPECT_EQ(page.state()["locations"]["main"]["track"]["currentTime"], 10.0);
}

TEST_F(OVCoordinatorTest, ASkipReportsTheTimeEvenWhileNoDurationIsKnown) {
    // An Ogg stream of unknown length that stops half-way: the player has a
    // time, and no duration yet.
    const auto ogg = orvane::testing::kOggOpus.make();
    orvane::testing::RawServer server([&ogg](orvane::testing::RawServer::Connection& connection) {
        if (!connection.send("HTTP/1.1 200 OK\r\nContent-Type: audio/ogg\r\nConnection: close\r\n\r\n")) return;
        if (!connection.send(std::vector<std::uint8_t>(ogg.begin(), ogg.begin() + static_cast<long>(ogg.size() / 2))))
            return;
        while (connection.pause(0.02)) {
        }
    });
    coordinator->player()->widgetSetSource(server.url("/live.ogg"));
    coordinator->player()->play();
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return coordinator->player()->player()->currentItem()->status() == PlayerItemStatus::readyToPlay; }, 5.0));
    widgettest::settle();
    ASSERT_FALSE(coordinator->player()->duration().has_value());
    const std::size_t actions = count("actions");
    coordinator->didTapBackward();
    // The seek finishes once the item knows it can play there: its count of
    // the bytes held (on its own thread) tells it.
    RunLoop::main().runUntil([&] { widgettest::settle(); return since("actions", actions).size() == 2; }, 5.0);
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["TRACK_REWIND", "PLAYER_USER_TIME_UPDATE"])"));
    coordinator->player()->cancel();
    server.stop();
}

TEST_F(OVCoordinatorTest, TheSliderReportsItsOwnValueBeforeTheSeekFinishes) {
    loadCached("slider.wav", 60);
    std::vector<bool> finished;
    const std::size_t actions = count("actions");
    platform::core::DebugCapture sent;
    coordinator->didChangeSlider(25.4f, [&](bool done) { finished.push_back(done); });
    // Sent before the seek finished, with the slider's value widened as it is.
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(sent.count("PLAYER_USER_TIME_UPDATE',\\npayload: 25.399999618530273"), 1u);
    widgettest::settle();
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["PLAYER_USER_TIME_UPDATE", "TRACK_CURSOR_MOVE"])"));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(avTime(), 25.0);
}

TEST_F(OVCoordinatorTest, ToggleAsksTheWidgetWhichThenDrivesThePlayer) {
    auto player = coordinator->player();
    ASSERT_TRUE(OVWidgetManager::shared().lastState());
    std::size_t actions = count("actions");
    coordinator->didTogglePlayPause();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->status() == OVAudioPlayerStatus::playing; }, 5.0));
    widgettest::settle();
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["PLAYER_PLAY_REQUESTED"])"));
    EXPECT_EQ(page.debug("settled").back()["outcome"], "resolved");
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return OVWidgetManager::shared().lastState()->audioPlayerStatus() == OVAudioPlayerStatus::playing; }, 5.0));

    actions = count("actions");
    coordinator->didTogglePlayPause();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->status() == OVAudioPlayerStatus::paused; }, 5.0));
    widgettest::settle();
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["PLAYER_PAUSE"])"));
}

TEST_F(OVCoordinatorTest, AToggleWithoutAWidgetStateSendsNothing) {
    OVWidgetManager::shared().setLastState(std::nullopt);
    const std::size_t actions = count("actions");
    coordinator->didTogglePlayPause();
    widgettest::settle();
    EXPECT_EQ(count("actions"), actions);
    EXPECT_EQ(coordinator->player()->status(), OVAudioPlayerStatus::paused);
}

TEST_F(OVCoordinatorTest, QuitCancelsPlaybackThenSendsCloseAndItsTracking) {
    loadCached("quit.wav", 30);
    auto player = coordinator->player();
    player->play();
    widgettest::settle();
    auto avPlayer = player->player();
    const std::size_t actions = count("actions");
    coordinator->quit();
    widgettest::settle();
    EXPECT_EQ(player->player(), nullptr);
    EXPECT_EQ(avPlayer->rate(), 0.0f);
    EXPECT_EQ(since("actions", actions), Json::parse(R"(["PLAYER_CLOSE", "TRACK_CLOSE"])"));
    // Its player no longer hears interruptions.
    AudioSession::sharedInstance().postInterruption(AudioSession::InterruptionType::began);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
}

}  // namespace
