#include "hosts/gtk/GtkWindowHost.hpp"

#include <gtk/gtk.h>

#include <atomic>
#include <cmath>
#include <optional>

#include "platform/core/RunLoop.hpp"

namespace orvane::hosts {

using platform::core::RunLoop;
using platform::ui::TouchPhase;

// ---- The run loop inside GLib's main loop ----

namespace {

// What GLib holds for our run loop: at most one idle source queued by the
// wake-up hook (from any thread) and one timeout at the loop's next deadline
// (GTK's thread only). Never destroyed: other threads may post while the
// process exits.
struct LoopGlue {
    std::atomic<bool> idleQueued{false};
    guint timeout = 0;
    double timeoutDeadline = 0;
};

LoopGlue& glue() {
    static auto* g = new LoopGlue;
    return *g;
}

void runDueTasks();

gboolean onIdle(gpointer) {
    runDueTasks();
    return G_SOURCE_REMOVE;
}

gboolean onTimeout(gpointer) {
    glue().timeout = 0;
    runDueTasks();
    return G_SOURCE_REMOVE;
}

// Runs what is due, then sleeps GLib until the next deadline (a post wakes
// it earlier through the hook).
void runDueTasks() {
    auto& g = glue();
    // Cleared before running: what the tasks post queues a new idle.
    g.idleQueued = false;
    auto& loop = RunLoop::main();
    loop.runUntilIdle();
    const auto next = loop.nextDeadline();
    if (g.timeout != 0 && (!next || *next != g.timeoutDeadline)) {
        g_source_remove(g.timeout);
        g.timeout = 0;
    }
    if (next && g.timeout == 0) {
        const double delay = std::max(0.0, *next - loop.now());
        g.timeoutDeadline = *next;
        g.timeout = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(std::ceil(delay * 1000)), onTimeout,
                                       nullptr, nullptr);
    }
}

}  // namespace

void GtkWindowHost::attachRunLoop() {
    static bool attached = false;
    if (attached) return;
    attached = true;
    RunLoop::main().setWakeUpHook([] {
        // g_idle_add is safe from any thread and wakes GLib's loop.
        if (!glue().idleQueued.exchange(true)) g_idle_add(onIdle, nullptr);
    });
    glue().idleQueued = true;
    g_idle_add(onIdle, nullptr);
}

// ---- The drawing area ----

struct GtkWindowHost::State {
    std::shared_ptr<platform::ui::Window> window;
    GtkWidget* area = nullptr;
    long frames = 0;
    double dragStartX = 0, dragStartY = 0;
    // The run loop's clock minus the events' clock (GDK's milliseconds), the
    // least seen: an event stamped with it is timed when it happened, not
    // when the main loop got round to it.
    std::optional<double> eventClockOffset;
    guint32 lastEventTime = 0;
    static constexpr int kPointerTouch = 1;

    double scale() const { return std::max(1, gtk_widget_get_scale_factor(area)); }

    static void draw(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
        auto* self = static_cast<State*>(data);
        auto& window = *self->window;
        window.renderFrame();
        ++self->frames;
        if (cairo_surface_t* surface = window.backingSurface()) {
            cairo_save(cr);
            cairo_scale(cr, 1 / window.scale(), 1 / window.scale());
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
        }
    }

    // GTK drops a redraw asked for while the area draws, and the window asks
    // for its next frame at the end of the one it draws (while animating):
    // the request is passed on from the main loop's next turn.
    static void requestFrame(GtkWidget* area) {
        g_idle_add_full(
            G_PRIORITY_HIGH_IDLE,
            [](gpointer widget) -> gboolean {
                gtk_widget_queue_draw(GTK_WIDGET(widget));
                return G_SOURCE_REMOVE;
            },
            g_object_ref(area), g_object_unref);
    }

    static void resized(GtkDrawingArea*, int width, int height, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->window->setScale(self->scale());
        self->window->setSize({static_cast<double>(width), static_cast<double>(height)});
        gtk_widget_queue_draw(self->area);
    }

    static void scaleChanged(GObject*, GParamSpec*, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->window->setScale(self->scale());
        gtk_widget_queue_draw(self->area);
    }

    // When the gesture's current event happened, on the run loop's clock
    // (none when the event has no time).
    std::optional<double> eventTimestamp(GtkGesture* gesture) {
        const guint32 time = gtk_event_controller_get_current_event_time(GTK_EVENT_CONTROLLER(gesture));
        if (time == GDK_CURRENT_TIME) return std::nullopt;
        const double now = RunLoop::main().now();
        const double seconds = time / 1000.0;
        // A clock that went back (it wraps after 49 days) starts afresh.
        if (time < lastEventTime) eventClockOffset.reset();
        lastEventTime = time;
        if (!eventClockOffset || now - seconds < *eventClockOffset) eventClockOffset = now - seconds;
        return seconds + *eventClockOffset;
    }

    void touch(GtkGesture* gesture, TouchPhase phase, double x, double y) {
        window->sendTouch(kPointerTouch, phase, {x, y}, eventTimestamp(gesture));
        // What the touch posted runs before GTK sleeps again.
        RunLoop::main().runUntilIdle();
    }

    static void dragBegin(GtkGestureDrag* drag, double x, double y, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->dragStartX = x;
        self->dragStartY = y;
        self->touch(GTK_GESTURE(drag), TouchPhase::began, x, y);
    }
    static void dragUpdate(GtkGestureDrag* drag, double dx, double dy, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->touch(GTK_GESTURE(drag), TouchPhase::moved, self->dragStartX + dx, self->dragStartY + dy);
    }
    static void dragEnd(GtkGestureDrag* drag, double dx, double dy, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->touch(GTK_GESTURE(drag), TouchPhase::ended, self->dragStartX + dx, self->dragStartY + dy);
    }
    static void cancelled(GtkGesture* gesture, GdkEventSequence*, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->touch(gesture, TouchPhase::cancelled, self->dragStartX, self->dragStartY);
    }
};

GtkWindowHost::GtkWindowHost(std::shared_ptr<platform::ui::Window> window) : state_(std::make_shared<State>()) {
    state_->window = std::move(window);
    GtkWidget* area = gtk_drawing_area_new();
    // Ours until the destructor; the host's container takes its own reference.
    state_->area = GTK_WIDGET(g_object_ref_sink(area));
    State* raw = state_.get();
    const auto size = state_->window->size();
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(area), static_cast<int>(size.width));
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(area), static_cast<int>(size.height));
    gtk_widget_set_hexpand(area, TRUE);
    gtk_widget_set_vexpand(area, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), State::draw, raw, nullptr);
    g_signal_connect(area, "resize", G_CALLBACK(State::resized), raw);
    g_signal_connect(area, "notify::scale-factor", G_CALLBACK(State::scaleChanged), raw);

    GtkGesture* drag = gtk_gesture_drag_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(drag), GDK_BUTTON_PRIMARY);
    g_signal_connect(drag, "drag-begin", G_CALLBACK(State::dragBegin), raw);
    g_signal_connect(drag, "drag-update", G_CALLBACK(State::dragUpdate), raw);
    g_signal_connect(drag, "drag-end", G_CALLBACK(State::dragEnd), raw);
    g_signal_connect(drag, "cancel", G_CALLBACK(State::cancelled), raw);
    gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(drag));

    // The window asks for a frame when it has something to draw; the area
    // draws it at GTK's next frame.
    state_->window->setFrameRequestHandler([area] { State::requestFrame(area); });
}

GtkWindowHost::~GtkWindowHost() {
    GtkWidget* area = state_->area;
    state_->window->setFrameRequestHandler({});
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area), nullptr, nullptr, nullptr);
    g_signal_handlers_disconnect_by_data(area, state_.get());
    for (GListModel* controllers = gtk_widget_observe_controllers(area); controllers;) {
        // Our drag gesture is the area's only controller.
        const guint count = g_list_model_get_n_items(controllers);
        for (guint i = count; i > 0; --i) {
            auto* controller = GTK_EVENT_CONTROLLER(g_list_model_get_item(controllers, i - 1));
            g_signal_handlers_disconnect_by_data(controller, state_.get());
            gtk_widget_remove_controller(area, controller);
            g_object_unref(controller);
        }
        g_object_unref(controllers);
        break;
    }
    g_object_unref(area);
}

GtkWidget* GtkWindowHost::widget() const { return state_->area; }
const std::shared_ptr<platform::ui::Window>& GtkWindowHost::window() const { return state_->window; }
long GtkWindowHost::framesDrawn() const { return state_->frames; }

}  // namespace orvane::hosts
