// Draws a layer tree with Cairo: presentation values of every layer
// (transforms, group opacity, hidden layers skipped, backgrounds with
// rounded corners, contents images placed by their gravity and tinted as
// stencils when asked, each layer kind's own drawing, sublayers clipped by
// `masksToBounds`, borders above the sublayers, blurred shadows on their
// offset side and mask layers). `Window::snapshot()` uses it; hosts and
// tests read the image it gives. Main thread only; stateless.
#pragma once

#include <optional>

#include "platform/graphics/Geometry.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

class Window;

class Renderer {
public:
    // The window's layer tree drawn at the window's scale, on a transparent
    // background. None when the window has no area.
    static std::optional<Image> render(const Window& window);
    // `root` drawn into an image of `size` points at `scale` pixels per
    // point; the root's superlayer coordinates are the image's.
    static std::optional<Image> render(const Layer& root, Size size, double scale);
    // Draws `layer` (placed in the coordinates current in `cr`, which are
    // those of its superlayer) onto a cairo context.
    static void draw(cairo_t* cr, const Layer& layer);
    // The same, starting at `cover` (from `opaqueCover`): what lies beneath
    // it, its ancestors' own drawing included, is not drawn; right only
    // where `cr` is clipped to the area it covers.
    static void draw(cairo_t* cr, const Layer& layer, const Layer* cover);
    // The topmost layer of `root`'s tree whose own opaque background covers
    // `area` (in the coordinates of `root`'s superlayer), or none.
    static const Layer* opaqueCover(const Layer& root, const Rect& area);
    // The area `layer` can cover with its presentation values now (its own
    // visibility aside: what it covers when shown), sublayers and shadow
    // included, in the coordinates of its tree's root's superlayer (a
    // window's). Null when an ancestor's geometry cannot be drawn.
    static Rect coveredArea(const Layer& layer);
};

}  // namespace platform::ui
