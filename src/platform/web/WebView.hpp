// A web view without rendering: each page is a JavaScriptCore global context
// whose global object is also `window`. Loading a page runs its <script>
// elements in document order (inline ones and `src` files relative to the
// page), or one script file. Page scripts get
// `webkit.messageHandlers.<name>.postMessage(body)` for the handlers of the
// configuration's user content controller, and `setTimeout`/`clearTimeout`
// on the main run loop's clock.
//
// Main-thread only. Made with `create` and owned through shared_ptr; pending
// work (message deliveries, timers, load steps) holds the view weakly, so a
// view that goes away simply stops. The navigation delegate is held weakly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Json.hpp"
#include "platform/web/NavigationDelegate.hpp"
#include "platform/web/UserContentController.hpp"

namespace platform::web {

struct WebViewConfiguration {
    std::shared_ptr<UserContentController> userContentController = UserContentController::create();
};

// An error thrown by an evaluated script (or a result that has no JSON form).
struct ScriptError {
    std::string message;     // "ReferenceError: Can't find variable: x"
    std::string sourceURL;   // empty for evaluated scripts
    int line = 0;            // 0 when unknown

    // "message (sourceURL:line)", or the message alone.
    std::string description() const;
};

class WebView : public std::enable_shared_from_this<WebView> {
protected:
    struct Token {
        explicit Token() = default;
    };
    // Completes a view made with make_shared (subclasses call it from their
    // own factory): attaches it to its user content controller.
    void finishCreation();

public:
    // Result of an evaluation: the JSON form of the script's value (none for
    // undefined and values without a JSON form), or the error it threw.
    using EvaluationCompletion =
        std::function<void(const std::optional<core::Json>& result, const std::optional<ScriptError>& error)>;

    static std::shared_ptr<WebView> create(WebViewConfiguration configuration = {});

    WebView(Token, WebViewConfiguration configuration);
    virtual ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    const WebViewConfiguration& configuration() const { return configuration_; }

    std::shared_ptr<NavigationDelegate> navigationDelegate() const { return navigationDelegate_.lock(); }
    void setNavigationDelegate(std::weak_ptr<NavigationDelegate> delegate) { navigationDelegate_ = std::move(delegate); }

    // Runs `script` in the current page now; the completion (if any) comes
    // later on the main queue. Before any load the page is empty but usable.
    virtual void evaluateJavaScript(const std::string& script, EvaluationCompletion completion = nullptr);

    // Starts loading a page. The load itself happens on the main queue: a new
    // page replaces the current one (its pending timers are dropped), the
    // scripts run in order (an uncaught error is printed and the next script
    // still runs), then the delegate hears `webViewDidFinish` asynchronously.
    // A load started before the previous one ran replaces it.
    Navigation loadHTMLString(std::string html, std::filesystem::path baseDirectory);
    // An HTML file (scripts relative to its folder) or, for a ".js" file, that
    // one script.
    Navigation loadFileURL(std::filesystem::path file);

    // Whether the web view has run a page load (false for the initial blank page).
    bool hasLoadedPage() const { return loadedNavigation_.has_value(); }
    // Number of timers the page has scheduled and not yet run or cleared.
    std::size_t pendingTimerCount() const;

private:
    friend class UserContentController;
    struct Page;

    // Sources of a page to run, in order.
    struct PageScript {
        std::string source;
        std::string sourceURL;
        std::optional<std::string> loadError;  // a src= file that could not be read
    };

    static std::vector<PageScript> collectScripts(std::string_view html, const std::filesystem::path& base);
    void startLoad(Navigation navigation, std::vector<PageScript> scripts);
    void failLoad(Navigation navigation, NavigationError error);
    void replacePage();
    void runPageScript(const std::string& source, const std::string& sourceURL);
    void messageHandlersChanged();
    void firePageTimer(std::uint64_t pageGeneration, int timerId);

    WebViewConfiguration configuration_;
    std::weak_ptr<NavigationDelegate> navigationDelegate_;
    std::unique_ptr<Page> page_;
    std::uint64_t pageGeneration_ = 0;
    Navigation lastNavigation_ = 0;
    std::optional<Navigation> loadedNavigation_;
};

}  // namespace platform::web
