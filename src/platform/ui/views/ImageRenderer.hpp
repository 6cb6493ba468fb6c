// A bitmap context for drawing a new image: a canvas of a size in points at
// a scale, handed to a drawing block as a GraphicsContext (top-left origin,
// points), whose drawing becomes an Image. Code that needs more than the
// context's operations includes <cairo.h> and draws on `cairo()` directly.
// Main thread only.
#pragma once

#include <functional>
#include <optional>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/Path.hpp"
#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

class GraphicsContext {
public:
    explicit GraphicsContext(cairo_t* cr) : cr_(cr) {}

    cairo_t* cairo() const { return cr_; }
    Size size() const { return size_; }

    void fillRect(const Rect& rect, const Color& color);
    void fillPath(const Path& path, const Color& color);
    void strokePath(const Path& path, const Color& color, double lineWidth);
    // The image stretched into `rect`; drawn as a stencil in `tint` when set.
    void drawImage(const Image& image, const Rect& rect, std::optional<Color> tint = std::nullopt);
    // A layer tree, placed in these coordinates by its frame.
    void drawLayer(const Layer& layer);
    // Restricts later drawing to the inside of `path` until `restoreState`.
    void clip(const Path& path);
    void saveState();
    void restoreState();
    void concatenate(const AffineTransform& transform);

private:
    friend class ImageRenderer;
    cairo_t* cr_;
    Size size_;
};

class ImageRenderer {
public:
    // A canvas of `size` points at `scale` pixels per point; transparent
    // unless `opaque` (then white below the drawing).
    explicit ImageRenderer(Size size, double scale = 1, bool opaque = false)
        : size_(size), scale_(scale), opaque_(opaque) {}

    // Runs `draw` on a fresh canvas and returns its pixels; none for a size
    // or scale that makes no pixels.
    std::optional<Image> image(const std::function<void(GraphicsContext&)>& draw) const;

private:
    Size size_;
    double scale_;
    bool opaque_;
};

}  // namespace platform::ui
