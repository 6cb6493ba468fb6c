#include "orvane/widget/OVWidgetScripts.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using orvane::OVPromiseType;
using orvane::SDKEvent;
using orvane::SDKPlayerAction;
using orvane::SDKTracking;
using platform::core::Json;

TEST(WidgetScripts, PlayerActionsHaveTheirExactTexts) {
    EXPECT_EQ(SDKPlayerAction::open().script(), "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_OPEN' });");
    EXPECT_EQ(SDKPlayerAction::close().script(), "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_CLOSE' });");
    EXPECT_EQ(SDKPlayerAction::play().script(),
              "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_PLAY_REQUESTED' });");
    EXPECT_EQ(SDKPlayerAction::pause().script(), "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_PAUSE' });");
    EXPECT_EQ(SDKPlayerAction::toggleReadMore().script(),
              "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_TOGGLE_READ_MORE' });");
    EXPECT_EQ(SDKPlayerAction::playerUserTimeUpdate(30).script(),
              "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_USER_TIME_UPDATE',\npayload: 30.0 });");
    EXPECT_EQ(SDKPlayerAction::selectTrack("{\"key\":\"t1\"}").script(),
              "window.__orvaneGlobal__.store.dispatch({     type: 'PLAYER_SELECT_TRACK',\n    payload: {\"key\":\"t1\"} });");
}

TEST(WidgetScripts, TrackingActionsHaveTheirExactTextsWithTheBlankOfFullScreen) {
    const std::pair<SDKTracking, const char*> expected[] = {
        {SDKTracking::halfScreen, "TRACK_HALFSCREEN"},     {SDKTracking::fullScreen, " TRACK_FULLSCREEN"},
        {SDKTracking::swipeDown, "TRACK_SWIPE_DOWN"},      {SDKTracking::trackListPlay, "TRACK_TRACKLIST_PLAY"},
        {SDKTracking::trackListPause, "TRACK_TRACKLIST_PAUSE"}, {SDKTracking::mainPlay, "TRACK_MAIN_PLAY"},
        {SDKTracking::mainPause, "TRACK_MAIN_PAUSE"},      {SDKTracking::cursorMove, "TRACK_CURSOR_MOVE"},
        {SDKTracking::rewind, "TRACK_REWIND"},             {SDKTracking::fastForward, "TRACK_FASTFORWARD"},
        {SDKTracking::close, "TRACK_CLOSE"},               {SDKTracking::readMore, "TRACK_READ_MORE"},
    };
    ASSERT_EQ(std::size(expected), orvane::allSDKTrackingCases.size());
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(orvane::allSDKTrackingCases[i], expected[i].first);
        EXPECT_EQ(orvane::script(expected[i].first),
                  std::string("window.__orvaneGlobal__.store.dispatch({ type: '") + expected[i].second + "' });");
    }
}

TEST(WidgetScripts, EventsAndPromiseAnswersHaveTheirExactTexts) {
    EXPECT_EQ(SDKEvent::timeUpdate(12.5).script(), "window.__orvaneGlobal__.crossStackHandler.emit('timeupdate', 12.5);");
    EXPECT_EQ(SDKEvent::durationChange(1234.567).script(),
              "window.__orvaneGlobal__.crossStackHandler.emit('durationchange', 1234.567);");
    EXPECT_EQ(SDKEvent::end().script(), "window.__orvaneGlobal__.crossStackHandler.emit('end');");

    EXPECT_EQ(OVPromiseType::stack(), "window.__orvaneGlobal__.crossStackHandler");
    EXPECT_EQ(OVPromiseType::resolve("p1").formatted(),
              "window.__orvaneGlobal__.crossStackHandler.resolvePromise('p1', null)");
    EXPECT_EQ(OVPromiseType::resolve("p1", Json(10)).formatted(),
              "window.__orvaneGlobal__.crossStackHandler.resolvePromise('p1', 10)");
    EXPECT_EQ(OVPromiseType::resolve("t", Json(42.5)).formatted(),
              "window.__orvaneGlobal__.crossStackHandler.resolvePromise('t', 42.5)");
    EXPECT_EQ(OVPromiseType::reject("p1").formatted(),
              "window.__orvaneGlobal__.crossStackHandler.rejectPromise('p1', null)");
    EXPECT_EQ(OVPromiseType::resolve("play-7_a b", Json(true)).formatted(),
              "window.__orvaneGlobal__.crossStackHandler.resolvePromise('play-7_a b', true)");
}

TEST(WidgetScripts, NumbersArePlainDecimalsThatReadBackExactly) {
    EXPECT_EQ(orvane::plainDescription(30), "30.0");
    EXPECT_EQ(orvane::plainDescription(42.5), "42.5");
    EXPECT_EQ(orvane::plainDescription(1234.567), "1234.567");
    EXPECT_EQ(orvane::plainDescription(0), "0.0");
    EXPECT_EQ(orvane::plainDescription(-0.25), "-0.25");
    EXPECT_EQ(orvane::plainDescription(0.1), "0.1");
    EXPECT_EQ(orvane::plainDescription(1e21), "1000000000000000000000.0");
    EXPECT_EQ(orvane::plainDescription(1.5e-7), "0.00000015");
    for (double value : {1e300, 5e-324, 123456789.123456, std::numeric_limits<double>::max()}) {
        const std::string text = orvane::plainDescription(value);
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
    EXPECT_EQ(orvane::plainDescription(std::nan("")), "NaN");
    EXPECT_EQ(orvane::plainDescription(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(SDKEvent::timeUpdate(-std::numeric_limits<double>::infinity()).script(),
              "window.__orvaneGlobal__.crossStackHandler.emit('timeupdate', -Infinity);");
}

TEST(WidgetScripts, SplicedTextIsEscaped) {
    EXPECT_EQ(orvane::singleQuotedLiteral("p1"), "'p1'");
    EXPECT_EQ(orvane::singleQuotedLiteral("a'b\\c\nd\re\tf"), "'a\\'b\\\\c\\nd\\re\\tf'");
    EXPECT_EQ(orvane::singleQuotedLiteral(std::string("x\0y\x1f", 4)), "'x\\x00y\\x1f'");
    EXPECT_EQ(orvane::singleQuotedLiteral("\u2028\u2029\u00e9"), "'\\u2028\\u2029\u00e9'");
    // Lone surrogates in generalized UTF-8 (a text the page gave) go back as escapes.
    EXPECT_EQ(orvane::singleQuotedLiteral("\xED\xA0\xBD" "a\xED\xBF\xBF\xF0\x9F\x98\x80"), "'\\ud83da\\udfff\xF0\x9F\x98\x80'");
    EXPECT_EQ(OVPromiseType::reject("');alert(1);('").formatted(),
              "window.__orvaneGlobal__.crossStackHandler.rejectPromise('\\');alert(1);(\\'', null)");

    EXPECT_EQ(SDKPlayerAction::selectTrackPayload("t-1"), R"({"key":"t-1"})");
    EXPECT_EQ(SDKPlayerAction::selectTrackPayload("news/a\\/b"), R"({"key":"news\/a\\\/b"})");
    const std::string hostile = "a\"}); evil(); ({\"\\\n\u00e9/";
    EXPECT_EQ(Json::parse(SDKPlayerAction::selectTrackPayload(hostile)), Json({{"key", hostile}}));
    EXPECT_EQ(orvane::scriptValueText(Json("it's")), "\"it's\"");
}

}  // namespace
