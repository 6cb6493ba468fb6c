// Messages that page scripts post with
// `webkit.messageHandlers.<name>.postMessage(body)`, and the handler protocol
// that receives them. Messages reach their handler on the main queue, in
// posting order; the body is the JSON form of the posted value.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/core/Json.hpp"

namespace platform::web {

class WebView;
class UserContentController;

struct ScriptMessage {
    // The handler name under which the message was posted.
    std::string name;
    // The posted value as JSON (undefined becomes null).
    core::Json body;
    // The web view whose page posted the message.
    std::weak_ptr<WebView> webView;
    // Only when a text of the posted value held a lone surrogate (half of an
    // emoji, say), which `body` shows as U+FFFD: the value once more with
    // each such surrogate kept as the three bytes of its generalized UTF-8
    // form (ED A0 80 for U+D800). Not valid UTF-8: for handing a text back to
    // the page exactly as it came, not for showing it.
    std::optional<core::Json> exactBody = {};
};

class ScriptMessageHandler {
public:
    virtual ~ScriptMessageHandler() = default;
    // Called on the main thread.
    virtual void userContentController(UserContentController& controller, const ScriptMessage& message) = 0;
    // What the web view calls: the message is the handler's to keep (a large
    // body need not be copied). By default hands it to the one above.
    virtual void receiveMessage(UserContentController& controller, ScriptMessage&& message) {
        userContentController(controller, message);
    }
};

// Forwards to a handler held weakly, so that registering an object with a
// controller it (indirectly) owns does not keep that object alive. Messages
// arriving after the handler has gone are dropped.
class WeakScriptMessageHandler final : public ScriptMessageHandler {
public:
    explicit WeakScriptMessageHandler(std::weak_ptr<ScriptMessageHandler> target) : target_(std::move(target)) {}

    void userContentController(UserContentController& controller, const ScriptMessage& message) override {
        if (auto target = target_.lock()) target->userContentController(controller, message);
    }
    void receiveMessage(UserContentController& controller, ScriptMessage&& message) override {
        if (auto target = target_.lock()) target->receiveMessage(controller, std::move(message));
    }

private:
    std::weak_ptr<ScriptMessageHandler> target_;
};

}  // namespace platform::web
