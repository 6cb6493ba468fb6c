#include "orvane/widget/OVWebView.hpp"

#include <gtest/gtest.h>

#include "orvane/coordinator/Orvane.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;
using testsupport::WidgetPage;
using widgettest::RecordingObserver;
using widgettest::settle;

TEST(WidgetWebView, RegistersTheSixMessagesOfTheWidget) {
    auto view = orvane::OVWebView::create();
    EXPECT_EQ(view->configuration().userContentController->handlerNames(),
              (std::vector<std::string>{"getCurrentTime", "pause", "play", "setCurrentTime", "setSource", "stateUpdate"}));
    EXPECT_EQ(view->navigationDelegate(), view);
    EXPECT_EQ(orvane::OVWebView::LISTENER,
              "    window.__orvaneGlobal__.store.subscribe(() => {\n"
              "        webkit.messageHandlers.stateUpdate.postMessage(\n"
              "            window.__orvaneGlobal__.store.getState()\n"
              "        );\n"
              "    });");
}

TEST(WidgetWebView, EachLoadInjectsTheListenerAgainWithoutRestarting) {
    WidgetPage page;
    page.injectListener();
    widgettest::attach(page);
    auto coordinator = orvane::Orvane::shared().coordinator();
    auto observer = std::make_shared<RecordingObserver>();
    OVWidgetManager::shared().addObserver(observer);

    page.view->loadFileURL(testsupport::widgetDirectory() / "widget.html");
    RunLoop::main().runUntilIdle();
    page.dispatch("{ type: 'PLAYER_TOGGLE_READ_MORE' }");
    settle();
    EXPECT_TRUE(observer->times.empty()) << "the new page has no listener yet";

    RunLoop::main().advance(2.0);
    page.dispatch("{ type: 'PLAYER_TOGGLE_READ_MORE' }");
    settle();
    EXPECT_EQ(observer->times.size(), 1u);
    EXPECT_EQ(orvane::Orvane::shared().coordinator(), coordinator);
    EXPECT_EQ(OVWidgetManager::shared().webView(), page.view);
}

TEST(WidgetWebView, AnotherNavigationDelegateMeansNoListener) {
    WidgetPage page;
    struct Other : platform::web::NavigationDelegate {
        int finished = 0;
        void webViewDidFinish(platform::web::WebView&, platform::web::Navigation) override { ++finished; }
    };
    auto other = std::make_shared<Other>();
    page.view->setNavigationDelegate(other);
    auto observer = std::make_shared<RecordingObserver>();
    OVWidgetManager::shared().addObserver(observer);
    testing::internal::CaptureStdout();
    page.injectListener();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    page.dispatch("{ type: 'PLAYER_TOGGLE_READ_MORE' }");
    settle();
    EXPECT_EQ(other->finished, 1);
    EXPECT_TRUE(observer->times.empty());
}

TEST(WidgetWebView, SendPrintsTheScriptThenEvaluatesIt) {
    WidgetPage page;
    page.injectListener();
    platform::core::DebugCapture capture;
    std::optional<Json> result;
    page.view->send("1 + 'a\"b'", [&](const std::optional<Json>& r, auto&) { result = r; });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return result.has_value(); }, 5));
    EXPECT_EQ(*result, Json("1a\"b"));
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"\"SDK -> WIDGET\" \"1 + 'a\\\"b'\""});
}

}  // namespace
