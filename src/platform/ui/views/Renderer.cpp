#include "platform/ui/views/Renderer.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/animation/FrameClock.hpp"
#include "platform/ui/views/CairoDrawing.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/Window.hpp"

namespace platform::ui {

namespace {

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// The geometry and look of one layer as shown now.
struct Shown {
    Rect bounds;
    AffineTransform toSuperlayer;
    double opacity = 1;
    double shadowOpacity = 0;
    Color shadowColor;
    Size shadowOffset;
    double shadowRadius = 0;

    explicit Shown(const Layer& layer) {
        bounds = layer.presented(keypath::bounds, layer.bounds());
        const Point position = layer.presented(keypath::position, layer.position());
        const Point anchor = layer.presented(keypath::anchorPoint, layer.anchorPoint());
        const AffineTransform transform = layer.presented(keypath::transform, layer.transform());
        toSuperlayer = Layer::toSuperlayerTransform(bounds, position, anchor, transform);
        opacity = layer.presented(keypath::opacity, layer.opacity());
        shadowOpacity = layer.presented(keypath::shadowOpacity, layer.shadowOpacity());
        if (shadowOpacity > 0) {
            shadowColor = layer.presented(keypath::shadowColor, layer.shadowColor());
            shadowOffset = layer.presented(keypath::shadowOffset, layer.shadowOffset());
            // Bounded so that the offscreen surfaces stay of a sane size.
            shadowRadius = std::clamp(layer.presented(keypath::shadowRadius, layer.shadowRadius()), 0.0, 500.0);
            shadowOffset.width = std::clamp(shadowOffset.width, -10000.0, 10000.0);
            shadowOffset.height = std::clamp(shadowOffset.height, -10000.0, 10000.0);
            if (!std::isfinite(shadowRadius) || !std::isfinite(shadowOffset.width) ||
                !std::isfinite(shadowOffset.height)) {
                shadowOpacity = 0;
            }
        }
    }
    // A layer with a non-finite geometry is not drawn (cairo would refuse
    // every later drawing of the frame).
    bool isDrawable() const {
        const AffineTransform& t = toSuperlayer;
        const double values[] = {t.a, t.b, t.c, t.d, t.tx, t.ty, bounds.origin.x, bounds.origin.y,
                                 bounds.size.width, bounds.size.height, opacity};
        for (double v : values)
            if (!std::isfinite(v)) return false;
        const double det = t.determinant();
        return det != 0 && std::isfinite(det);
    }
    bool hasShadow() const { return shadowOpacity > 0 && shadowColor.alpha > 0; }
    // How far a shadow reaches beyond its shape, in the layer's points.
    double shadowReach() const {
        return shadowRadius * 1.5 + std::max(std::abs(shadowOffset.width), std::abs(shadowOffset.height));
    }
};

Rect contentsRect(const Layer& layer, const Image& image, const Rect& bounds);

// The rectangle in the layer's coordinates that its own drawing (not its
// sublayers') can cover.
Rect ownExtents(const Layer& layer, const Rect& bounds) {
    Rect extents = bounds.standardized();
    if (layer.masksToBounds()) return extents;
    if (layer.contents()) {
        const Rect image = contentsRect(layer, *layer.contents(), bounds);
        if (!image.isNull()) extents = extents.unionWith(image);
    }
    if (const auto* shape = dynamic_cast<const ShapeLayer*>(&layer); shape && shape->path()) {
        const Rect box = shape->path()->boundingBox();
        if (!box.isNull()) extents = extents.unionWith(box.insetBy(-shape->lineWidth(), -shape->lineWidth()));
    }
    return extents;
}

// The rectangle in the layer's coordinates that its drawing can cover.
Rect drawnExtents(const Layer& layer, const Rect& bounds) {
    Rect extents = ownExtents(layer, bounds);
    if (layer.masksToBounds()) return extents;
    for (const auto& sub : layer.sublayers()) {
        if (sub->isHidden()) continue;
        const Shown s(*sub);
        if (!s.isDrawable()) continue;
        Rect subExtents = drawnExtents(*sub, s.bounds);
        if (s.hasShadow()) subExtents = subExtents.insetBy(-s.shadowReach(), -s.shadowReach());
        extents = extents.unionWith(s.toSuperlayer.apply(subExtents));
    }
    return extents;
}

// Device-space box (whole pixels) of `rect` given in the current user space.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
};

PixelBox deviceBox(cairo_t* cr, const Rect& r) {
    double xs[4] = {r.minX(), r.maxX(), r.minX(), r.maxX()};
    double ys[4] = {r.minY(), r.minY(), r.maxY(), r.maxY()};
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        x0 = std::min(x0, xs[i]); x1 = std::max(x1, xs[i]);
        y0 = std::min(y0, ys[i]); y1 = std::max(y1, ys[i]);
    }
    auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e6, 1e6)); };
    return {clampInt(std::floor(x0)), clampInt(std::floor(y0)), clampInt(std::ceil(x1)), clampInt(std::ceil(y1))};
}

PixelBox clipBox(cairo_t* cr) {
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    return deviceBox(cr, Rect{x0, y0, x1 - x0, y1 - y0});
}

PixelBox intersect(const PixelBox& a, const PixelBox& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

PixelBox outset(const PixelBox& a, int by) { return {a.x0 - by, a.y0 - by, a.x1 + by, a.y1 + by}; }

void drawLayer(cairo_t* cr, const Layer& layer);

// While a draw starts at a covering layer (Renderer::draw with `cover`):
// that layer and its ancestors, and whether the drawing has reached it. What
// is drawn before it, its ancestors' own drawing included, lies beneath it
// and is not drawn.
struct Occlusion {
    const Layer* cover = nullptr;
    std::vector<const Layer*> ancestors;
    bool reached = true;
};
Occlusion occlusion;

// Where the contents image goes in the bounds, by the layer's gravity.
Rect contentsRect(const Layer& layer, const Image& image, const Rect& bounds) {
    const double w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return Rect::null();
    const Rect b = bounds.standardized();
    Rect dest{b.origin, Size{w, h}};
    auto place = [&](double fx, double fy) {
        dest.origin = {b.origin.x + (b.size.width - dest.size.width) * fx,
                       b.origin.y + (b.size.height - dest.size.height) * fy};
    };
    switch (layer.contentsGravity()) {
        case ContentsGravity::resize: dest = b; break;
        case ContentsGravity::resizeAspect:
        case ContentsGravity::resizeAspectFill: {
            const double sx = b.size.width / w, sy = b.size.height / h;
            const double s = layer.contentsGravity() == ContentsGravity::resizeAspect ? std::min(sx, sy)
                                                                                      : std::max(sx, sy);
            dest.size = {w * s, h * s};
            place(0.5, 0.5);
            break;
        }
        case ContentsGravity::center: place(0.5, 0.5); break;
        case ContentsGravity::top: place(0.5, 0); break;
        case ContentsGravity::bottom: place(0.5, 1); break;
        case ContentsGravity::left: place(0, 0.5); break;
        case ContentsGravity::right: place(1, 0.5); break;
        case ContentsGravity::topLeft: place(0, 0); break;
        case ContentsGravity::topRight: place(1, 0); break;
        case ContentsGravity::bottomLeft: place(0, 1); break;
        case ContentsGravity::bottomRight: place(1, 1); break;
    }
    return dest;
}

void drawImage(cairo_t* cr, const Layer& layer, const Image& image, const Rect& bounds) {
    cairo::paintImage(cr, image, contentsRect(layer, image, bounds), layer.contentsTintColor());
}

// Everything of the layer but its shadow, opacity and mask, in its own
// coordinates. What lies wholly outside the clip (a frame redraws only its
// damage) is not drawn at all: text is not laid out, images not scaled.
void drawBody(cairo_t* cr, const Layer& layer, const Rect& bounds) {
    const bool inClip = !intersect(deviceBox(cr, ownExtents(layer, bounds)), clipBox(cr)).isEmpty();
    // Sublayers clipped to the bounds are outside with them.
    if (!inClip && layer.masksToBounds()) return;
    // Beneath a cover, only the sublayers leading to it are drawn.
    const bool ownShown = inClip && occlusion.reached;
    double radius = std::max(0.0, layer.presented(keypath::cornerRadius, layer.cornerRadius()));
    if (!std::isfinite(radius)) radius = 0;
    const Color background =
        layer.presented(keypath::backgroundColor, layer.backgroundColor().value_or(Color::clear()));
    if (background.alpha > 0 && ownShown) {
        cairo_new_path(cr);
        cairo::appendRoundedRect(cr, bounds, radius);
        cairo::setColor(cr, background);
        cairo_fill(cr);
    }
    cairo_save(cr);
    if (layer.masksToBounds()) {
        cairo_new_path(cr);
        cairo::appendRoundedRect(cr, bounds, radius);
        cairo_clip(cr);
    }
    if (ownShown) {
        if (layer.contents()) drawImage(cr, layer, *layer.contents(), bounds);
        layer.drawContents(cr);
    }
    for (const auto& sub : layer.sublayers()) drawLayer(cr, *sub);
    cairo_restore(cr);

    const double borderWidth = layer.presented(keypath::borderWidth, layer.borderWidth());
    // Above the sublayers, so above a cover among them.
    if (inClip && occlusion.reached && borderWidth > 0 && std::isfinite(borderWidth)) {
        const Color color = layer.presented(keypath::borderColor, layer.borderColor());
        const Rect b = bounds.standardized();
        const double half = std::min({borderWidth / 2, b.width() / 2, b.height() / 2});
        cairo_new_path(cr);
        cairo::appendRoundedRect(cr, b.insetBy(half, half), std::max(0.0, radius - half));
        cairo_set_line_width(cr, std::min(borderWidth, 2 * half));
        cairo::setColor(cr, color);
        cairo_stroke(cr);
    }
}

// The layer's body drawn offscreen, with its shadow beneath, composited in
// device space. `cr` is in the superlayer's coordinates.
void drawWithShadow(cairo_t* cr, const Layer& layer, const Shown& shown) {
    // Shadow offset and blur, measured in the superlayer's coordinates.
    double offX = shown.shadowOffset.width, offY = shown.shadowOffset.height;
    cairo_user_to_device_distance(cr, &offX, &offY);
    double unitX = 1, unitY = 0;
    cairo_user_to_device_distance(cr, &unitX, &unitY);
    const double sigma = shown.shadowRadius * std::hypot(unitX, unitY) / 2;
    const int margin = static_cast<int>(std::ceil(3 * sigma)) + 1;

    cairo_save(cr);
    const cairo_matrix_t m = toCairo(shown.toSuperlayer);
    cairo_transform(cr, &m);
    const PixelBox reach = outset(clipBox(cr), margin + static_cast<int>(std::ceil(std::hypot(offX, offY))));
    const PixelBox body = intersect(deviceBox(cr, drawnExtents(layer, shown.bounds)), reach);
    cairo_matrix_t layerToDevice;
    cairo_get_matrix(cr, &layerToDevice);
    cairo_restore(cr);
    if (body.isEmpty()) return;

    // The body.
    cairo_surface_t* bodySurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, body.width(), body.height());
    {
        cairo_t* bc = cairo_create(bodySurface);
        cairo_matrix_t bm = layerToDevice;
        bm.x0 -= body.x0;
        bm.y0 -= body.y0;
        cairo_set_matrix(bc, &bm);
        drawBody(bc, layer, shown.bounds);
        cairo_destroy(bc);
    }

    // The shadow's shape: the shadow path, or the body's alpha.
    PixelBox shadowBox = outset(body, margin);
    if (layer.shadowPath()) {
        cairo_save(cr);
        cairo_set_matrix(cr, &layerToDevice);
        // Only the shadow the clip can show: the blur at a pixel reads the
        // path no farther than the margin from it.
        shadowBox = intersect(outset(deviceBox(cr, layer.shadowPath()->boundingBox()), margin), outset(reach, margin));
        cairo_restore(cr);
    }
    cairo_surface_t* shadowSurface =
        shadowBox.isEmpty() ? nullptr
                            : cairo_image_surface_create(CAIRO_FORMAT_A8, shadowBox.width(), shadowBox.height());
    if (shadowSurface) {
        cairo_t* sc = cairo_create(shadowSurface);
        if (layer.shadowPath()) {
            cairo_matrix_t sm = layerToDevice;
            sm.x0 -= shadowBox.x0;
            sm.y0 -= shadowBox.y0;
            cairo_set_matrix(sc, &sm);
            cairo::appendPath(sc, *layer.shadowPath());
            cairo_set_source_rgba(sc, 0, 0, 0, 1);
            cairo_fill(sc);
        } else {
            cairo_set_source_surface(sc, bodySurface, body.x0 - shadowBox.x0, body.y0 - shadowBox.y0);
            cairo_paint(sc);
        }
        cairo_destroy(sc);
        cairo::boxBlur(shadowSurface, sigma);
    }

    cairo_save(cr);
    if (shadowSurface && layer.masksToBounds()) {
        // As on the platform, clipping to the bounds clips the shadow too.
        cairo_set_matrix(cr, &layerToDevice);
        cairo_new_path(cr);
        const double radius = layer.presented(keypath::cornerRadius, layer.cornerRadius());
        cairo::appendRoundedRect(cr, shown.bounds, std::isfinite(radius) ? std::max(0.0, radius) : 0);
        cairo_clip(cr);
    }
    cairo_identity_matrix(cr);
    if (shadowSurface) {
        cairo::setColor(cr, shown.shadowColor, shown.shadowOpacity);
        cairo_mask_surface(cr, shadowSurface, shadowBox.x0 + offX, shadowBox.y0 + offY);
        cairo_surface_destroy(shadowSurface);
    }
    cairo_set_source_surface(cr, bodySurface, body.x0, body.y0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(bodySurface);
}

// The largest rectangle inside a rounded rectangle's corners: inset by the
// radius less its 45-degree point.
Rect insideCorners(const Rect& bounds, double radius) {
    radius = std::isfinite(radius) ? std::max(0.0, radius) : 0;
    const Rect b = bounds.standardized();
    const double inset = std::min(radius, std::min(b.width(), b.height()) / 2) * (1 - std::sqrt(0.5));
    return b.insetBy(inset, inset);
}

// Whether the layer's own opaque background covers all of the clip (`cr` in
// its superlayer's coordinates): its shadow, beneath it, shows nowhere there.
bool coversClip(cairo_t* cr, const Layer& layer, const Shown& shown) {
    const Color background =
        layer.presented(keypath::backgroundColor, layer.backgroundColor().value_or(Color::clear()));
    if (background.alpha < 1) return false;
    cairo_save(cr);
    const cairo_matrix_t m = toCairo(shown.toSuperlayer);
    cairo_transform(cr, &m);
    cairo_matrix_t device;
    cairo_get_matrix(cr, &device);
    const Rect inner = insideCorners(shown.bounds, layer.presented(keypath::cornerRadius, layer.cornerRadius()));
    // Whole device pixels inside the background, rounded inwards.
    double x0 = inner.minX(), y0 = inner.minY(), x1 = inner.maxX(), y1 = inner.maxY();
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    const PixelBox clip = clipBox(cr);
    cairo_restore(cr);
    if (device.xy != 0 || device.yx != 0 || inner.isEmpty()) return false;
    return std::ceil(std::min(x0, x1)) <= clip.x0 && std::ceil(std::min(y0, y1)) <= clip.y0 &&
           std::floor(std::max(x0, x1)) >= clip.x1 && std::floor(std::max(y0, y1)) >= clip.y1;
}

void drawLayer(cairo_t* cr, const Layer& layer) {
    if (layer.isHidden()) return;
    if (!occlusion.reached) {
        if (&layer == occlusion.cover) {
            occlusion.reached = true;
        } else if (std::find(occlusion.ancestors.begin(), occlusion.ancestors.end(), &layer) ==
                   occlusion.ancestors.end()) {
            return;  // beneath the cover
        }
    }
    const Shown shown(layer);
    if (!shown.isDrawable() || shown.opacity <= 0) return;
    const bool group = shown.opacity < 1 || layer.mask();
    const cairo_matrix_t m = toCairo(shown.toSuperlayer);

    cairo_save(cr);
    if (group) {
        // Bound the group's surface by what the layer can cover.
        cairo_save(cr);
        cairo_transform(cr, &m);
        Rect extents = drawnExtents(layer, shown.bounds);
        if (shown.hasShadow()) extents = extents.insetBy(-shown.shadowReach(), -shown.shadowReach());
        const PixelBox box = intersect(deviceBox(cr, extents), clipBox(cr));
        cairo_restore(cr);
        if (box.isEmpty()) {
            cairo_restore(cr);
            return;
        }
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_rectangle(cr, box.x0, box.y0, box.width(), box.height());
        cairo_restore(cr);
        cairo_clip(cr);
        cairo_push_group(cr);
    }
    if (shown.hasShadow() && !coversClip(cr, layer, shown)) {
        drawWithShadow(cr, layer, shown);
    } else {
        cairo_save(cr);
        cairo_transform(cr, &m);
        drawBody(cr, layer, shown.bounds);
        cairo_restore(cr);
    }
    if (group) {
        cairo_pattern_t* content = cairo_pop_group(cr);
        if (const auto& mask = layer.mask()) {
            cairo_push_group(cr);
            cairo_save(cr);
            cairo_transform(cr, &m);
            drawLayer(cr, *mask);
            cairo_restore(cr);
            cairo_pattern_t* maskPattern = cairo_pop_group(cr);
            cairo_push_group(cr);
            cairo_set_source(cr, content);
            cairo_mask(cr, maskPattern);
            cairo_pattern_destroy(maskPattern);
            cairo_pattern_destroy(content);
            content = cairo_pop_group(cr);
        }
        cairo_set_source(cr, content);
        cairo_paint_with_alpha(cr, std::min(1.0, shown.opacity));
        cairo_pattern_destroy(content);
    }
    cairo_restore(cr);
}

// Looks for the topmost layer (the last drawn) whose own opaque background
// covers `area`, given in the coordinates of the root's superlayer: a layer
// shown at full opacity with its ancestors, without a mask, under transforms
// that only scale and move, its background's corners and its ancestors'
// clipping taken off. None found is always safe.
struct CoverSearch {
    Rect area;
    const Layer* found = nullptr;

    void visit(const Layer& layer, const AffineTransform& superToRoot, const Rect& clip) {
        if (layer.isHidden() || layer.mask()) return;
        const Shown shown(layer);
        if (!shown.isDrawable() || shown.opacity < 1) return;
        const AffineTransform toRoot = shown.toSuperlayer.concatenating(superToRoot);
        if (toRoot.b != 0 || toRoot.c != 0 || !(toRoot.a > 0) || !(toRoot.d > 0)) return;
        const Rect inner = insideCorners(shown.bounds, layer.presented(keypath::cornerRadius, layer.cornerRadius()));
        const Rect opaque = inner.isEmpty() ? Rect::null() : toRoot.apply(inner).intersection(clip);
        const Color background =
            layer.presented(keypath::backgroundColor, layer.backgroundColor().value_or(Color::clear()));
        if (background.alpha >= 1 && !opaque.isNull() && opaque.contains(area)) found = &layer;
        const Rect inside = layer.masksToBounds() ? opaque : clip;
        if (inside.isNull() || !inside.contains(area)) return;
        for (const auto& sub : layer.sublayers()) visit(*sub, toRoot, inside);
    }
};

}  // namespace

void Renderer::draw(cairo_t* cr, const Layer& layer) { drawLayer(cr, layer); }

const Layer* Renderer::opaqueCover(const Layer& root, const Rect& area) {
    if (area.isNull() || area.isEmpty()) return nullptr;
    CoverSearch search{area.standardized()};
    const double huge = 1e9;
    search.visit(root, AffineTransform::identity(), Rect{-huge, -huge, 2 * huge, 2 * huge});
    return search.found;
}

void Renderer::draw(cairo_t* cr, const Layer& layer, const Layer* cover) {
    if (!cover) {
        drawLayer(cr, layer);
        return;
    }
    occlusion.cover = cover;
    occlusion.ancestors.clear();
    std::shared_ptr<const Layer> hold;
    for (const Layer* l = cover; (hold = l->superlayer());) {
        l = hold.get();
        occlusion.ancestors.push_back(l);
    }
    occlusion.reached = false;
    drawLayer(cr, layer);
    occlusion = {};
}

Rect Renderer::coveredArea(const Layer& layer) {
    const Shown shown(layer);
    if (!shown.isDrawable()) return Rect::null();
    Rect extents = drawnExtents(layer, shown.bounds);
    if (shown.hasShadow()) extents = extents.insetBy(-shown.shadowReach(), -shown.shadowReach());
    Rect area = shown.toSuperlayer.apply(extents);
    for (auto parent = layer.superlayer(); parent; parent = parent->superlayer()) {
        const Shown up(*parent);
        if (!up.isDrawable()) return Rect::null();
        area = up.toSuperlayer.apply(area);
    }
    return area;
}

std::optional<Image> Renderer::render(const Layer& root, Size size, double scale) {
    return cairo::drawImage(size, scale, [&root](cairo_t* cr) { drawLayer(cr, root); });
}

std::optional<Image> Renderer::render(const Window& window) {
    const FrameClock::Scope frame(FrameClock::now());
    return render(*window.layer(), window.bounds().size, window.scale());
}

}  // namespace platform::ui
