// The user content controller of a web view configuration: script message
// handlers by name (held strongly, as the platform does) and user scripts run
// at the start or the end of every page load. It may be shared by several web
// views; each sees registration changes at once. Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/web/ScriptMessage.hpp"

namespace platform::web {

enum class UserScriptInjectionTime { atDocumentStart, atDocumentEnd };

struct UserScript {
    std::string source;
    UserScriptInjectionTime injectionTime = UserScriptInjectionTime::atDocumentEnd;
};

class UserContentController {
public:
    static std::shared_ptr<UserContentController> create();

    // Registers `handler` under `name`; page scripts then find
    // `webkit.messageHandlers.<name>`. Replaces any handler of that name.
    void add(std::shared_ptr<ScriptMessageHandler> handler, const std::string& name);
    void removeScriptMessageHandler(const std::string& name);
    void removeAllScriptMessageHandlers();
    std::shared_ptr<ScriptMessageHandler> handler(const std::string& name) const;
    // Registered names, sorted.
    std::vector<std::string> handlerNames() const;

    void addUserScript(UserScript script);
    void removeAllUserScripts();
    const std::vector<UserScript>& userScripts() const { return userScripts_; }

private:
    friend class WebView;
    UserContentController() = default;
    void attach(const std::shared_ptr<WebView>& view);
    void notifyViews();

    std::unordered_map<std::string, std::shared_ptr<ScriptMessageHandler>> handlers_;
    std::vector<UserScript> userScripts_;
    std::vector<std::weak_ptr<WebView>> views_;
};

}  // namespace platform::web
