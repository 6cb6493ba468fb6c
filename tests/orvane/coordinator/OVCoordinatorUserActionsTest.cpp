// The coordinator as the now-playing delegate: remote commands fired on the
// command centre reach a page in the widget web view as player and tracking
// actions. The page records every action object it is given.
#include <gtest/gtest.h>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/playback/OVNowPlayingTestSupport.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "platform/ui/views/Application.hpp"
#include "support/StateBuilder.hpp"
#include "support/TempDocuments.hpp"

namespace {

using orvane::OVCoordinator;
using orvane::OVState;
using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;
using platform::media::ChangePlaybackPositionCommandEvent;
using platform::media::RemoteCommandCenter;

const char* kRecordingPage = R"(<!doctype html><html><body><script>
window.__recorded__ = [];
window.__orvaneGlobal__ = {
  store: {
    dispatch: function (action) { window.__recorded__.push(action); return action; },
    subscribe: function () { return function () {}; },
    getState: function () { return {}; }
  },
  crossStackHandler: {
    emit: function (name, value) { window.__recorded__.push({ event: name, value: value }); },
    resolvePromise: function () {},
    rejectPromise: function () {}
  }
};
</script></body></html>)";

RemoteCommandCenter& commands() { return RemoteCommandCenter::shared(); }

Json action(const std::string& type) { return Json{{"type", type}}; }
Json timeUpdate(double seconds) { return Json{{"type", "PLAYER_USER_TIME_UPDATE"}, {"payload", seconds}}; }

OVState stateWithStatus(std::optional<std::string> status) {
    auto builder = orvane::test::StateBuilder().contents(1).tracksPerContent(1).locations(1).currentLocation(0);
    if (status) builder.playingStatus(*status);
    Json json = builder.build();
    if (!status) json.erase("player");
    return OVState::decode(json);
}

struct OVCoordinatorUserActionsTest : ::testing::Test {
    void SetUp() override {
        orvane::installLayerHooks();
        RunLoop::main().useManualClock();  // the listener injection never comes
        view = orvane::OVWebView::create();
        view->loadHTMLString(kRecordingPage, documents.path());
        RunLoop::main().runUntilIdle();
        OVWidgetManager::shared().setWebView(view);
    }

    // The actions and events the page received since the last call.
    Json received() {
        bool done = false;
        Json result;
        view->evaluateJavaScript("var r = window.__recorded__; window.__recorded__ = []; r",
                                 [&](const std::optional<Json>& value, const auto&) {
                                     result = value.value_or(Json());
                                     done = true;
                                 });
        EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 5));
        return result;
    }

    testsupport::TempDocuments documents;
    std::shared_ptr<orvane::OVWebView> view;
};

TEST_F(OVCoordinatorUserActionsTest, PlayPauseAndToggleAreAskedOfTheWidget) {
    auto coordinator = OVCoordinator::create();
    EXPECT_EQ(coordinator->nowPlaying()->delegate(), coordinator);
    EXPECT_EQ(received(), Json::array({action("PLAYER_OPEN")}));

    commands().playCommand().fire();
    commands().pauseCommand().fire();
    EXPECT_EQ(received(), Json::array({action("PLAYER_PLAY_REQUESTED"), action("PLAYER_PAUSE")}));

    // The toggle follows the widget's last state, not the audio player.
    commands().togglePlayPauseCommand().fire();
    OVWidgetManager::shared().setLastState(stateWithStatus(std::nullopt));
    commands().togglePlayPauseCommand().fire();
    EXPECT_EQ(received(), Json::array()) << "no state, or no player status: nothing";

    for (const auto& [status, expected] : {std::pair{"paused", "PLAYER_PLAY_REQUESTED"},
                                           std::pair{"loading", "PLAYER_PAUSE"},
                                           std::pair{"playing", "PLAYER_PAUSE"}}) {
        OVWidgetManager::shared().setLastState(stateWithStatus(status));
        commands().togglePlayPauseCommand().fire();
        EXPECT_EQ(received(), Json::array({action(expected)})) << status;
    }
}

TEST_F(OVCoordinatorUserActionsTest, SkipsWithoutAudioSendTheirTrackingOnly) {
    auto coordinator = OVCoordinator::create();
    received();
    commands().skipForwardCommand().fire();
    commands().seekForwardCommand().fire();
    commands().skipBackwardCommand().fire();
    commands().seekBackwardCommand().fire();
    EXPECT_EQ(received(), Json::array({action("TRACK_FASTFORWARD"), action("TRACK_FASTFORWARD"),
                                       action("TRACK_REWIND"), action("TRACK_REWIND")}));
}

TEST_F(OVCoordinatorUserActionsTest, AChangeOfPositionIsSentAtOnceAndHoldsElapsedTimeUntilTheSeekEnds) {
    nowplayingtest::PublishedInfo published;
    auto coordinator = OVCoordinator::create();
    received();
    coordinator->nowPlaying()->update("Episode", std::nullopt, true);

    commands().changePlaybackPositionCommand().fire(ChangePlaybackPositionCommandEvent{125.5});
    EXPECT_EQ(received(), Json::array({timeUpdate(125.5), action("TRACK_CURSOR_MOVE")}));
    // No audio is loaded: the seek never completes, so elapsed time stays held.
    EXPECT_TRUE(coordinator->nowPlaying()->sliderIsBeingChangedByUser());
    coordinator->nowPlaying()->updateTime(1, 10);
    EXPECT_EQ(published.size(), 1u);

    // The slider value goes out as given, as a 32-bit value widened.
    coordinator->didChangeSlider(0.1f, nullptr);
    EXPECT_EQ(received(), Json::array({timeUpdate(static_cast<double>(0.1f)), action("TRACK_CURSOR_MOVE")}));
}

TEST_F(OVCoordinatorUserActionsTest, OnlyTheRunningCoordinatorAnswersRemoteCommands) {
    orvane::Orvane::shared().start();
    auto first = orvane::Orvane::shared().coordinator();
    first->quit();
    EXPECT_FALSE(platform::ui::Application::shared().isReceivingRemoteControlEvents());
    EXPECT_EQ(received(), Json::array({action("PLAYER_OPEN"), action("PLAYER_CLOSE"), action("TRACK_CLOSE")}));
    // A quit coordinator still forwards: ending only stops the system's events.
    commands().pauseCommand().fire();
    EXPECT_EQ(received(), Json::array({action("PLAYER_PAUSE")}));

    first.reset();
    orvane::Orvane::shared().start();  // quits the first again and replaces it
    EXPECT_TRUE(platform::ui::Application::shared().isReceivingRemoteControlEvents());
    EXPECT_EQ(commands().playCommand().targetCount(), 2u);
    received();
    commands().playCommand().fire();
    EXPECT_EQ(received(), Json::array({action("PLAYER_PLAY_REQUESTED")})) << "the replaced coordinator is silent";
}

}  // namespace
