// The base view controller of every page the root container shows, and the
// pages' shared static configuration: the arrow images of the buttons that
// lead back to the main page (the left one read by the discover page, the
// right one by the library page), filled by the facade when it is made.
// A page stands on a screen (`OVScreen`), which tells it when the screen's
// navigation bar is shown or hidden. Main thread only.
#pragma once

#include <optional>

#include "platform/ui/Image.hpp"
#include "platform/ui/ViewController.hpp"

namespace orvane {

class OVPage : public platform::ui::ViewController {
public:
    struct Config {
        std::optional<platform::ui::Image> navigationToMainPageLeftArrow;
        std::optional<platform::ui::Image> navigationToMainPageRightArrow;
    };
    // The one configuration of every page.
    static Config& config();

    explicit OVPage(ConstructorKey key) : ViewController(key) {}

    // Told by the page's screen, on every page of its stack, each time the
    // screen shows (true) or hides (false) its navigation bar. Nothing here.
    virtual void navigationBarDisplayChanged(bool /*to*/) {}
};

}  // namespace orvane
