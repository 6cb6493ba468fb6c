// The demo host's real window: where a display exists (and the GTK host
// adapter was built), the host's kit window is shown in a GTK window and the
// component's run loop runs inside GLib's main loop, so the listener drives
// the story with the pointer.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/views/Window.hpp"

namespace demo {

// Whether a real window can be opened here: the adapter was built and a
// display answers.
bool windowAvailable();

// Shows `window` in a window titled `title` until the listener closes it;
// meanwhile the run loop runs inside GLib's. `shown` runs once the window
// is on screen.
void runInWindow(const std::shared_ptr<platform::ui::Window>& window, const std::string& title,
                 const std::function<void()>& shown);

}  // namespace demo
