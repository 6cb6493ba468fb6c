#include "platform/ui/views/GradientLayer.hpp"

#include "platform/ui/views/CairoDrawing.hpp"

namespace platform::ui {

std::shared_ptr<GradientLayer> GradientLayer::create() {
    return std::make_shared<GradientLayer>(ConstructorKey{});
}

void GradientLayer::drawContents(cairo_t* cr) const {
    if (colors_.empty()) return;
    const Rect b = presentedBounds().standardized();
    if (b.isEmpty()) return;
    const double x0 = b.origin.x + startPoint_.x * b.size.width, y0 = b.origin.y + startPoint_.y * b.size.height;
    const double x1 = b.origin.x + endPoint_.x * b.size.width, y1 = b.origin.y + endPoint_.y * b.size.height;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    const std::size_t n = colors_.size();
    // Locations are used only when there is one for each colour.
    const bool useLocations = locations_ && locations_->size() == n;
    for (std::size_t i = 0; i < n; ++i) {
        const double offset = useLocations ? (*locations_)[i] : (n == 1 ? 0.0 : static_cast<double>(i) / (n - 1));
        const Color& c = colors_[i];
        cairo_pattern_add_color_stop_rgba(pattern, offset, c.red, c.green, c.blue, c.alpha);
    }
    cairo_save(cr);
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

}  // namespace platform::ui
