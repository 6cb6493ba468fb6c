#include "platform/ui/views/ImageRenderer.hpp"

#include <cmath>

#include "platform/ui/views/CairoDrawing.hpp"
#include "platform/ui/views/Renderer.hpp"

namespace platform::ui {

void GraphicsContext::fillRect(const Rect& rect, const Color& color) { fillPath(Path::rect(rect), color); }

void GraphicsContext::fillPath(const Path& path, const Color& color) {
    cairo_new_path(cr_);
    cairo::appendPath(cr_, path);
    cairo::setColor(cr_, color);
    cairo_fill(cr_);
}

void GraphicsContext::strokePath(const Path& path, const Color& color, double lineWidth) {
    cairo_new_path(cr_);
    cairo::appendPath(cr_, path);
    cairo::setColor(cr_, color);
    cairo_set_line_width(cr_, lineWidth);
    cairo_stroke(cr_);
}

void GraphicsContext::drawImage(const Image& image, const Rect& rect, std::optional<Color> tint) {
    cairo::paintImage(cr_, image, rect, tint);
}

void GraphicsContext::drawLayer(const Layer& layer) { Renderer::draw(cr_, layer); }

void GraphicsContext::clip(const Path& path) {
    cairo_new_path(cr_);
    cairo::appendPath(cr_, path);
    cairo_clip(cr_);
}

void GraphicsContext::saveState() { cairo_save(cr_); }
void GraphicsContext::restoreState() { cairo_restore(cr_); }

void GraphicsContext::concatenate(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr_, &m);
}

std::optional<Image> ImageRenderer::image(const std::function<void(GraphicsContext&)>& draw) const {
    return cairo::drawImage(size_, scale_, [&](cairo_t* cr) {
        if (opaque_) {
            cairo_save(cr);
            cairo_identity_matrix(cr);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        GraphicsContext context(cr);
        context.size_ = size_;
        cairo_save(cr);
        if (draw) draw(context);
        cairo_restore(cr);
    });
}

}  // namespace platform::ui
