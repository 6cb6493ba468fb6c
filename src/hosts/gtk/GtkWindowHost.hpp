// Shows a kit window inside a GTK 4 application: an area of its own that our
// renderer draws at the monitor's scale, handing GTK only the tiles of the
// window's kept surface that a frame redrew; whose pointer and touch events
// become the window's touches, whose wheel and touchpad scrolling moves the
// window's scroll views under the pointer, and whose size becomes the
// window's. The
// component's main run loop runs inside GLib's main loop: it is woken when a
// task is posted and at its next deadline, never polled.
//
// Part of the optional library `orvane-gtk` (built when GTK 4 is found);
// a host links it beside `orvane` and calls everything on GTK's thread,
// which becomes the component's main thread.
#pragma once

#include <memory>

#include "platform/ui/views/Window.hpp"

typedef struct _GtkWidget GtkWidget;

namespace orvane::hosts {

class GtkWindowHost {
public:
    // Runs the component's main run loop inside GLib's default main context
    // from now on. Idempotent; call it on GTK's thread after gtk_init.
    static void attachRunLoop();

    // An area showing `window`; the window takes the area's size and
    // scale from now on and asks the area for a frame when it has something
    // to draw. The area is floating (GTK's ownership rules): put it in a
    // container or window. The host keeps this object as long as the area
    // is shown.
    explicit GtkWindowHost(std::shared_ptr<platform::ui::Window> window);
    ~GtkWindowHost();
    GtkWindowHost(const GtkWindowHost&) = delete;
    GtkWindowHost& operator=(const GtkWindowHost&) = delete;

    GtkWidget* widget() const;
    const std::shared_ptr<platform::ui::Window>& window() const;

    // Frames drawn so far (each draw of the area that rendered the window).
    long framesDrawn() const;
    // The area (points) of the tiles the last frame handed GTK as changed;
    // empty when it changed none.
    platform::ui::Rect lastFrameChangedArea() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace orvane::hosts
