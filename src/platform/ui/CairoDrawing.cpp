#include "platform/ui/CairoDrawing.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform::ui::cairo {

void appendPath(cairo_t* cr, const Path& path) {
    for (const Path::Element& e : path.elements()) {
        switch (e.type) {
            case Path::ElementType::moveTo: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
            case Path::ElementType::lineTo: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
            case Path::ElementType::curveTo:
                cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                               e.points[2].y);
                break;
            case Path::ElementType::close: cairo_close_path(cr); break;
        }
    }
}

void setColor(cairo_t* cr, const Color& c, double alphaFactor) {
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * alphaFactor);
}

void appendRoundedRect(cairo_t* cr, const Rect& rect, double radius) {
    const Rect r = rect.standardized();
    if (radius <= 0) {
        cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
        return;
    }
    appendPath(cr, Path::roundedRect(r, radius));
}

cairo_surface_t* surfaceFromImage(const Image& image) {
    const int w = image.pixelWidth(), h = image.pixelHeight();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto pixels = image.pixels();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        const std::uint8_t* src = pixels.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x, src += 4) {
            const std::uint32_t a = src[3];
            const std::uint32_t r = (src[0] * a + 127) / 255;
            const std::uint32_t g = (src[1] * a + 127) / 255;
            const std::uint32_t b = (src[2] * a + 127) / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

std::optional<Image> imageFromSurface(cairo_surface_t* surface, double scale) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0) return std::nullopt;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
    std::uint8_t* out = rgba.data();
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x, out += 4) {
            const std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (a == 0) {
                out[0] = out[1] = out[2] = out[3] = 0;
                continue;
            }
            out[0] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (((p >> 16) & 0xff) * 255 + a / 2) / a));
            out[1] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (((p >> 8) & 0xff) * 255 + a / 2) / a));
            out[2] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, ((p & 0xff) * 255 + a / 2) / a));
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
    return Image::fromPixels(w, h, std::move(rgba), scale);
}

namespace {

// One box pass of width 2r+1 over `count` samples of 4 channels, `step`
// elements apart, from `src` into `dst`.
void boxPass(const std::uint8_t* src, std::uint8_t* dst, int count, std::ptrdiff_t step, int r) {
    const int window = 2 * r + 1;
    for (int c = 0; c < 4; ++c) {
        int sum = 0;
        auto at = [&](int i) -> int { return (i < 0 || i >= count) ? 0 : src[i * step + c]; };
        for (int i = -r; i <= r; ++i) sum += at(i);
        for (int i = 0; i < count; ++i) {
            dst[i * step + c] = static_cast<std::uint8_t>((sum + window / 2) / window);
            sum += at(i + r + 1) - at(i - r);
        }
    }
}

}  // namespace

void boxBlur(cairo_surface_t* surface, double sigma) {
    if (sigma <= 0.3) return;
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0) return;
    // Three passes of width w have variance (w^2 - 1) / 4.
    const int r = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    std::vector<std::uint8_t> line(static_cast<std::size_t>(std::max(w, h)) * 4);
    std::vector<std::uint8_t> other(line.size());
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        std::memcpy(line.data(), row, static_cast<std::size_t>(w) * 4);
        boxPass(line.data(), other.data(), w, 4, r);
        boxPass(other.data(), line.data(), w, 4, r);
        boxPass(line.data(), row, w, 4, r);
    }
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) std::memcpy(&line[static_cast<std::size_t>(y) * 4], data + y * stride + x * 4, 4);
        boxPass(line.data(), other.data(), h, 4, r);
        boxPass(other.data(), line.data(), h, 4, r);
        boxPass(line.data(), other.data(), h, 4, r);
        for (int y = 0; y < h; ++y) std::memcpy(data + y * stride + x * 4, &other[static_cast<std::size_t>(y) * 4], 4);
    }
    cairo_surface_mark_dirty(surface);
}

}  // namespace platform::ui::cairo
