#include "orvane/widget/OVWidgetManagerOLD.hpp"

#include <gtest/gtest.h>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"

namespace {

using orvane::OVEventExpand;
using orvane::OVWidgetManagerOLD;
using platform::core::Json;
using platform::core::RunLoop;

// A web view that remembers every script it is asked to evaluate, and whose
// page has a stand-in player element recording the calls it receives.
class RecordingWebView : public platform::web::WebView {
public:
    static std::shared_ptr<RecordingWebView> make() {
        auto view = std::make_shared<RecordingWebView>(Token{});
        view->WebView::evaluateJavaScript(
            "var calls = [];"
            "var seeMore = 'seeMore', rewind = 'rewind';"
            "var document = { querySelector: function (selector) { return new Proxy({}, { get: function (_, name) {"
            "  return function () { calls.push([selector, name].concat(Array.prototype.slice.call(arguments))); };"
            "} }); } };");
        return view;
    }
    explicit RecordingWebView(Token token) : WebView(token, {}) {}

    void evaluateJavaScript(const std::string& script, EvaluationCompletion completion) override {
        scripts.push_back(script);
        WebView::evaluateJavaScript(script, std::move(completion));
    }

    std::vector<std::string> scripts;
};

Json pageCalls(platform::web::WebView& view) {
    std::optional<Json> result;
    bool done = false;
    view.WebView::evaluateJavaScript("calls", [&](const std::optional<Json>& r, auto&) {
        result = r;
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 5));
    return result.value_or(Json());
}

TEST(WidgetManagerOLD, WithoutAWebViewEveryOperationIsSilent) {
    auto& bridge = OVWidgetManagerOLD::shared();
    EXPECT_EQ(bridge.player(), "document.querySelector('orvane-dummy-player')");
    EXPECT_EQ(bridge.webView(), nullptr);
    platform::core::DebugCapture capture;
    bridge.isPlaying(true);
    bridge.event(OVEventExpand::rewind, std::nullopt);
    bridge.setClosed();
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(capture.lines().empty());
}

TEST(WidgetManagerOLD, BuildsItsFixedScriptsForTheDummyPlayer) {
    auto view = RecordingWebView::make();
    auto& bridge = OVWidgetManagerOLD::shared();
    bridge.setWebView(view);

    bridge.event(OVEventExpand::seeMore, std::nullopt);
    bridge.setClosed();
    bridge.isPlaying(true);
    bridge.isPlaying(false);
    bridge.timeLeft(42);
    bridge.event(OVEventExpand::rewind, Json(2.5));
    bridge.event("custom", std::nullopt);
    bridge.trackChanged("'t-1'");

    const std::vector<std::string> expected{
        "document.querySelector('orvane-dummy-player').collectEvent(seeMore, )",
        "document.querySelector('orvane-dummy-player').playerClose()",
        "document.querySelector('orvane-dummy-player').changePlayingStatus(true)",
        "document.querySelector('orvane-dummy-player').changePlayingStatus(false)",
        "document.querySelector('orvane-dummy-player').changeTimeLeft(42)",
        "document.querySelector('orvane-dummy-player').collectEvent(rewind, 2.5)",
        "document.querySelector('orvane-dummy-player').collectEvent(custom, )",
        "document.querySelector('orvane-dummy-player').changeSelectedTrack('t-1')",
    };
    EXPECT_EQ(view->scripts, expected);

    // The scripts are valid and reach the element the page designates.
    const Json calls = pageCalls(*view);
    ASSERT_EQ(calls.size(), 7u) << calls.dump();  // `custom` is not defined in the page
    EXPECT_EQ(calls[0], Json::parse(R"(["orvane-dummy-player","collectEvent","seeMore"])"));
    EXPECT_EQ(calls[1], Json::parse(R"(["orvane-dummy-player","playerClose"])"));
    EXPECT_EQ(calls[5], Json::parse(R"(["orvane-dummy-player","collectEvent","rewind",2.5])"));
    EXPECT_EQ(calls[6], Json::parse(R"(["orvane-dummy-player","changeSelectedTrack","t-1"])"));
    bridge.setWebView(nullptr);
}

TEST(WidgetManagerOLD, EventCaseNamesAreTheScriptNames) {
    EXPECT_EQ(orvane::caseName(OVEventExpand::fastforward), "fastforward");
    EXPECT_EQ(orvane::caseName(OVEventExpand::ctaPlatform), "ctaPlatform");
    EXPECT_EQ(orvane::caseName(OVEventExpand::recommendedContent), "recommendedContent");
}

}  // namespace
