// Test helper: an OVWebView showing the reference widget page, with a manual
// clock on the main run loop so the 2 s listener injection passes without
// waiting. Header-only; main thread.
//
//   WidgetPage page;            // loads widget.html (built-in demo state)
//   page.injectListener();      // runs the load and moves the clock 2 s on
//   page.evaluate("window.__orvaneGlobal__.debug.actions");
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"

namespace testsupport {

inline std::filesystem::path widgetDirectory() {
    return std::filesystem::path(ORVANE_SOURCE_DIR) / "tests/support/widget";
}

// A page that sets the widget's initial state, then loads the reference widget.
inline std::string widgetPageHTML(const platform::core::Json& initialState) {
    std::string json = initialState.dump(-1, ' ', true);
    // Keep "</script" out of the inline script.
    for (std::size_t at = json.find("</"); at != std::string::npos; at = json.find("</", at + 3)) {
        json.replace(at, 2, "<\\/");
    }
    return "<!doctype html><html><body>\n<script>window.__orvaneInitialState__ = " + json +
           ";</script>\n<script src=\"reference-widget.js\"></script>\n</body></html>\n";
}

class WidgetPage {
public:
    using Json = platform::core::Json;

    explicit WidgetPage(std::optional<Json> initialState = std::nullopt, bool manualClock = true) {
        if (manualClock && !dynamic_cast<platform::core::ManualClock*>(&platform::core::RunLoop::main().clock())) {
            platform::core::RunLoop::main().useManualClock();
        }
        // A host makes the facade, which installs the layers' hooks, before it
        // shows the page: the page's first message restarts the component.
        orvane::installLayerHooks();
        view = orvane::OVWebView::create();
        if (initialState) {
            view->loadHTMLString(widgetPageHTML(*initialState), widgetDirectory());
        } else {
            view->loadFileURL(widgetDirectory() / "widget.html");
        }
    }

    // Runs the load, then moves the clock past the listener injection.
    void injectListener() {
        platform::core::RunLoop::main().runUntilIdle();
        platform::core::RunLoop::main().advance(2.0);
        platform::core::RunLoop::main().runUntilIdle();
    }

    // Evaluates directly in the page (not through the bridge) and waits.
    Json evaluate(const std::string& script) {
        bool done = false;
        std::optional<Json> result;
        std::optional<platform::web::ScriptError> error;
        view->evaluateJavaScript(script, [&](const std::optional<Json>& r, const std::optional<platform::web::ScriptError>& e) {
            result = r;
            error = e;
            done = true;
        });
        EXPECT_TRUE(platform::core::RunLoop::main().runUntil([&] { return done; }, 5));
        EXPECT_FALSE(error) << error->description() << " in " << script;
        return result.value_or(Json());
    }

    Json debug(const std::string& member) { return evaluate("window.__orvaneGlobal__.debug." + member); }
    Json state() { return evaluate("window.__orvaneGlobal__.store.getState()"); }
    void dispatch(const std::string& action) {
        evaluate("window.__orvaneGlobal__.store.dispatch(" + action + "); undefined");
    }

    std::shared_ptr<orvane::OVWebView> view;
};

}  // namespace testsupport
