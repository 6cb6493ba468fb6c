// What a web view tells its navigation delegate about page loads. Calls come
// on the main queue, asynchronously: `didFinish` after every script of the
// page has run.
#pragma once

#include <cstdint>
#include <string>

namespace platform::web {

class WebView;

// Identifies one load started by `WebView::load...`.
using Navigation = std::uint64_t;

struct NavigationError {
    std::string description;
};

class NavigationDelegate {
public:
    virtual ~NavigationDelegate() = default;
    virtual void webViewDidFinish(WebView& webView, Navigation navigation) {
        (void)webView;
        (void)navigation;
    }
    // The page could not be read; nothing of it ran.
    virtual void webViewDidFail(WebView& webView, Navigation navigation, const NavigationError& error) {
        (void)webView;
        (void)navigation;
        (void)error;
    }
};

}  // namespace platform::web
