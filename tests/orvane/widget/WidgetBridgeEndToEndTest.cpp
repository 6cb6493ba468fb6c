// The bridge, the widget web view and the reference widget working together
// in JavaScriptCore, on a manual clock.
#include <gtest/gtest.h>

#include <thread>

#include "orvane/coordinator/Orvane.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/widget/WidgetPage.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"

namespace {

using orvane::OVWidgetManager;
using platform::core::DebugCapture;
using platform::core::Json;
using platform::core::RunLoop;
using testsupport::WidgetPage;
using widgettest::FakePlayer;
using widgettest::RecordingObserver;
using widgettest::settle;

const char* kSetTime = "{ type: 'PLAYER_USER_TIME_UPDATE', payload: ";

TEST(WidgetBridgeEndToEnd, TheListenerIsInjectedTwoSecondsAfterTheLoad) {
    WidgetPage page;
    auto observer = std::make_shared<RecordingObserver>();
    OVWidgetManager::shared().addObserver(observer);

    RunLoop::main().runUntilIdle();  // the page's scripts run
    RunLoop::main().advance(1.9);
    page.dispatch(std::string(kSetTime) + "1.0 }");
    settle();
    EXPECT_TRUE(observer->times.empty()) << "no listener yet";
    EXPECT_EQ(OVWidgetManager::shared().webView(), nullptr);

    testing::internal::CaptureStdout();
    RunLoop::main().advance(0.1);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "nil\n") << "the injection reports no error";

    // The first state attaches the view and restarts the component, whose
    // "PLAYER_OPEN" makes the widget post again.
    page.dispatch(std::string(kSetTime) + "2.0 }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return observer->times.size() == 2; }, 5));
    EXPECT_EQ(observer->times[0], 2.0);
    EXPECT_EQ(OVWidgetManager::shared().webView(), page.view);
    EXPECT_EQ(page.state()["player"]["closed"], false);
}

TEST(WidgetBridgeEndToEnd, PostedStatesReachEveryObserverInOrderWithLastStateAlreadySet) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    std::vector<std::string> order;
    auto first = std::make_shared<RecordingObserver>();
    auto second = std::make_shared<RecordingObserver>();
    first->name = "first";
    second->name = "second";
    first->callOrder = second->callOrder = &order;
    auto& bridge = OVWidgetManager::shared();
    bridge.addObserver(first);
    bridge.addObserver(second);

    for (int i = 1; i <= 5; ++i) page.dispatch(std::string(kSetTime) + std::to_string(i) + ".5 }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return second->times.size() == 5; }, 5));
    settle();

    const std::vector<std::optional<double>> expected{1.5, 2.5, 3.5, 4.5, 5.5};
    EXPECT_EQ(first->times, expected);
    EXPECT_EQ(second->times, expected);
    EXPECT_EQ(first->lastStateMismatches + second->lastStateMismatches, 0);
    ASSERT_EQ(order.size(), 10u);
    for (std::size_t i = 0; i < order.size(); i += 2) {
        EXPECT_EQ(order[i], "first");
        EXPECT_EQ(order[i + 1], "second");
    }
    ASSERT_TRUE(bridge.lastState());
    EXPECT_EQ(widgettest::stateTime(*bridge.lastState()), 5.5);
    // The decoded state carries the widget's contents.
    auto track = bridge.lastState()->currentTrack();
    ASSERT_TRUE(track);
    EXPECT_EQ(track->key(), "demo-episode-1");
}

TEST(WidgetBridgeEndToEnd, AStateThatFailsToDecodeChangesNothing) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    auto observer = std::make_shared<RecordingObserver>();
    auto& bridge = OVWidgetManager::shared();
    bridge.addObserver(observer);
    page.dispatch(std::string(kSetTime) + "7.0 }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return observer->times.size() == 1; }, 5));

    DebugCapture capture;
    Json broken = page.state();
    broken["player"]["playingStatus"] = "Playing";
    page.dispatch("{ type: 'WIDGET_SET_STATE', payload: " + broken.dump() + " }");
    Json notAnObject = page.state();
    notAnObject["contents"] = Json::array();
    page.dispatch("{ type: 'WIDGET_SET_STATE', payload: " + notAnObject.dump() + " }");
    settle();

    EXPECT_EQ(observer->times.size(), 1u);
    ASSERT_TRUE(bridge.lastState());
    EXPECT_EQ(widgettest::stateTime(*bridge.lastState()), 7.0);
    EXPECT_GE(capture.count("Playing"), 1u) << "the decoding error is printed";

    // The next good state goes through again.
    broken["player"]["playingStatus"] = "playing";
    broken["locations"]["main"]["track"]["currentTime"] = 8.0;
    page.dispatch("{ type: 'WIDGET_SET_STATE', payload: " + broken.dump() + " }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return observer->times.size() == 2; }, 5));
    EXPECT_EQ(observer->times.back(), 8.0);
}

TEST(WidgetBridgeEndToEnd, PlayIsAnsweredFromTheDelegatesResult) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);  // the component's own player is the delegate from here on
    auto player = std::make_shared<FakePlayer>();
    OVWidgetManager::shared().setDelegate(player);

    page.dispatch("{ type: 'PLAYER_PLAY_REQUESTED' }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 1; }, 5));
    EXPECT_EQ(player->plays, 1);
    EXPECT_EQ(page.debug("settled")[0], Json::parse(R"({"id":"play-1","outcome":"resolved","value":null})"));
    EXPECT_EQ(page.state()["player"]["playingStatus"], "playing");

    player->playAnswer = false;
    page.dispatch("{ type: 'PLAYER_PLAY_REQUESTED' }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 2; }, 5));
    EXPECT_EQ(page.debug("settled")[1], Json::parse(R"({"id":"play-2","outcome":"rejected","value":null})"));
    EXPECT_EQ(page.state()["player"]["playingStatus"], "paused");

    // A completion called later from another thread still answers, once.
    player->deferPlay = true;
    page.dispatch("{ type: 'PLAYER_PLAY_REQUESTED' }");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return static_cast<bool>(player->deferredCompletion); }, 5));
    std::thread([completion = player->deferredCompletion] { completion(true); }).join();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 3; }, 5));
    EXPECT_EQ(page.debug("settled")[2]["outcome"], "resolved");
}

TEST(WidgetBridgeEndToEnd, GetCurrentTimeIsAlwaysResolved) {
    WidgetPage page;
    page.injectListener();
    page.evaluate("window.__orvaneGlobal__.crossStackHandler.ask('getCurrentTime', { promiseId: 'no-player' }); 0");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 1; }, 5));
    EXPECT_EQ(page.debug("settled")[0], Json::parse(R"({"id":"no-player","outcome":"resolved","value":10})"));

    auto player = std::make_shared<FakePlayer>();
    OVWidgetManager::shared().setDelegate(player);
    player->currentTime = 42.5;
    page.evaluate("window.__orvaneGlobal__.crossStackHandler.ask('getCurrentTime', { promiseId: 't' }); 0");
    player->currentTime.reset();
    page.evaluate("window.__orvaneGlobal__.crossStackHandler.ask('getCurrentTime', { promiseId: 'none' }); 0");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 3; }, 5));
    EXPECT_EQ(page.debug("settled")[1]["value"], Json(42.5));
    EXPECT_EQ(page.debug("settled")[2]["value"], Json(10));
}

TEST(WidgetBridgeEndToEnd, SelectingATrackPlaysItThroughTheDelegate) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    auto player = std::make_shared<FakePlayer>();
    auto observer = std::make_shared<RecordingObserver>();
    auto& bridge = OVWidgetManager::shared();
    bridge.setDelegate(player);
    bridge.addObserver(observer);

    bridge.send(OVWidgetManager::SDKPlayerAction::selectTrack(
        OVWidgetManager::SDKPlayerAction::selectTrackPayload("demo-episode-2")));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->plays == 1; }, 5));
    EXPECT_EQ(player->sources, std::vector<std::string>{"http://127.0.0.1/audio/demo-episode-2.mp3"});
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return bridge.lastState() && bridge.lastState()->audioPlayerStatus() == orvane::OVAudioPlayerStatus::playing; },
        5));
    EXPECT_EQ(bridge.lastState()->currentTrack()->key(), "demo-episode-2");

    bridge.send(OVWidgetManager::SDKEvent::timeUpdate(12.5));
    bridge.send(OVWidgetManager::SDKEvent::durationChange(95.25));
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            auto position = bridge.lastState() ? bridge.lastState()->audioPosition() : std::nullopt;
            return position && position->time == 12.5 && position->duration == 95.25;
        },
        5));

    bridge.send(OVWidgetManager::SDKPlayerAction::pause());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->pauses == 1; }, 5));
}

TEST(WidgetBridgeEndToEnd, EveryScriptCallRunsAgainstTheWidgetWithItsExactText) {
    WidgetPage page;
    page.injectListener();
    auto& bridge = OVWidgetManager::shared();
    widgettest::attach(page);

    using Action = OVWidgetManager::SDKPlayerAction;
    using Event = OVWidgetManager::SDKEvent;
    DebugCapture capture;
    std::vector<std::string> expected;
    const std::vector<Action> actions{Action::selectTrack(Action::selectTrackPayload("demo-episode-1")),
                                      Action::playerUserTimeUpdate(30), Action::open(), Action::close(),
                                      Action::play(), Action::pause(), Action::toggleReadMore()};
    for (const auto& action : actions) {
        bridge.send(action);
        expected.push_back(action.script());
    }
    for (auto tracking : orvane::allSDKTrackingCases) {
        bridge.send(tracking);
        expected.push_back(orvane::script(tracking));
    }
    for (const auto& event : {Event::durationChange(1234.567), Event::timeUpdate(12.5), Event::end()}) {
        bridge.send(event);
        expected.push_back(event.script());
    }
    settle();

    // Each script went out once, as the debug line shows it, and none failed.
    // (The widget answers some actions with messages of its own, whose
    // promise answers are not counted here.)
    std::size_t sent = 0;
    for (const auto& line : capture.lines()) {
        if (line.rfind("\"SDK -> WIDGET\" ", 0) != 0) continue;
        if (line.find("Promise(") != std::string::npos) continue;
        ASSERT_LT(sent, expected.size());
        EXPECT_EQ(Json::parse(line.substr(16)), Json(expected[sent])) << line;
        ++sent;
    }
    EXPECT_EQ(sent, expected.size());
    for (const auto& line : capture.lines()) {
        EXPECT_EQ(line.find("Error"), std::string::npos) << line;
    }
    EXPECT_TRUE(page.debug("tracking").dump().find("\" TRACK_FULLSCREEN\"") != std::string::npos);
    EXPECT_EQ(page.debug("events"), Json::parse(R"([["durationchange",1234.567],["timeupdate",12.5],["end"]])"));
    EXPECT_EQ(page.state()["player"]["readMore"], true);
}

TEST(WidgetBridgeEndToEnd, EscapedPromiseIdentifiersAndTrackKeysArriveUnchanged) {
    const std::string hostileId = "p'1\"\\\n\r\u2028</script>\u00e9'); throw 1; ('";
    const std::string hostileKey = "ep-'\"\\\n\t\u2029}); throw 2; ({";
    Json state = Json::parse(R"({
      "contents": { "c": { "key": "c", "tracks": [] } },
      "locations": { "main": { "content": { "key": "c", "loading": false } } },
      "player": { "locationKey": "main", "playingStatus": "paused" } })");
    state["contents"]["c"]["tracks"].push_back(
        {{"key", hostileKey}, {"title", "Hostile"}, {"episode", nullptr}, {"publicationDate", nullptr},
         {"selected", false}, {"audio", {{"audioSrc", "http://127.0.0.1/a.mp3"}}}});
    WidgetPage page(state);
    page.injectListener();
    widgettest::attach(page);
    auto player = std::make_shared<FakePlayer>();
    auto& bridge = OVWidgetManager::shared();
    bridge.setDelegate(player);

    page.evaluate("window.__orvaneGlobal__.crossStackHandler.ask('play', { promiseId: " + Json(hostileId).dump() +
                  " }); 0");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return page.debug("settled").size() == 1; }, 5));
    EXPECT_EQ(page.debug("settled")[0]["id"], Json(hostileId));
    EXPECT_EQ(page.debug("settled")[0]["outcome"], "resolved");

    bridge.send(OVWidgetManager::SDKPlayerAction::selectTrack(
        OVWidgetManager::SDKPlayerAction::selectTrackPayload(hostileKey)));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->sources.size() == 1; }, 5));
    EXPECT_EQ(page.debug("selectedKeys"), Json::array({hostileKey}));
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return bridge.lastState() && bridge.lastState()->currentTrack(); }, 5));
    EXPECT_EQ(bridge.lastState()->currentTrack()->key(), hostileKey);
}

// Identifiers the engine's strings can hold but UTF-8 cannot (a lone
// surrogate, an emoji cut in half) come back with the code units the widget
// sent, so each promise settles, and settles with its own answer.
TEST(WidgetBridgeEndToEnd, PromiseIdentifiersAreAnsweredCodeUnitForCodeUnit) {
    const std::vector<std::string> ids = {
        "'\\uD83D'",                    // lone high
        "'\\uDE00'",                    // lone low
        "'\\uDE00\\uD83D'",             // reversed pair
        "'cut \\uD83D'",                // an emoji cut in half at the end
        "'\\uDE00 cut'",                // ... and at the start
        "'\\uD83D\\uDE00'",             // a whole emoji
        "'\\uD83D\\uDE00\\uDE00'",      // a whole one and a stray half
        "'\\uD800'", "'\\uDC00'",       // would both read as U+FFFD
        "'\\uFFFD'",                    // the replacement character itself
        "'q\\'\"\\\\\\u2028\\u2029\\uDBFF\\n'",
    };
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    auto player = std::make_shared<FakePlayer>();
    player->currentTime = 7.0;
    OVWidgetManager::shared().setDelegate(player);

    std::string list;
    for (const auto& id : ids) list += (list.empty() ? "" : ", ") + id;
    page.evaluate("window.__ids = [" + list + "]; window.__answers = {};"
                  "__ids.forEach(function (id, i) { ['play', 'getCurrentTime'].forEach(function (name) {"
                  "  window.__orvaneGlobal__.crossStackHandler.ask(name, { promiseId: name + ':' + id })"
                  "    .then(function (value) { __answers[name + i] = value === undefined ? null : value; });"
                  "}); }); 0");
    const auto answered = static_cast<std::size_t>(2 * ids.size());
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] { return page.evaluate("Object.keys(__answers).length") == Json(answered); }, 5));
    // Every answer named a promise that was asked for, once each.
    EXPECT_EQ(page.evaluate("window.__orvaneGlobal__.debug.settled.map(function (s) {"
                            "  return ['play', 'getCurrentTime'].some(function (name) {"
                            "    return __ids.some(function (id) { return s.id === name + ':' + id; }); }); })"),
              Json(std::vector<bool>(answered, true)));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(ids[i]);
        const auto answers = page.evaluate("[__answers['play" + std::to_string(i) + "'], __answers['getCurrentTime" +
                                           std::to_string(i) + "']]");
        EXPECT_EQ(answers, Json::array({nullptr, 7.0}));
    }
    EXPECT_EQ(player->plays, static_cast<int>(ids.size()));
}

TEST(WidgetBridgeEndToEnd, ASecondWebViewTakesOverAndRestartsTheComponentOnce) {
    WidgetPage a;
    WidgetPage b;
    a.injectListener();
    b.injectListener();
    auto& bridge = OVWidgetManager::shared();
    auto post = [](WidgetPage& page, const char* name) {
        page.evaluate(std::string("webkit.messageHandlers.") + name + ".postMessage({}); 0");
        settle();
    };

    post(a, "pause");
    EXPECT_EQ(bridge.webView(), a.view);
    EXPECT_EQ(a.debug("actions"), Json::parse(R"(["PLAYER_OPEN"])"));
    auto firstCoordinator = orvane::Orvane::shared().coordinator();
    ASSERT_TRUE(firstCoordinator);

    post(a, "setCurrentTime");
    post(b, "setCurrentTime");
    EXPECT_EQ(bridge.webView(), b.view);
    EXPECT_NE(orvane::Orvane::shared().coordinator(), firstCoordinator);
    EXPECT_EQ(a.debug("actions"), Json::parse(R"(["PLAYER_OPEN"])"));
    EXPECT_EQ(b.debug("actions"), Json::parse(R"(["PLAYER_CLOSE","TRACK_CLOSE","PLAYER_OPEN"])"));

    post(b, "stateUpdate");
    post(a, "getCurrentTime");
    EXPECT_EQ(bridge.webView(), a.view);
    EXPECT_EQ(a.debug("actions"), Json::parse(R"(["PLAYER_OPEN","PLAYER_CLOSE","TRACK_CLOSE","PLAYER_OPEN"])"));
    EXPECT_EQ(b.debug("actions").size(), 3u);

    // A name the view does not register never reaches the bridge.
    a.view->configuration().userContentController->add(
        std::make_shared<platform::web::WeakScriptMessageHandler>(
            std::weak_ptr<platform::web::ScriptMessageHandler>(b.view)),
        "other");
    post(a, "other");
    EXPECT_EQ(bridge.webView(), a.view);
}

TEST(WidgetBridgeEndToEnd, APageWithoutTheWidgetAtInjectionTimeNeverPostsItsState) {
    RunLoop::main().useManualClock();
    auto view = orvane::OVWebView::create();
    auto observer = std::make_shared<RecordingObserver>();
    OVWidgetManager::shared().addObserver(observer);
    // The widget's global object is made 3 s after the load; its store
    // changes at 5 s.
    view->loadHTMLString(
        "<script>setTimeout(function () {"
        "  var listeners = [];"
        "  window.__orvaneGlobal__ = { store: {"
        "    subscribe: function (l) { listeners.push(l); },"
        "    getState: function () { return { player: { playingStatus: 'paused' } }; } } };"
        "  setTimeout(function () { listeners.forEach(function (l) { l(); }); }, 2000);"
        "}, 3000);</script>",
        testsupport::widgetDirectory());
    RunLoop::main().runUntilIdle();
    testing::internal::CaptureStdout();
    RunLoop::main().advance(2.0);
    RunLoop::main().runUntilIdle();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("__orvaneGlobal__"), std::string::npos) << printed;
    EXPECT_NE(printed, "nil\n");
    RunLoop::main().advance(5.0);
    settle();
    EXPECT_TRUE(observer->times.empty());
}

TEST(WidgetBridgeEndToEnd, TheHandlersDoNotKeepTheWebViewAlive) {
    std::weak_ptr<orvane::OVWebView> weak;
    {
        WidgetPage page;
        page.injectListener();
        weak = page.view;
    }
    RunLoop::main().advance(5.0);
    EXPECT_TRUE(weak.expired());

    // Once it is the bridge's web view, the bridge keeps it.
    {
        WidgetPage page;
        page.injectListener();
        page.evaluate("webkit.messageHandlers.pause.postMessage(null); 0");
        settle();
        weak = page.view;
    }
    EXPECT_FALSE(weak.expired());
    EXPECT_EQ(OVWidgetManager::shared().webView(), weak.lock());
}

}  // namespace
