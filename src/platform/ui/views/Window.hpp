// The window: the root of a view tree, the size of the host's screen area,
// with the scale (pixels per point), safe-area insets and status bar frame
// the host sets. It holds one root view filling it (controllers come later),
// runs the layout pass at the end of a run loop turn for views that asked
// for one, draws itself into an image for snapshots and, for a host, into a
// backing surface it keeps, redrawing only what changed. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Image.hpp"
#include "platform/ui/input/Touch.hpp"
#include "platform/ui/views/View.hpp"

typedef struct _cairo_surface cairo_surface_t;

namespace platform::ui {

class TouchDispatcher;
class ConstraintLayout;
class ViewController;

class Window : public View, private LayerDamageSink {
public:
    static std::shared_ptr<Window> create(Size size, double scale = 2);
    Window(ConstructorKey key, Size size, double scale);
    ~Window() override;

    Size size() const { return bounds().size; }
    void setSize(Size size) { setFrame(Rect{Point{}, size}); }
    double scale() const { return scale_; }
    void setScale(double scale);

    // The host's insets of the area where content is not covered (notch,
    // home indicator, status bar); the window's own safe-area insets.
    EdgeInsets safeAreaInsets() const override { return safeAreaInsets_; }
    void setSafeAreaInsets(const EdgeInsets& insets);
    const Rect& statusBarFrame() const { return statusBarFrame_; }
    void setStatusBarFrame(const Rect& frame) { statusBarFrame_ = frame; }

    // The view filling the window and following its size; replaces the
    // previous one.
    const std::shared_ptr<View>& rootView() const { return rootView_; }
    void setRootView(std::shared_ptr<View> view);

    // The controller whose view is the root view; held strongly. Setting
    // one makes its view the root view and tells it (and the one it
    // replaces) of the appearance.
    const std::shared_ptr<ViewController>& rootViewController() const { return rootViewController_; }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // While a controller transition is in flight the window takes no touch:
    // its hit test finds nothing. Calls nest; each begin needs its end.
    void beginIgnoringInteraction() { ++ignoringInteraction_; }
    void endIgnoringInteraction() {
        if (ignoringInteraction_ > 0) --ignoringInteraction_;
    }
    bool isTransitionInFlight() const { return ignoringInteraction_ > 0; }
    std::shared_ptr<View> hitTest(Point point) override;

    // The window drawn now (after its pending layout) at its scale.
    std::optional<Image> snapshot();

    // ---- Frames for a host ----
    // Called on the main thread when the window, idle until then, gets
    // something to draw (damage or a running animation); the host then calls
    // `renderFrame` at its next frame. Called once per request: again only
    // after a `renderFrame`.
    void setFrameRequestHandler(std::function<void()> handler);
    // Whether something is damaged or animating.
    bool needsFrame() const;
    // Damage is collected from the layers' setters (the area of the layer
    // before and after the change, through every transform), from running
    // animations (the area shown at the last frame and at this one) and from
    // layers added or removed. Where a blur reads what lies beneath it and
    // the damage reaches it, the whole window is redrawn, as after a change
    // of size or scale. A mask layer's own later changes are not followed
    // (setting a mask damages its layer).
    // Lays out, shows the presentation values at `frameTime` (the main run
    // loop's clock when absent), redraws the damaged area into the backing
    // surface and returns that area in points (empty when nothing changed).
    Rect renderFrame(std::optional<double> frameTime = std::nullopt);
    // The ARGB32 premultiplied image surface of size × scale pixels the
    // frames are drawn into; null before the first frame. Valid until the
    // next change of size or scale.
    cairo_surface_t* backingSurface() const { return backing_.get(); }

    // The window's constraint layout, once a constraint has been installed.
    ConstraintLayout* constraintLayout() const { return constraintLayout_.get(); }
    ConstraintLayout& ensureConstraintLayout();

    // Posts one layout pass of this window to the main run loop, unless one
    // is already pending.
    void scheduleLayoutPass();

    // ---- Touches ----
    // A host's or a test's touch at a window point, timed on the main run
    // loop's clock: when the host's event says it happened, or now (see
    // TouchDispatcher). A location that is not finite,
    // or beyond ±10,000,000 points (no screen has such points, and
    // translations and velocities made from them would overflow), is dropped
    // with one debug line before hit testing; when it was a known touch's
    // lift-off or cancel, that touch is cancelled where it last was, so
    // nothing waits for a lift-off that will not come.
    void sendTouch(int identifier, TouchPhase phase, Point location, std::optional<double> timestamp = {});

    // ---- Wheel ----
    // A host's wheel or touchpad scroll at a window point: `delta` in wheel
    // steps or in points, positive to the right and down (the content moves
    // the other way). Along each axis it moves the innermost scroll view
    // under the point (through the hit test) that can scroll along that
    // axis, clamped to its content; a paging scroll view, which rests only
    // on its pages, is passed over. A step moves the content by the scroll
    // view's length along the axis to the power 2/3. Gives whether an offset
    // moved.
    enum class ScrollUnit { steps, points };
    bool sendScroll(Point location, Point delta, ScrollUnit unit);

protected:
    bool isWindow() const override { return true; }
    // The root view follows the window's size through its bounds and centre,
    // so that a transform on it (a presentation scaling it back) keeps it
    // whole.
    void boundsDidChange(const Rect& oldBounds) override;

private:
    // LayerDamageSink
    void layerWillChange(Layer& layer) override;
    void layerIsAnimating(Layer& layer) override;

    void addDamage(const Rect& area);
    bool isInTree(const Layer& layer) const;
    void requestFrame();
    // Redraws the damage into the backing surface; the area redrawn.
    Rect drawDamage();

    struct SurfaceDeleter {
        void operator()(cairo_surface_t* surface) const;
    };

    double scale_;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> backing_;
    std::function<void()> frameRequestHandler_;
    double backingScale_ = 0;
    // Damage of the next frame, in points; null when none.
    Rect damage_ = Rect::null();
    // Layers changed since the last frame: their area at the frame is damaged too.
    std::vector<std::weak_ptr<Layer>> changed_;
    // Layers whose animations run, with the area they showed at the last frame.
    struct Animating {
        std::weak_ptr<Layer> layer;
        Rect shown = Rect::null();
    };
    std::vector<Animating> animating_;
    std::uint64_t frameSerial_ = 1;
    bool frameRequested_ = false;
    bool renderingFrame_ = false;
    EdgeInsets safeAreaInsets_;
    Rect statusBarFrame_;
    std::shared_ptr<View> rootView_;
    std::shared_ptr<ViewController> rootViewController_;
    int ignoringInteraction_ = 0;
    bool layoutPassPending_ = false;
    std::unique_ptr<TouchDispatcher> touchDispatcher_;
    std::unique_ptr<ConstraintLayout> constraintLayout_;
};

}  // namespace platform::ui
