#include "platform/ui/views/Application.hpp"

#include <algorithm>
#include <cctype>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

Application& Application::shared() {
    static core::NoDestructor<Application> application{std::in_place, [] { return Application(); }};
    return *application;
}

void Application::addWindow(const std::shared_ptr<Window>& window) {
    if (!window) return;
    std::erase_if(windows_, [&](const std::weak_ptr<Window>& w) { return w.expired() || w.lock() == window; });
    windows_.push_back(window);
}

std::vector<std::shared_ptr<Window>> Application::windows() {
    std::erase_if(windows_, [](const std::weak_ptr<Window>& w) { return w.expired(); });
    std::vector<std::shared_ptr<Window>> result;
    for (const auto& w : windows_) {
        if (auto s = w.lock()) result.push_back(std::move(s));
    }
    return result;
}

std::shared_ptr<Window> Application::keyWindow() {
    if (auto key = keyWindow_.lock()) return key;
    auto all = windows();
    return all.empty() ? nullptr : all.front();
}

Rect Application::statusBarFrame() {
    auto key = keyWindow();
    return key ? key->statusBarFrame() : Rect::zero();
}

bool Application::open(const std::string& url, std::function<void(bool)> completion) {
    const auto colon = url.find(':');
    bool valid = colon != std::string::npos && colon > 0 &&
                 std::isalpha(static_cast<unsigned char>(url[0])) &&
                 std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
                     const auto u = static_cast<unsigned char>(c);
                     return std::isalnum(u) || c == '+' || c == '-' || c == '.';
                 });
    if (valid) {
        openedURLs_.push_back(url);
    } else {
        core::debugPrint("Application: not a URL, not opened: " + url);
    }
    if (completion) completion(valid);
    return valid;
}

void Application::hapticFeedback(HapticFeedbackStyle style) {
    ++hapticCount_;
    ++hapticCounts_[style];
}

int Application::hapticFeedbackCount(HapticFeedbackStyle style) const {
    auto it = hapticCounts_.find(style);
    return it == hapticCounts_.end() ? 0 : it->second;
}

}  // namespace platform::ui
