#include "hosts/gtk/GtkWindowHost.hpp"

#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/core/RunLoop.hpp"

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

namespace orvane::hosts {

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

}  // namespace orvane::hosts

// ---- The area ----

// A widget of our own rather than a drawing area: a drawing area hands GTK
// one picture of its whole size at every frame, which GTK then takes as
// changed everywhere. This one hands GTK the window's kept surface as tiles,
// render nodes that stay the same objects while their pixels do not change,
// so that GTK's comparison of two frames finds only the tiles a frame
// redrew, and repaints and sends the display only those.
namespace {
// What the area asks of its host.
class KitAreaClient {
public:
    virtual void snapshot(GtkSnapshot* snapshot) = 0;
    virtual void allocated(int width, int height) = 0;
    virtual int contentLength(GtkOrientation orientation) const = 0;

protected:
    ~KitAreaClient() = default;
};
}  // namespace

struct OrvaneKitArea {
    GtkWidget parent;
    KitAreaClient* client;  // while the host lives
};
struct OrvaneKitAreaClass {
    GtkWidgetClass parent;
};

G_DEFINE_TYPE(OrvaneKitArea, orvane_kit_area, GTK_TYPE_WIDGET)

static KitAreaClient* kitAreaClient(GtkWidget* widget) { return reinterpret_cast<OrvaneKitArea*>(widget)->client; }

static void orvane_kit_area_snapshot(GtkWidget* widget, GtkSnapshot* snapshot) {
    if (auto* client = kitAreaClient(widget)) client->snapshot(snapshot);
}

static void orvane_kit_area_size_allocate(GtkWidget* widget, int width, int height, int) {
    if (auto* client = kitAreaClient(widget)) client->allocated(width, height);
}

// The window's size when the area was made, at best; any size at least, so
// that the window can be made smaller as well as larger.
static void orvane_kit_area_measure(GtkWidget* widget, GtkOrientation orientation, int, int* minimum, int* natural,
                                    int*, int*) {
    auto* client = kitAreaClient(widget);
    *minimum = 0;
    *natural = client ? client->contentLength(orientation) : 0;
}

static void orvane_kit_area_class_init(OrvaneKitAreaClass* klass) {
    auto* widget = GTK_WIDGET_CLASS(klass);
    widget->snapshot = orvane_kit_area_snapshot;
    widget->size_allocate = orvane_kit_area_size_allocate;
    widget->measure = orvane_kit_area_measure;
}

static void orvane_kit_area_init(OrvaneKitArea* area) { area->client = nullptr; }

namespace orvane::hosts {

struct GtkWindowHost::State final : KitAreaClient {
    std::shared_ptr<platform::ui::Window> window;
    GtkWidget* area = nullptr;
    int contentWidth = 0, contentHeight = 0;
    long frames = 0;
    double dragStartX = 0, dragStartY = 0;
    // Where the pointer is over the area (for the wheel).
    double pointerX = 0, pointerY = 0;
    // The run loop's clock minus the events' clock (GDK's milliseconds), the
    // least seen: an event stamped with it is timed when it happened, not
    // when the main loop got round to it.
    std::optional<double> eventClockOffset;
    guint32 lastEventTime = 0;
    static constexpr int kPointerTouch = 1;

    // The kept surface as tiles of kTile pixels square, row by row; each a
    // render node GTK is handed as it is until its pixels change, with the
    // copy of the pixels it shows. Made for one surface (its address and
    // size in pixels).
    static constexpr int kTile = 64;
    struct Tile {
        GskRenderNode* node = nullptr;
        cairo_surface_t* pixels = nullptr;
    };
    std::vector<Tile> tiles;
    int columns = 0, rows = 0;
    cairo_surface_t* tiledSurface = nullptr;
    int tiledWidth = 0, tiledHeight = 0;
    double tiledScale = 0;
    platform::graphics::Rect lastChanged;

    ~State() { dropTiles(); }

    double scale() const { return std::max(1, gtk_widget_get_scale_factor(area)); }

    static void release(Tile& tile) {
        if (tile.node) gsk_render_node_unref(tile.node);
        if (tile.pixels) cairo_surface_destroy(tile.pixels);
        tile = {};
    }

    void dropTiles() {
        for (Tile& tile : tiles) release(tile);
        tiles.clear();
        columns = rows = 0;
        tiledSurface = nullptr;
    }

    // The tile's pixels copied out of the kept surface (the node keeps them,
    // and the surface goes on changing) and shown by a new node; unless they
    // are the pixels it shows already (a frame redrew them alike): then GTK
    // keeps the node and repaints nothing there. Whether it changed.
    bool updateTile(Tile& tile, cairo_surface_t* surface, int column, int row) const {
        const int x = column * kTile, y = row * kTile;
        const int w = std::min(kTile, tiledWidth - x), h = std::min(kTile, tiledHeight - y);
        cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        const int from = cairo_image_surface_get_stride(surface), to = cairo_image_surface_get_stride(copy);
        const unsigned char* source = cairo_image_surface_get_data(surface) + y * from + x * 4;
        unsigned char* target = cairo_image_surface_get_data(copy);
        for (int line = 0; line < h; ++line) std::memcpy(target + line * to, source + line * from, w * 4);
        if (tile.pixels && cairo_image_surface_get_stride(tile.pixels) == to &&
            std::memcmp(cairo_image_surface_get_data(tile.pixels), target, static_cast<std::size_t>(to) * h) == 0) {
            cairo_surface_destroy(copy);
            return false;
        }
        cairo_surface_mark_dirty(copy);
        const double s = tiledScale;
        const graphene_rect_t bounds = GRAPHENE_RECT_INIT(static_cast<float>(x / s), static_cast<float>(y / s),
                                                          static_cast<float>(w / s), static_cast<float>(h / s));
        GskRenderNode* node = gsk_cairo_node_new(&bounds);
        cairo_t* cr = gsk_cairo_node_get_draw_context(node);
        cairo_scale(cr, 1 / s, 1 / s);
        cairo_set_source_surface(cr, copy, x, y);
        cairo_paint(cr);
        cairo_destroy(cr);
        release(tile);
        tile = {node, copy};
        return true;
    }

    // Updates the tiles that `changed` (points) touches, or every tile for
    // a new surface; remembers the area of the tiles whose pixels changed.
    void updateTiles(const platform::graphics::Rect& changed) {
        cairo_surface_t* surface = window->backingSurface();
        lastChanged = platform::graphics::Rect{};
        if (!surface) {
            dropTiles();
            return;
        }
        cairo_surface_flush(surface);
        const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        if (surface != tiledSurface || width != tiledWidth || height != tiledHeight ||
            window->scale() != tiledScale) {
            dropTiles();
            tiledSurface = surface;
            tiledWidth = width;
            tiledHeight = height;
            tiledScale = window->scale();
            columns = (width + kTile - 1) / kTile;
            rows = (height + kTile - 1) / kTile;
            tiles.assign(static_cast<std::size_t>(columns) * rows, Tile{});
            c1 = columns;
            r1 = rows;
        } else if (!changed.isNull() && !changed.isEmpty()) {
            const double s = tiledScale;
            c0 = std::clamp(static_cast<int>(std::floor(changed.minX() * s)) / kTile, 0, columns);
            r0 = std::clamp(static_cast<int>(std::floor(changed.minY() * s)) / kTile, 0, rows);
            c1 = std::clamp((static_cast<int>(std::ceil(changed.maxX() * s)) + kTile - 1) / kTile, 0, columns);
            r1 = std::clamp((static_cast<int>(std::ceil(changed.maxY() * s)) + kTile - 1) / kTile, 0, rows);
        }
        const double s = tiledScale;
        auto area = platform::graphics::Rect::null();
        for (int row = r0; row < r1; ++row) {
            for (int column = c0; column < c1; ++column) {
                if (!updateTile(tiles[static_cast<std::size_t>(row) * columns + column], surface, column, row)) continue;
                const double x = column * kTile / s, y = row * kTile / s;
                area = area.unionWith(platform::graphics::Rect{x, y, std::min((column + 1) * kTile, tiledWidth) / s - x,
                                                               std::min((row + 1) * kTile, tiledHeight) / s - y});
            }
        }
        if (!area.isNull()) lastChanged = area;
    }

    void snapshot(GtkSnapshot* snapshot) override {
        updateTiles(window->renderFrame());
        ++frames;
        for (const Tile& tile : tiles) gtk_snapshot_append_node(snapshot, tile.node);
    }

    int contentLength(GtkOrientation orientation) const override {
        return orientation == GTK_ORIENTATION_HORIZONTAL ? contentWidth : contentHeight;
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

    void allocated(int width, int height) override {
        const platform::ui::Size size{static_cast<double>(width), static_cast<double>(height)};
        if (size == window->size() && scale() == window->scale()) return;
        window->setScale(scale());
        window->setSize(size);
        gtk_widget_queue_draw(area);
    }

    static void scaleChanged(GObject*, GParamSpec*, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->window->setScale(self->scale());
        gtk_widget_queue_draw(self->area);
    }

    // When the controller's current event happened, on the run loop's clock
    // (none when the event has no time).
    std::optional<double> eventTimestamp(GtkEventController* controller) {
        const guint32 time = gtk_event_controller_get_current_event_time(controller);
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
        window->sendTouch(kPointerTouch, phase, {x, y}, eventTimestamp(GTK_EVENT_CONTROLLER(gesture)));
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

    static void pointerMoved(GtkEventControllerMotion*, double x, double y, gpointer data) {
        auto* self = static_cast<State*>(data);
        self->pointerX = x;
        self->pointerY = y;
    }

    // A wheel's steps, or a touchpad's distance in points, scroll the kit's
    // scroll views under the pointer.
    static gboolean scrolled(GtkEventControllerScroll* controller, double dx, double dy, gpointer data) {
        auto* self = static_cast<State*>(data);
        const auto unit = gtk_event_controller_scroll_get_unit(controller) == GDK_SCROLL_UNIT_WHEEL
                              ? platform::ui::Window::ScrollUnit::steps
                              : platform::ui::Window::ScrollUnit::points;
        const bool moved = self->window->sendScroll({self->pointerX, self->pointerY}, {dx, dy}, unit);
        RunLoop::main().runUntilIdle();
        return moved;
    }
};

GtkWindowHost::GtkWindowHost(std::shared_ptr<platform::ui::Window> window) : state_(std::make_shared<State>()) {
    state_->window = std::move(window);
    GtkWidget* area = GTK_WIDGET(g_object_new(orvane_kit_area_get_type(), nullptr));
    // Ours until the destructor; the host's container takes its own reference.
    state_->area = GTK_WIDGET(g_object_ref_sink(area));
    State* raw = state_.get();
    reinterpret_cast<OrvaneKitArea*>(area)->client = raw;
    const auto size = state_->window->size();
    state_->contentWidth = static_cast<int>(size.width);
    state_->contentHeight = static_cast<int>(size.height);
    gtk_widget_set_hexpand(area, TRUE);
    gtk_widget_set_vexpand(area, TRUE);
    gtk_widget_set_overflow(area, GTK_OVERFLOW_HIDDEN);
    g_signal_connect(area, "notify::scale-factor", G_CALLBACK(State::scaleChanged), raw);

    GtkGesture* drag = gtk_gesture_drag_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(drag), GDK_BUTTON_PRIMARY);
    g_signal_connect(drag, "drag-begin", G_CALLBACK(State::dragBegin), raw);
    g_signal_connect(drag, "drag-update", G_CALLBACK(State::dragUpdate), raw);
    g_signal_connect(drag, "drag-end", G_CALLBACK(State::dragEnd), raw);
    g_signal_connect(drag, "cancel", G_CALLBACK(State::cancelled), raw);
    gtk_widget_add_controller(area, GTK_EVENT_CONTROLLER(drag));

    GtkEventController* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "enter", G_CALLBACK(State::pointerMoved), raw);
    g_signal_connect(motion, "motion", G_CALLBACK(State::pointerMoved), raw);
    gtk_widget_add_controller(area, motion);

    GtkEventController* scroll = gtk_event_controller_scroll_new(GTK_EVENT_CONTROLLER_SCROLL_BOTH_AXES);
    g_signal_connect(scroll, "scroll", G_CALLBACK(State::scrolled), raw);
    gtk_widget_add_controller(area, scroll);

    // The window asks for a frame when it has something to draw; the area
    // draws it at GTK's next frame.
    state_->window->setFrameRequestHandler([area] { State::requestFrame(area); });
}

GtkWindowHost::~GtkWindowHost() {
    GtkWidget* area = state_->area;
    state_->window->setFrameRequestHandler({});
    reinterpret_cast<OrvaneKitArea*>(area)->client = nullptr;
    g_signal_handlers_disconnect_by_data(area, state_.get());
    // Our controllers are the area's only ones.
    GListModel* controllers = gtk_widget_observe_controllers(area);
    for (guint i = g_list_model_get_n_items(controllers); i > 0; --i) {
        auto* controller = GTK_EVENT_CONTROLLER(g_list_model_get_item(controllers, i - 1));
        g_signal_handlers_disconnect_by_data(controller, state_.get());
        gtk_widget_remove_controller(area, controller);
        g_object_unref(controller);
    }
    g_object_unref(controllers);
    g_object_unref(area);
}

GtkWidget* GtkWindowHost::widget() const { return state_->area; }
const std::shared_ptr<platform::ui::Window>& GtkWindowHost::window() const { return state_->window; }
long GtkWindowHost::framesDrawn() const { return state_->frames; }
platform::ui::Rect GtkWindowHost::lastFrameChangedArea() const { return state_->lastChanged; }

}  // namespace orvane::hosts
