#include "platform/web/UserContentController.hpp"

#include <algorithm>

#include "platform/core/RunLoop.hpp"
#include "platform/web/WebView.hpp"

namespace platform::web {

std::shared_ptr<UserContentController> UserContentController::create() {
    return std::shared_ptr<UserContentController>(new UserContentController());
}

void UserContentController::add(std::shared_ptr<ScriptMessageHandler> handler, const std::string& name) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!handler) return;
    handlers_[name] = std::move(handler);
    notifyViews();
}

void UserContentController::removeScriptMessageHandler(const std::string& name) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (handlers_.erase(name) > 0) notifyViews();
}

void UserContentController::removeAllScriptMessageHandlers() {
    PLATFORM_ASSERT_MAIN_THREAD();
    handlers_.clear();
    notifyViews();
}

std::shared_ptr<ScriptMessageHandler> UserContentController::handler(const std::string& name) const {
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : it->second;
}

std::vector<std::string> UserContentController::handlerNames() const {
    std::vector<std::string> names;
    names.reserve(handlers_.size());
    for (const auto& [name, handler] : handlers_) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

void UserContentController::addUserScript(UserScript script) {
    PLATFORM_ASSERT_MAIN_THREAD();
    userScripts_.push_back(std::move(script));
}

void UserContentController::removeAllUserScripts() {
    PLATFORM_ASSERT_MAIN_THREAD();
    userScripts_.clear();
}

void UserContentController::attach(const std::shared_ptr<WebView>& view) {
    std::erase_if(views_, [](const std::weak_ptr<WebView>& v) { return v.expired(); });
    views_.push_back(view);
}

void UserContentController::notifyViews() {
    std::erase_if(views_, [](const std::weak_ptr<WebView>& v) { return v.expired(); });
    // A copy: a view may attach or go while being told.
    auto views = views_;
    for (const auto& weak : views) {
        if (auto view = weak.lock()) view->messageHandlersChanged();
    }
}

}  // namespace platform::web
