// What the pages ask of the coordinator, checked through the reference
// widget in JavaScriptCore: an episode's selection goes to the widget as a
// select-track action whose payload the widget parses (or, for the current
// episode, as a toggle of play and pause), a download reports every status
// change to the root container, a subscription change lands in the
// listener's library, and the share actions do nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/ContentBuilders.hpp"
#include "support/MediaFiles.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using platform::core::Json;
using platform::core::RunLoop;
using testsupport::Calls;

// Keys a script must not be spliced with: a slash, quotes, a backslash, a
// line break and text that would end the payload.
const std::string firstKey = "news/2024-08-15 'special' \"edition\"";
const std::string secondKey = "news/2024-08-22\\\n}); throw 1; ({";

Json widgetState() {
    Json state = Json::parse(R"({
      "contents": { "news": { "key": "news", "title": "News", "tracks": [] } },
      "locations": { "main": { "content": { "key": "news", "loading": false } } },
      "player": { "locationKey": "main", "playingStatus": "paused" } })");
    for (const auto& key : {firstKey, secondKey}) {
        state["contents"]["news"]["tracks"].push_back(
            {{"key", key}, {"title", key}, {"episode", nullptr}, {"publicationDate", nullptr},
             {"selected", false}, {"audio", {{"audioSrc", "http://127.0.0.1:9/" + std::to_string(key.size()) + ".mp3"}}}});
    }
    return state;
}

struct OVCoordinatorPageActionsTest : ::testing::Test {
    void SetUp() override {
        page.injectListener();
        widgettest::attach(page);
        coordinator = Orvane::shared().coordinator();
        ASSERT_NE(coordinator, nullptr);
        // The widget's "setSource" and "play" reach a stand-in player.
        OVWidgetManager::shared().setDelegate(player);
        widgettest::settle();
        OVMock::UserData::shared().setLibrary({});
    }

    OVTrackInPodcast pair(const std::string& key) {
        const auto podcast = testsupport::content::podcast({.key = "news"});
        return OVTrackInPodcast(testsupport::content::episode({.key = key}), podcast);
    }
    // The widget's actions from index `from` on.
    Json actionsSince(std::size_t from) {
        Json all = page.debug("actions");
        Json out = Json::array();
        for (std::size_t i = from; i < all.size(); ++i) out.push_back(all[i]);
        return out;
    }

    testsupport::TempDocuments documents;
    testsupport::WidgetPage page{widgetState()};
    std::shared_ptr<widgettest::FakePlayer> player = std::make_shared<widgettest::FakePlayer>();
    std::shared_ptr<OVCoordinator> coordinator;
};

TEST_F(OVCoordinatorPageActionsTest, SelectingAnEpisodeSendsItsKeyOrTogglesTheCurrentOne) {
    auto& bridge = OVWidgetManager::shared();
    platform::core::DebugCapture capture;
    std::size_t from = page.debug("actions").size();

    // Another episode than the current one: the widget gets {"key": ...},
    // slash escaped, parses it and selects that very key.
    coordinator->didSelectEpisode(pair(firstKey));
    widgettest::settle();
    EXPECT_EQ(page.debug("selectedKeys"), Json::array({firstKey}));
    EXPECT_EQ(actionsSince(from), Json::array({"PLAYER_SELECT_TRACK"}));
    const std::string script =
        OVWidgetManager::SDKPlayerAction::selectTrack(R"({"key":"news\/2024-08-15 'special' \"edition\""})").script();
    EXPECT_EQ(capture.count(Json(script).dump()), 1u) << "the payload as the platform's JSON encoder writes it";
    for (const auto& line : capture.lines()) EXPECT_EQ(line.find("Error"), std::string::npos) << line;

    // The widget made it current and plays it; selecting it again toggles.
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            widgettest::settle();
            const auto& state = bridge.lastState();
            return state && state->currentTrack() && state->currentTrack()->key() == firstKey &&
                   state->audioPlayerStatus() == OVAudioPlayerStatus::playing;
        },
        5));
    from = page.debug("actions").size();
    coordinator->didSelectEpisode(pair(firstKey));
    widgettest::settle();
    EXPECT_EQ(actionsSince(from), Json::array({"PLAYER_PAUSE"}));
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            widgettest::settle();
            return bridge.lastState()->audioPlayerStatus() == OVAudioPlayerStatus::paused;
        },
        5));
    coordinator->didSelectEpisode(pair(firstKey));
    widgettest::settle();
    EXPECT_EQ(actionsSince(from), Json::array({"PLAYER_PAUSE", "PLAYER_PLAY_REQUESTED"}));
    EXPECT_EQ(page.debug("selectedKeys").size(), 1u);

    // The podcast of the pair plays no part; a key that would end the
    // payload arrives whole.
    from = page.debug("actions").size();
    coordinator->didSelectEpisode(OVTrackInPodcast(pair(secondKey).track, testsupport::content::podcast({})));
    widgettest::settle();
    EXPECT_EQ(actionsSince(from), Json::array({"PLAYER_SELECT_TRACK"}));
    EXPECT_EQ(page.debug("selectedKeys"), Json::array({firstKey, secondKey}));
}

TEST_F(OVCoordinatorPageActionsTest, ADownloadReportsEveryStatusChangeToTheRootContainer) {
    orvane::testing::TestHttpServer server;
    server.serveBytes("/feed/episode.mp3", orvane::testing::makeMp3(720), "audio/mpeg");
    server.start();
    auto fan = testsupport::RecordingFanViewController::create();
    coordinator->setFanVC(fan);

    auto track = testsupport::content::episode({.key = "ep", .audio = server.url("/feed/episode.mp3")});
    coordinator->didTapDownload(track);
    EXPECT_EQ(track->delegate(), coordinator);
    ASSERT_FALSE(fan->calls.empty()) << "in progress at once";
    EXPECT_EQ(fan->calls.front(), "downloadStatusDidChange(ep, inProgress 0)");
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return fan->calls.back() == "downloadStatusDidChange(ep, downloaded)"; }, 10));
    for (const auto& call : fan->calls) EXPECT_EQ(call.rfind("downloadStatusDidChange(ep, ", 0), 0u) << call;

    // Without a root container the reports go nowhere.
    coordinator->setFanVC(nullptr);
    auto other = testsupport::content::episode({.key = "other", .audio = server.url("/feed/episode.mp3")});
    coordinator->didTapDownload(other);
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return std::holds_alternative<OVTrack::Downloaded>(other->downloadStatus()); }, 10));
    EXPECT_EQ(fan->calls.back(), "downloadStatusDidChange(ep, downloaded)");
}

TEST_F(OVCoordinatorPageActionsTest, SubscriptionChangesLandInTheListenersLibrary) {
    const auto podcast = testsupport::content::podcast({.key = "show"});
    auto& library = OVMock::UserData::shared();
    struct Step {
        OVSubscription kind;
        bool value;
        bool subscribed, notified;
    };
    const std::vector<Step> steps{
        {OVSubscription::notification, true, false, false},  // nothing to notify of before a subscription
        {OVSubscription::podcast, true, true, true},         // subscribing turns notifications on
        {OVSubscription::notification, false, true, false},
        {OVSubscription::notification, true, true, true},
        {OVSubscription::podcast, false, false, false},  // unsubscribing turns both off
    };
    for (const auto& step : steps) {
        coordinator->subscription(step.kind, podcast, step.value);
        EXPECT_EQ(library.userHasSuscribded(podcast, OVSubscription::podcast), step.subscribed);
        EXPECT_EQ(library.userHasSuscribded(podcast, OVSubscription::notification), step.notified);
    }
    EXPECT_TRUE(library.library().empty()) << "an entry left with nothing is dropped";
}

TEST_F(OVCoordinatorPageActionsTest, TheShareActionsDoNothing) {
    auto fan = testsupport::RecordingFanViewController::create();
    coordinator->setFanVC(fan);
    const std::size_t actions = page.debug("actions").size();
    platform::core::DebugCapture capture;
    coordinator->didTapSendUpButton();
    coordinator->didTapApplePodcastsButton();
    widgettest::settle();
    EXPECT_EQ(page.debug("actions").size(), actions);
    EXPECT_FALSE(capture.contains("SDK -> WIDGET"));
    EXPECT_TRUE(fan->calls.empty());
    EXPECT_TRUE(OVMock::UserData::shared().library().empty());
}

}  // namespace
