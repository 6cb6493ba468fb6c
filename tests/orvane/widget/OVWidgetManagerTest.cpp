#include "orvane/widget/OVWidgetManager.hpp"

#include <gtest/gtest.h>

#include <regex>

#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/StateBuilder.hpp"
#include "support/TempDocuments.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using orvane::OVWidgetEvents;
using orvane::OVWidgetManager;
using platform::core::DebugCapture;
using platform::core::Json;
using platform::core::RunLoop;
using platform::web::ScriptMessage;
using testsupport::WidgetPage;
using widgettest::FakePlayer;
using widgettest::RecordingObserver;
using widgettest::settle;

void receive(const std::string& name, Json body) {
    OVWidgetManager::shared().didReceive(ScriptMessage{name, std::move(body), {}});
}

// A bridge attached to a reference widget page, with a fake player.
struct Attached {
    WidgetPage page;
    std::shared_ptr<FakePlayer> player = std::make_shared<FakePlayer>();
    Attached() {
        page.injectListener();
        widgettest::attach(page);
        OVWidgetManager::shared().setDelegate(player);
    }
    Json settled() {
        settle();
        return page.debug("settled");
    }
};

TEST(WidgetManager, RecognisesMessagesByTheirNames) {
    EXPECT_EQ(orvane::allCases<OVWidgetEvents>().size(), 6u);
    EXPECT_EQ(orvane::rawValue(OVWidgetEvents::updatedState), "stateUpdate");
    EXPECT_EQ(orvane::fromRawValue<OVWidgetEvents>("stateUpdate"), OVWidgetEvents::updatedState);
    EXPECT_FALSE(orvane::fromRawValue<OVWidgetEvents>("updatedState"));
    EXPECT_FALSE(orvane::fromRawValue<OVWidgetEvents>("Play"));
}

TEST(WidgetManager, UnknownNamesAndBadBodiesDoNothing) {
    Attached bridge;
    auto observer = std::make_shared<RecordingObserver>();
    OVWidgetManager::shared().addObserver(observer);
    DebugCapture capture;

    receive("updatedState", Json::parse(R"({"player":{}})"));
    receive("nope", Json::parse(R"({"promiseId":"x"})"));
    receive("play", Json::parse(R"({"promiseId":7})"));
    receive("play", Json::parse(R"({"promiseId":null})"));
    receive("play", Json("p1"));
    receive("getCurrentTime", Json::array({"t"}));
    receive("getCurrentTime", Json::object());
    receive("setSource", Json::parse(R"({"src":"http://x/a.mp3"})"));
    receive("setSource", Json::parse(R"({"source":12})"));
    receive("stateUpdate", Json("not a state"));
    receive("stateUpdate", Json::array());
    receive("setCurrentTime", Json::parse(R"({"promiseId":"c","time":3})"));

    EXPECT_EQ(bridge.settled(), Json::array()) << "no promise was answered";
    EXPECT_EQ(bridge.player->plays, 0);
    EXPECT_EQ(bridge.player->timeQueries, 0);
    EXPECT_TRUE(bridge.player->sources.empty());
    EXPECT_TRUE(observer->times.empty());
    // Only the first line for an unknown name.
    EXPECT_EQ(capture.count("\"nope\""), 1u);
    EXPECT_EQ(capture.count("\"WIDGET -> SDK\""), 12u);
}

TEST(WidgetManager, CommandsReachTheDelegate) {
    Attached bridge;
    receive("setSource", Json::parse(R"({"source":"http://127.0.0.1/a.mp3","extra":[1]})"));
    receive("pause", Json());
    receive("pause", Json::object());
    EXPECT_EQ(bridge.player->sources, std::vector<std::string>{"http://127.0.0.1/a.mp3"});
    EXPECT_EQ(bridge.player->pauses, 2);

    receive("play", Json::parse(R"({"promiseId":"p1","other":true})"));
    bridge.player->playAnswer = false;
    receive("play", Json::parse(R"({"promiseId":"p2"})"));
    EXPECT_EQ(bridge.settled(), Json::parse(R"([{"id":"p1","outcome":"resolved","value":null},
                                                {"id":"p2","outcome":"rejected","value":null}])"));

    // Without a delegate: nothing, and "play" stays unanswered.
    OVWidgetManager::shared().setDelegate({});
    receive("play", Json::parse(R"({"promiseId":"p3"})"));
    receive("getCurrentTime", Json::parse(R"({"promiseId":"t3"})"));
    EXPECT_EQ(bridge.settled().size(), 3u);
    EXPECT_EQ(bridge.settled()[2], Json::parse(R"({"id":"t3","outcome":"resolved","value":10})"));

    // A delegate that went away counts as none.
    {
        auto gone = std::make_shared<FakePlayer>();
        OVWidgetManager::shared().setDelegate(gone);
    }
    receive("setSource", Json::parse(R"({"source":"http://127.0.0.1/b.mp3"})"));
    EXPECT_FALSE(OVWidgetManager::shared().delegate());
}

TEST(WidgetManager, ObserversAreCalledOncePerRegistrationAndJoinAtTheNextState) {
    auto& bridge = OVWidgetManager::shared();
    auto twice = std::make_shared<RecordingObserver>();
    auto late = std::make_shared<RecordingObserver>();
    bridge.addObserver(twice);
    bridge.addObserver(twice);
    twice->onReceive = [&] {
        if (twice->times.size() == 1) bridge.addObserver(late);
    };
    bridge.addObserver(nullptr);

    receive("stateUpdate", Json::parse(R"({"locations":{"l":{"track":{"key":"k","currentTime":1}}},"player":{"locationKey":"l"}})"));
    receive("stateUpdate", Json::parse(R"({"locations":{"l":{"track":{"key":"k","currentTime":2}}},"player":{"locationKey":"l"}})"));
    settle();
    EXPECT_EQ(twice->times, (std::vector<std::optional<double>>{1.0, 1.0, 2.0, 2.0}));
    EXPECT_EQ(late->times, (std::vector<std::optional<double>>{2.0}))
        << "added during the first delivery, called for the second state only";
    EXPECT_EQ(twice->lastStateMismatches, 0);
}

// Every observer gets the one state the bridge keeps as its last state (one
// that keeps states, the pointer itself); a state someone still holds
// outlives its replacement unchanged.
TEST(WidgetManager, ObserversAndLastStateShareOneStateThatOutlivesItsReplacement) {
    struct Seen : orvane::OVObserver {
        std::vector<const orvane::OVState*> states;
        void didReceive(const orvane::OVState& state) override { states.push_back(&state); }
    };
    struct Keeper : orvane::OVObserver {
        std::vector<std::shared_ptr<const orvane::OVState>> kept;
        void didReceive(const orvane::OVState&) override { ADD_FAILURE() << "handed a state to copy"; }
        void didReceiveShared(const std::shared_ptr<const orvane::OVState>& state) override { kept.push_back(state); }
    };
    auto& bridge = OVWidgetManager::shared();
    auto first = std::make_shared<Seen>();
    auto keeper = std::make_shared<Keeper>();
    auto second = std::make_shared<Seen>();
    bridge.addObserver(first);
    bridge.addObserver(keeper);
    bridge.addObserver(second);

    receive("stateUpdate", Json::parse(R"({"locations":{"l":{"track":{"key":"k","currentTime":1}}},"player":{"locationKey":"l"}})"));
    settle();
    const std::shared_ptr<const orvane::OVState> kept = bridge.lastState();
    ASSERT_TRUE(kept);
    EXPECT_EQ(first->states, (std::vector<const orvane::OVState*>{kept.get()}));
    EXPECT_EQ(second->states, first->states);
    EXPECT_EQ(keeper->kept, (std::vector<std::shared_ptr<const orvane::OVState>>{kept}));

    receive("stateUpdate", Json::parse(R"({"locations":{"l":{"track":{"key":"k","currentTime":2}}},"player":{"locationKey":"l"}})"));
    settle();
    ASSERT_EQ(second->states.size(), 2u);
    EXPECT_EQ(second->states[1], bridge.lastState().get());
    EXPECT_NE(bridge.lastState(), kept);
    EXPECT_EQ(widgettest::stateTime(*kept), 1.0);
    EXPECT_EQ(widgettest::stateTime(*bridge.lastState()), 2.0);
    ASSERT_EQ(keeper->kept.size(), 2u);
    EXPECT_EQ(keeper->kept[1], bridge.lastState());
}

TEST(WidgetManager, DecodedStatesArePrintedOnTheDecodingQueue) {
    DebugCapture capture;
    receive("stateUpdate", Json::parse(R"({"locations":{"l":{"content":{"key":"c","loading":true},
        "track":{"key":"k","currentTime":12.5}}},"player":{"locationKey":"l","playingStatus":"loading"}})"));
    settle();
    const auto lines = capture.lines();
    auto at = std::find(lines.begin(), lines.end(), "\"loading\"");
    ASSERT_NE(at, lines.end());
    ASSERT_GE(lines.end() - at, 4);
    EXPECT_EQ(at[1], "Content(key: \"c\", loading: true)");
    EXPECT_EQ(at[2], "\"current track\" \"k\"");
    EXPECT_EQ(at[3], "\"current time\" 12.5\n");
    EXPECT_EQ(capture.count("message body"), 0u) << "a state's body is not printed before it decodes";

    capture.clear();
    receive("stateUpdate", Json::object());
    settle();
    EXPECT_TRUE(capture.contains("\"current track\" nil"));
    EXPECT_TRUE(OVWidgetManager::shared().lastState());
    EXPECT_FALSE(OVWidgetManager::shared().lastState()->player);
}

// A state decodes alike whether its debug lines are made or not (without
// them it takes the body's texts instead of copying them), and they are made
// again as soon as someone reads them.
TEST(WidgetManager, DecodedStatesAreTheSameWhetherOrNotTheirDebugLinesAreRead) {
    const Json body = orvane::test::StateBuilder::typical();
    // The texts of a state, in order.
    const auto texts = [](const orvane::OVState& state) {
        std::vector<std::string> out;
        for (const auto& [key, content] : state.contentForKey.value_or(std::map<std::string, orvane::OVContent>{})) {
            out.insert(out.end(), {key, content.identifier, content.title.value_or("-"), content.author.value_or("-")});
            for (const auto& track : content.tracks.value_or(std::vector<std::shared_ptr<orvane::OVTrack>>{})) {
                out.insert(out.end(), {track->key(), track->title()});
            }
        }
        if (auto track = state.currentTrack()) out.push_back(track->key());
        return out;
    };
    std::vector<std::vector<std::string>> seen;
    for (const bool read : {true, false, true}) {
        SCOPED_TRACE(read);
        std::optional<DebugCapture> capture;
        if (read) capture.emplace();
        auto previous = read ? platform::core::DebugSink{} : platform::core::discardDebugOutput();
        receive("stateUpdate", body);
        settle();
        if (!read) platform::core::setDebugSink(std::move(previous));
        ASSERT_TRUE(OVWidgetManager::shared().lastState());
        seen.push_back(texts(*OVWidgetManager::shared().lastState()));
        if (capture) {
            EXPECT_TRUE(capture->contains("\"current track\" \"ep-"));
            EXPECT_TRUE(capture->contains(R"("key":"content-0")")) << "the body is printed as it came";
        }
    }
    EXPECT_GT(seen.front().size(), 20u);
    for (const auto& each : seen) EXPECT_EQ(each, seen.front());
}

TEST(WidgetManager, SendingWithoutAWebViewIsSilent) {
    auto& bridge = OVWidgetManager::shared();
    ASSERT_EQ(bridge.webView(), nullptr);
    DebugCapture capture;
    bridge.send(OVWidgetManager::SDKPlayerAction::open());
    bridge.send(OVWidgetManager::SDKTracking::close);
    bridge.send(OVWidgetManager::SDKEvent::end());
    receive("getCurrentTime", Json::parse(R"({"promiseId":"t"})"));
    settle();
    for (const auto& line : capture.lines()) EXPECT_EQ(line.find("SDK -> WIDGET"), std::string::npos) << line;
}

TEST(WidgetManager, EvaluationErrorsArePrinted) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    page.evaluate("delete window.__orvaneGlobal__; 0");
    DebugCapture capture;
    OVWidgetManager::shared().send(OVWidgetManager::SDKEvent::end());
    settle();
    EXPECT_TRUE(capture.contains("TypeError")) << testing::PrintToString(capture.lines());
}

TEST(WidgetManager, DebugLogWritesTheDateAndTheMessageName) {
    testsupport::TempDocuments documents;
    RunLoop::main().useManualClock(1767225600.0 + 3661.0);
    auto& bridge = OVWidgetManager::shared();
    bridge.debugLLog(ScriptMessage{"play", Json::object(), {}});
    bridge.debugLLog(ScriptMessage{"stateUpdate", Json::object(), {}});
    auto bytes = platform::core::FileManager::readFile(documents.path() / "log.txt");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()),
              "2026-01-01 01:01:01 +0000 -- play2026-01-01 01:01:01 +0000 -- stateUpdate");
}

}  // namespace
