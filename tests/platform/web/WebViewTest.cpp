#include "platform/web/WebView.hpp"

#include <gtest/gtest.h>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/web/HTMLScripts.hpp"

namespace {

using platform::core::DebugCapture;
using platform::core::Json;
using platform::core::RunLoop;
using namespace platform::web;

const std::filesystem::path kPages = std::filesystem::path(ORVANE_SOURCE_DIR) / "tests/platform/web/pages";

struct Recorder : ScriptMessageHandler {
    std::vector<ScriptMessage> messages;
    void userContentController(UserContentController&, const ScriptMessage& message) override {
        EXPECT_TRUE(RunLoop::main().isCurrent());
        messages.push_back(message);
    }
};

struct Navigations : NavigationDelegate {
    std::vector<Navigation> finished;
    std::vector<std::string> failed;
    std::function<void()> onFinish;
    void webViewDidFinish(WebView&, Navigation navigation) override {
        finished.push_back(navigation);
        if (onFinish) onFinish();
    }
    void webViewDidFail(WebView&, Navigation, const NavigationError& error) override {
        failed.push_back(error.description);
    }
};

struct Evaluation {
    bool done = false;
    std::optional<Json> result;
    std::optional<ScriptError> error;
};

Evaluation evaluate(WebView& view, const std::string& script) {
    Evaluation e;
    view.evaluateJavaScript(script, [&](const std::optional<Json>& r, const std::optional<ScriptError>& err) {
        e.done = true;
        e.result = r;
        e.error = err;
    });
    EXPECT_FALSE(e.done) << "completion must come later, on the main queue";
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return e.done; }, 5));
    return e;
}

TEST(WebView, MessagesReachTheirHandlerAsJsonInPostingOrderOnTheMainQueue) {
    auto view = WebView::create();
    auto recorder = std::make_shared<Recorder>();
    auto other = std::make_shared<Recorder>();
    view->configuration().userContentController->add(recorder, "one");
    view->configuration().userContentController->add(other, "two");

    view->evaluateJavaScript(
        "webkit.messageHandlers.one.postMessage({ a: 1, b: [true, null, 'x'], c: 2.5 });"
        "window.webkit.messageHandlers.two.postMessage('second');"
        "webkit.messageHandlers.one.postMessage(3);"
        "webkit.messageHandlers.one.postMessage();");
    EXPECT_TRUE(recorder->messages.empty()) << "delivery is asynchronous";
    RunLoop::main().runUntilIdle();

    ASSERT_EQ(recorder->messages.size(), 3u);
    EXPECT_EQ(recorder->messages[0].name, "one");
    EXPECT_EQ(recorder->messages[0].body, Json::parse(R"({"a":1,"b":[true,null,"x"],"c":2.5})"));
    EXPECT_EQ(recorder->messages[1].body, Json(3));
    EXPECT_TRUE(recorder->messages[2].body.is_null());
    EXPECT_EQ(recorder->messages[0].webView.lock(), view);
    ASSERT_EQ(other->messages.size(), 1u);
    EXPECT_EQ(other->messages[0].body, Json("second"));
}

TEST(WebView, UnregisteredNamesAndUnclonableBodiesFailInThePage) {
    auto view = WebView::create();
    auto recorder = std::make_shared<Recorder>();
    view->configuration().userContentController->add(recorder, "known");

    auto missing = evaluate(*view, "webkit.messageHandlers.unknown.postMessage(1)");
    ASSERT_TRUE(missing.error);
    EXPECT_NE(missing.error->message.find("TypeError"), std::string::npos);

    auto cyclic = evaluate(*view, "var o = {}; o.self = o; webkit.messageHandlers.known.postMessage(o)");
    ASSERT_TRUE(cyclic.error);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(recorder->messages.empty());

    // Removing a handler takes it away from the page and drops what was in flight.
    view->evaluateJavaScript("webkit.messageHandlers.known.postMessage('late')");
    view->configuration().userContentController->removeScriptMessageHandler("known");
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(recorder->messages.empty());
    auto gone = evaluate(*view, "typeof webkit.messageHandlers.known");
    EXPECT_EQ(gone.result, Json("undefined"));
}

// Posted values arrive as JSON.stringify would write them, read back as
// JSON; text with a lone surrogate arrives with U+FFFD in its place; values
// nested deeper than 1000 levels, cycles and throwing getters fail in the page
// (before, a lone surrogate made postMessage throw DataCloneError).
TEST(WebView, PostedValuesArriveAsTheirJsonForm) {
    auto view = WebView::create();
    auto recorder = std::make_shared<Recorder>();
    view->configuration().userContentController->add(recorder, "m");
    const std::string deep999 = "var v = 0; for (var i = 0; i < 999; i++) v = [v]; return v";
    struct Case {
        std::string value;                // a function body returning the posted value
        std::optional<Json> delivered;    // none: postMessage throws
        std::string thrown = {};          // part of the page's error
    };
    const std::vector<Case> cases = {
        {"return ({ a: undefined, f: function () {}, s: Symbol('x'), n: null, k: 'v' })", Json::parse(R"({"n":null,"k":"v"})")},
        {"return [undefined, function () {}, Symbol('x'), NaN, Infinity, -0, 1e21, 2.5, 9007199254740993, -12]",
         Json::parse(R"([null,null,null,null,null,0,1e21,2.5,9007199254740992,-12])")},
        {"return ({ cut: '\\uD83C', tail: 'a\\uDFA7b', whole: '\\uD83C\\uDFA7' })",
         Json{{"cut", "\xEF\xBF\xBD"}, {"tail", "a\xEF\xBF\xBD" "b"}, {"whole", "\xF0\x9F\x8E\xA7"}}},
        {"return ['\\u00e9\\u20ac\\uDC00x\\uD800', 'ok', '\\uDBFF']",
         Json{"\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD" "x\xEF\xBF\xBD", "ok", "\xEF\xBF\xBD"}},
        {"return ({ when: new Date(Date.UTC(2024, 5, 30, 6)), boxed: [new Number(3), new String('s'), new Boolean(false)] })",
         Json::parse(R"({"when":"2024-06-30T06:00:00.000Z","boxed":[3,"s",false]})")},
        {"class P { constructor() { this.x = 1; } toJSON() { return { y: this.x + 1 }; } }; return ({ p: new P(), q: Object.create(null) })",
         Json::parse(R"({"p":{"y":2},"q":{}})")},
        {"return ({ get g() { return 'got'; }, nested: { deeper: [1, { k: 'v' }] } })",
         Json::parse(R"({"g":"got","nested":{"deeper":[1,{"k":"v"}]}})")},
        {"var o = { same: [1] }; o.again = o.same; return o", Json::parse(R"({"same":[1],"again":[1]})")},
        {deep999, std::nullopt},  // checked below: delivered whole
        {"var v = 0; for (var i = 0; i < 1001; i++) v = [v]; return v", std::nullopt, "nested more than 1000 levels"},
        // So deep that the engine's own JSON.stringify refuses it.
        {"var v = {}; for (var i = 0; i < 100000; i++) v = { v: v }; return v", std::nullopt, "RangeError"},
        {"var o = { a: [] }; o.a.push(o); return o", std::nullopt, "TypeError"},
        {"return ({ get bad() { throw new RangeError('no'); } })", std::nullopt, "RangeError"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.value);
        recorder->messages.clear();
        auto posted = evaluate(*view, "webkit.messageHandlers.m.postMessage((function () { " + test.value + " })())");
        RunLoop::main().runUntilIdle();
        if (!test.thrown.empty()) {
            ASSERT_TRUE(posted.error);
            EXPECT_NE(posted.error->message.find(test.thrown), std::string::npos) << posted.error->message;
            EXPECT_TRUE(recorder->messages.empty());
            continue;
        }
        EXPECT_FALSE(posted.error) << posted.error->message;
        ASSERT_EQ(recorder->messages.size(), 1u);
        if (test.delivered) {
            EXPECT_EQ(recorder->messages[0].body, *test.delivered);
        } else {
            int depth = 0;
            const Json* at = &recorder->messages[0].body;
            while (at->is_array()) {
                ++depth;
                at = &(*at)[0];
            }
            EXPECT_EQ(depth, 999);
            EXPECT_EQ(*at, Json(0));
        }
    }
}

TEST(WebView, EvaluationGivesJsonResultsOrTheThrownError) {
    auto view = WebView::create();
    EXPECT_EQ(evaluate(*view, "({ n: 1 + 1, s: 'a' + 'b' })").result, Json::parse(R"({"n":2,"s":"ab"})"));
    EXPECT_EQ(evaluate(*view, "window === this && self === window").result, Json(true));

    auto undefinedResult = evaluate(*view, "undefined");
    EXPECT_FALSE(undefinedResult.result);
    EXPECT_FALSE(undefinedResult.error);

    auto thrown = evaluate(*view, "\n\nnotDefinedAnywhere.call()");
    ASSERT_TRUE(thrown.error);
    EXPECT_NE(thrown.error->message.find("ReferenceError"), std::string::npos);
    EXPECT_EQ(thrown.error->line, 3);

    auto syntax = evaluate(*view, "function (");
    ASSERT_TRUE(syntax.error);
    EXPECT_NE(syntax.error->message.find("SyntaxError"), std::string::npos);

    // Text survives the trip in both directions: quotes, line breaks, NUL,
    // characters outside the basic plane.
    const std::string tricky = std::string("a'b\"c\\d\ne\u2028f\xF0\x9F\x8E\xA7") + '\0' + "g";
    auto echoed = evaluate(*view, "'" + std::string("a\\'b\"c\\\\d\\ne\\u2028f\\u{1F3A7}\\0g") + "'");
    EXPECT_EQ(echoed.result, Json(tricky));
    auto length = evaluate(*view, std::string("'x\0y'", 5) + ".length");
    EXPECT_EQ(length.result, Json(3));
}

TEST(WebView, PageScriptsRunInDocumentOrderThenTheDelegateHearsOfTheLoad) {
    auto view = WebView::create();
    auto delegate = std::make_shared<Navigations>();
    view->setNavigationDelegate(delegate);
    DebugCapture capture;

    std::optional<Json> traceAtFinish;
    delegate->onFinish = [&] {
        view->evaluateJavaScript("trace", [&](const std::optional<Json>& r, const std::optional<ScriptError>&) {
            traceAtFinish = r;
        });
    };
    const Navigation navigation = view->loadFileURL(kPages / "order.html");
    EXPECT_TRUE(delegate->finished.empty());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return traceAtFinish.has_value(); }, 5));

    EXPECT_EQ(delegate->finished, std::vector<Navigation>{navigation});
    EXPECT_EQ(*traceAtFinish, Json::parse(R"(["inline-1","first.js","inline-2","inline-3 </p>"])"));
    EXPECT_TRUE(capture.contains("boom"));
    EXPECT_TRUE(capture.contains("missing.js"));
    EXPECT_TRUE(view->hasLoadedPage());
}

TEST(WebView, LoadingReplacesThePageAndAScriptFileIsAPage) {
    auto view = WebView::create();
    auto delegate = std::make_shared<Navigations>();
    auto recorder = std::make_shared<Recorder>();
    view->setNavigationDelegate(delegate);
    view->configuration().userContentController->add(recorder, "ready");

    view->evaluateJavaScript("var leftover = 1;");
    view->loadFileURL(kPages / "standalone.js");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finished.size() == 1; }, 5));
    ASSERT_EQ(recorder->messages.size(), 1u);
    EXPECT_EQ(recorder->messages[0].body, Json::parse(R"({"from":"standalone.js"})"));
    EXPECT_EQ(evaluate(*view, "typeof leftover").result, Json("undefined"));

    // Two loads in a row: only the second runs.
    view->loadHTMLString("<script>var which = 'first';</script>", kPages);
    const Navigation second = view->loadHTMLString("<script>var which = 'second';</script>", kPages);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->finished.size() == 2; }, 5));
    EXPECT_EQ(delegate->finished.back(), second);
    EXPECT_EQ(evaluate(*view, "which").result, Json("second"));

    view->loadFileURL(kPages / "does-not-exist.html");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->failed.size() == 1; }, 5));
    EXPECT_EQ(delegate->finished.size(), 2u);
}

TEST(WebView, TimersRunOnTheRunLoopClockAndDieWithTheirPage) {
    RunLoop::main().useManualClock();
    auto view = WebView::create();
    view->evaluateJavaScript(
        "var fired = [];"
        "setTimeout(function (a, b) { fired.push('t1500:' + a + b); }, 1500, 'x', 'y');"
        "var cancelled = setTimeout(function () { fired.push('cancelled'); }, 1000);"
        "setTimeout(\"fired.push('code')\", 500);"
        "clearTimeout(cancelled);");
    EXPECT_EQ(view->pendingTimerCount(), 2u);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(evaluate(*view, "fired").result, Json::array());
    RunLoop::main().advance(1.0);
    EXPECT_EQ(evaluate(*view, "fired").result, Json::parse(R"(["code"])"));
    RunLoop::main().advance(0.5);
    EXPECT_EQ(evaluate(*view, "fired").result, Json::parse(R"(["code","t1500:xy"])"));
    EXPECT_EQ(view->pendingTimerCount(), 0u);

    // A timer of a replaced page never fires into the new one.
    auto recorder = std::make_shared<Recorder>();
    view->configuration().userContentController->add(recorder, "tick");
    view->evaluateJavaScript("setTimeout(() => webkit.messageHandlers.tick.postMessage('old'), 100);");
    view->loadHTMLString("<script>setTimeout(() => webkit.messageHandlers.tick.postMessage('new'), 200);</script>",
                         kPages);
    RunLoop::main().runUntilIdle();
    RunLoop::main().advance(1.0);
    ASSERT_EQ(recorder->messages.size(), 1u);
    EXPECT_EQ(recorder->messages[0].body, Json("new"));
}

TEST(WebView, PendingWorkOfAViewThatWentAwayIsDropped) {
    RunLoop::main().useManualClock();
    auto recorder = std::make_shared<Recorder>();
    auto controller = UserContentController::create();
    controller->add(recorder, "late");
    bool completed = false;
    {
        auto view = WebView::create(WebViewConfiguration{controller});
        view->evaluateJavaScript("webkit.messageHandlers.late.postMessage(1); setTimeout(() => {}, 10);");
        view->evaluateJavaScript("1", [&](auto&, auto&) { completed = true; });
        view->loadHTMLString("<script>webkit.messageHandlers.late.postMessage(2)</script>", kPages);
    }
    RunLoop::main().runUntilIdle();
    RunLoop::main().advance(1.0);
    EXPECT_TRUE(recorder->messages.empty());
    EXPECT_TRUE(completed) << "an evaluation that ran still completes";
}

TEST(WebView, UserScriptsRunAroundThePageScripts) {
    auto view = WebView::create();
    auto delegate = std::make_shared<Navigations>();
    view->setNavigationDelegate(delegate);
    auto controller = view->configuration().userContentController;
    controller->addUserScript({"var order = ['start'];", UserScriptInjectionTime::atDocumentStart});
    controller->addUserScript({"order.push('end');", UserScriptInjectionTime::atDocumentEnd});
    view->loadHTMLString("<script>order.push('page')</script>", kPages);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !delegate->finished.empty(); }, 5));
    EXPECT_EQ(evaluate(*view, "order").result, Json::parse(R"(["start","page","end"])"));
}

TEST(HTMLScripts, FindsClassicScriptsInDocumentOrder) {
    auto scripts = extractScripts(
        "<scripts>no</scripts><script async src=\"a.js\"></script>"
        "<!-- <script>hidden()</script> -->"
        "<script type=module>mod()</script>"
        "<script data-x='a>b'>one('</div>')</script >"
        "<script type=\" TEXT/JavaScript \">two()</SCRIPT>"
        "<script>unterminated()");
    ASSERT_EQ(scripts.size(), 4u);
    EXPECT_EQ(scripts[0].src, "a.js");
    EXPECT_EQ(scripts[1].text, "one('</div>')");
    EXPECT_EQ(scripts[2].text, "two()");
    EXPECT_EQ(scripts[3].text, "unterminated()");
    EXPECT_TRUE(extractScripts("<p>no scripts</p><!-- <script>x</script>").empty());
}

}  // namespace
