// The application object: what the component asks of the host application
// itself. Its windows (the first one living is the key window unless one
// is made key), the status bar frame, the URLs it was asked to open (kept
// in order), haptic feedback (counted) and the delivery of remote-control
// events. Main-thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Geometry.hpp"

namespace platform::ui {

class Window;

enum class HapticFeedbackStyle { light, medium, heavy, selection, success, warning, error };

class Application {
public:
    static Application& shared();

    void beginReceivingRemoteControlEvents() {
        receiving_ = true;
        ++beginCount_;
    }
    void endReceivingRemoteControlEvents() { receiving_ = false; }
    bool isReceivingRemoteControlEvents() const { return receiving_; }
    int beginCount() const { return beginCount_; }

    // ---- Windows ----
    // Windows register themselves when made; gone ones drop out.
    void addWindow(const std::shared_ptr<Window>& window);
    std::vector<std::shared_ptr<Window>> windows();
    std::shared_ptr<Window> keyWindow();
    void makeKeyWindow(const std::shared_ptr<Window>& window) { keyWindow_ = window; }
    // The key window's status bar frame; empty without a window.
    Rect statusBarFrame();

    // ---- Opening URLs ----
    // Opens `url` when it has a scheme (letters first, then letters, digits,
    // "+", "-", "."), logging it; false otherwise. `completion` gets the
    // outcome.
    bool open(const std::string& url, std::function<void(bool)> completion = {});
    // The older call for systems before 10.0: opens as `open` does, without
    // a completion, and counts the calls made through it.
    bool openURL(const std::string& url) {
        ++openURLCount_;
        return open(url);
    }
    int openURLCount() const { return openURLCount_; }
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }

    // ---- Haptics ----
    void hapticFeedback(HapticFeedbackStyle style);
    int hapticFeedbackCount() const { return hapticCount_; }
    // Those of one style.
    int hapticFeedbackCount(HapticFeedbackStyle style) const;

private:
    Application() = default;
    bool receiving_ = false;
    int beginCount_ = 0;
    std::vector<std::weak_ptr<Window>> windows_;
    std::weak_ptr<Window> keyWindow_;
    std::vector<std::string> openedURLs_;
    int openURLCount_ = 0;
    int hapticCount_ = 0;
    std::map<HapticFeedbackStyle, int> hapticCounts_;
};

}  // namespace platform::ui
