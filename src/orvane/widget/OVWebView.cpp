#include "orvane/widget/OVWebView.hpp"

#include <atomic>
#include <cstdio>

#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"

namespace orvane {

using platform::core::Json;

namespace {

constinit std::atomic<OVWebView::ComponentStarter> componentStarter{nullptr};

}  // namespace

void OVWebView::installComponentStarter(ComponentStarter starter) {
    componentStarter.store(starter, std::memory_order_release);
}

std::shared_ptr<OVWebView> OVWebView::create() {
    auto view = std::make_shared<OVWebView>(Token{});
    view->initialize();
    return view;
}

OVWebView::OVWebView(Token token) : WebView(token, platform::web::WebViewConfiguration{}) {}

void OVWebView::initialize() {
    finishCreation();
    auto self = std::static_pointer_cast<OVWebView>(shared_from_this());
    auto forwarder = std::make_shared<platform::web::WeakScriptMessageHandler>(
        std::weak_ptr<platform::web::ScriptMessageHandler>(self));
    for (auto event : allCases<OVWidgetEvents>()) {
        configuration().userContentController->add(forwarder, std::string(rawValue(event)));
    }
    setNavigationDelegate(std::weak_ptr<platform::web::NavigationDelegate>(self));
}

void OVWebView::send(const std::string& js, EvaluationCompletion completionHandler) {
    if (OVWidgetManager::debugPrintIsEnabled && platform::core::debugOutputIsRead()) {
        platform::core::debugPrint("\"SDK -> WIDGET\" " + Json(js).dump(-1, ' ', false, Json::error_handler_t::replace));
    }
    if (auto observer = observer_.lock()) observer->webViewWillSend(js);
    evaluateJavaScript(js, std::move(completionHandler));
}

void OVWebView::userContentController(platform::web::UserContentController& controller,
                                      const platform::web::ScriptMessage& message) {
    receiveMessage(controller, platform::web::ScriptMessage(message));
}

void OVWebView::receiveMessage(platform::web::UserContentController&, platform::web::ScriptMessage&& message) {
    if (!fromRawValue<OVWidgetEvents>(message.name)) return;
    if (auto observer = observer_.lock()) observer->webViewDidReceive(message);
    auto& bridge = OVWidgetManager::shared();
    if (bridge.webView().get() != this) {
        bridge.setWebView(std::static_pointer_cast<OVWebView>(shared_from_this()));
        if (auto starter = componentStarter.load(std::memory_order_acquire)) starter();
    }
    bridge.didReceive(std::move(message));
}

void OVWebView::webViewDidFinish(platform::web::WebView&, platform::web::Navigation) {
    auto self = std::static_pointer_cast<OVWebView>(shared_from_this());
    platform::core::RunLoop::main().asyncAfter(2.0, [self] {
        self->evaluateJavaScript(std::string(LISTENER),
                                 [](const std::optional<Json>&, const std::optional<platform::web::ScriptError>& error) {
                                     const std::string line = (error ? error->description() : std::string("nil")) + "\n";
                                     std::fwrite(line.data(), 1, line.size(), stdout);
                                     std::fflush(stdout);
                                 });
    });
}

}  // namespace orvane
