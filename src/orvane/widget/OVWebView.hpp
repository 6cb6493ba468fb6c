// The web view in which the host shows the publisher's page with the
// listening widget. It registers itself for the widget's six messages,
// forwards each to the bridge (making itself the bridge's web view, and
// restarting the component, the first time a message comes from it), and
// after every finished page load injects, 2 s later, the script that makes
// the widget post its whole state on every change. The bridge's scripts are
// evaluated through `send(js, completionHandler)`.
//
// Made by the host with `create()`; main-thread only. Its message handlers
// hold it weakly, so only its owners (the host, the bridge) keep it alive.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/web/NavigationDelegate.hpp"
#include "platform/web/ScriptMessage.hpp"
#include "platform/web/WebView.hpp"

namespace orvane {

// What a host may watch on a view: every widget message as it arrives,
// before the bridge handles it, and every script the component sends to the
// page. Held weakly by the view; called on the main thread.
class OVWebViewObserver {
public:
    virtual ~OVWebViewObserver() = default;
    virtual void webViewDidReceive(const platform::web::ScriptMessage& message) = 0;
    virtual void webViewWillSend(const std::string& javascript) = 0;
};

class OVWebView final : public platform::web::WebView,
                        public platform::web::ScriptMessageHandler,
                        public platform::web::NavigationDelegate {
public:
    // The state-listener script.
    static constexpr std::string_view LISTENER =
        "    window.__orvaneGlobal__.store.subscribe(() => {\n"
        "        webkit.messageHandlers.stateUpdate.postMessage(\n"
        "            window.__orvaneGlobal__.store.getState()\n"
        "        );\n"
        "    });";

    // A new view with its own configuration and user content controller.
    // (A view cannot be made from a configuration given by the host: it
    // would not register its handlers.)
    static std::shared_ptr<OVWebView> create();

    explicit OVWebView(Token token);

    // What restarts the component when a view first sends a message: the
    // facade, which sits above the widget layer, installs it when it is made
    // (`installLayerHooks()`). None installed: nothing restarts. Any thread.
    using ComponentStarter = void (*)();
    static void installComponentStarter(ComponentStarter starter);

    void setObserver(std::weak_ptr<OVWebViewObserver> observer) { observer_ = std::move(observer); }

    // Debug prints "SDK -> WIDGET" and the script, then evaluates it.
    void send(const std::string& js, EvaluationCompletion completionHandler = nullptr);

    void userContentController(platform::web::UserContentController& controller,
                               const platform::web::ScriptMessage& message) override;
    // The same, keeping the message's body without a copy.
    void receiveMessage(platform::web::UserContentController& controller,
                        platform::web::ScriptMessage&& message) override;
    void webViewDidFinish(platform::web::WebView& webView, platform::web::Navigation navigation) override;

private:
    void initialize();

    std::weak_ptr<OVWebViewObserver> observer_;
};

}  // namespace orvane
