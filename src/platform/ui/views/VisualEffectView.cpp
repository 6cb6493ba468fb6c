#include "platform/ui/views/VisualEffectView.hpp"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/ui/views/CairoDrawing.hpp"

namespace platform::ui {

double BlurEffect::radius(Style style) {
    switch (style) {
        case Style::extraLight:
        case Style::light:
        case Style::dark: return 30;
        case Style::regular:
        case Style::prominent: return 24;
    }
    return 30;
}

Color BlurEffect::wash(Style style) {
    switch (style) {
        case Style::extraLight: return Color{0.97, 0.97, 0.97, 0.78};
        case Style::light: return Color{1, 1, 1, 0.3};
        case Style::dark: return Color{0.11, 0.11, 0.11, 0.73};
        case Style::regular: return Color{1, 1, 1, 0.4};
        case Style::prominent: return Color{1, 1, 1, 0.6};
    }
    return Color::clear();
}

namespace {

// Draws the blurred backdrop of its bounds.
class BackdropLayer : public Layer {
public:
    explicit BackdropLayer(ConstructorKey key) : Layer(key) {}
    static std::shared_ptr<BackdropLayer> make() { return std::make_shared<BackdropLayer>(ConstructorKey{}); }

    std::shared_ptr<const BlurEffect> blur;

    bool drawsBackdrop() const override { return true; }

    void drawContents(cairo_t* cr) const override {
        if (!blur) return;
        const Rect bounds = presentedBounds().standardized();
        if (bounds.isEmpty()) return;
        cairo_surface_t* target = cairo_get_target(cr);
        if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return;
        const int targetW = cairo_image_surface_get_width(target);
        const int targetH = cairo_image_surface_get_height(target);

        // Pixels per point along x, for the blur's width.
        double ux = 1, uy = 0;
        cairo_user_to_device_distance(cr, &ux, &uy);
        const double sigma = BlurEffect::radius(blur->style()) / 2 * std::hypot(ux, uy);
        const int margin = static_cast<int>(std::ceil(3 * sigma)) + 1;

        // The device box of the bounds, within the clip, and the source box
        // around it (the blur reaches that far).
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, bounds.origin.x, bounds.origin.y, bounds.size.width, bounds.size.height);
        cairo_clip(cr);
        double x0, y0, x1, y1;
        cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
        double xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
        double dx0 = INFINITY, dy0 = INFINITY, dx1 = -INFINITY, dy1 = -INFINITY;
        for (int i = 0; i < 4; ++i) {
            cairo_user_to_device(cr, &xs[i], &ys[i]);
            dx0 = std::min(dx0, xs[i]);
            dx1 = std::max(dx1, xs[i]);
            dy0 = std::min(dy0, ys[i]);
            dy1 = std::max(dy1, ys[i]);
        }
        const int sx0 = std::max(0, static_cast<int>(std::floor(std::max(dx0, -1e6))) - margin);
        const int sy0 = std::max(0, static_cast<int>(std::floor(std::max(dy0, -1e6))) - margin);
        const int sx1 = std::min(targetW, static_cast<int>(std::ceil(std::min(dx1, 1e6))) + margin);
        const int sy1 = std::min(targetH, static_cast<int>(std::ceil(std::min(dy1, 1e6))) + margin);
        if (sx1 > sx0 && sy1 > sy0) {
            cairo_surface_flush(target);
            cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sx1 - sx0, sy1 - sy0);
            cairo_t* cc = cairo_create(copy);
            cairo_set_operator(cc, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cc, target, -sx0, -sy0);
            cairo_paint(cc);
            cairo_destroy(cc);
            cairo::boxBlur(copy, sigma);

            cairo_matrix_t userMatrix;
            cairo_get_matrix(cr, &userMatrix);
            cairo_identity_matrix(cr);
            // Replace, not cover: a translucent backdrop stays as translucent.
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_surface(cr, copy, sx0, sy0);
            cairo_paint(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
            cairo_surface_destroy(copy);
            cairo_set_matrix(cr, &userMatrix);
        }
        cairo::setColor(cr, BlurEffect::wash(blur->style()));
        cairo_paint(cr);
        cairo_restore(cr);
    }
};

}  // namespace

std::shared_ptr<VisualEffectView> VisualEffectView::create(std::shared_ptr<const VisualEffect> effect,
                                                           const Rect& frame) {
    auto view = std::make_shared<VisualEffectView>(ConstructorKey{}, frame);
    view->addSubview(view->contentView_);
    view->setEffect(std::move(effect));
    return view;
}

VisualEffectView::VisualEffectView(ConstructorKey key, const Rect& frame)
    : View(key, frame), backdrop_(BackdropLayer::make()), contentView_(View::create(Rect{Point{}, frame.size})) {
    layer()->addSublayer(backdrop_);
    backdrop_->setFrame(bounds());
    contentView_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
}

void VisualEffectView::setEffect(std::shared_ptr<const VisualEffect> effect) {
    effect_ = std::move(effect);
    backdrop_->setNeedsDisplay();
    static_cast<BackdropLayer&>(*backdrop_).blur = std::dynamic_pointer_cast<const BlurEffect>(effect_);
}

void VisualEffectView::layoutSubviews() {
    backdrop_->setFrame(bounds());
    contentView_->setFrame(bounds());
}

}  // namespace platform::ui
