#include "DemoWindow.hpp"

#if ORVANE_DEMO_GTK
#include <gtk/gtk.h>

#include "hosts/gtk/GtkWindowHost.hpp"
#endif

namespace demo {

#if ORVANE_DEMO_GTK

bool windowAvailable() { return gtk_init_check(); }

void runInWindow(const std::shared_ptr<platform::ui::Window>& window, const std::string& title,
                 const std::function<void()>& shown) {
    orvane::hosts::GtkWindowHost::attachRunLoop();
    orvane::hosts::GtkWindowHost host(window);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    GtkWidget* top = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(top), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(top), static_cast<int>(window->size().width),
                                static_cast<int>(window->size().height));
    gtk_window_set_child(GTK_WINDOW(top), host.widget());
    g_signal_connect_swapped(top, "destroy", G_CALLBACK(g_main_loop_quit), loop);
    gtk_window_present(GTK_WINDOW(top));
    if (shown) shown();
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
}

#else

bool windowAvailable() { return false; }

void runInWindow(const std::shared_ptr<platform::ui::Window>&, const std::string&, const std::function<void()>&) {}

#endif

}  // namespace demo
