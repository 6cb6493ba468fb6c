#include "platform/ui/views/CairoDrawing.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

void paintImage(cairo_t* cr, const Image& image, const Rect& rect, const std::optional<Color>& tint) {
    if (rect.isNull() || rect.isEmpty() || image.pixelWidth() <= 0 || image.pixelHeight() <= 0) return;
    cairo_surface_t* surface = surfaceFromImage(image);
    if (!surface) return;
    const Rect r = rect.standardized();
    cairo_save(cr);
    cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
    cairo_clip(cr);
    cairo_translate(cr, r.origin.x, r.origin.y);
    cairo_scale(cr, r.size.width / image.pixelWidth(), r.size.height / image.pixelHeight());
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    if (tint) {
        setColor(cr, *tint);
        cairo_mask(cr, pattern);
    } else {
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
    }
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

std::optional<Image> drawImage(Size size, double scale, const std::function<void(cairo_t*)>& draw) {
    if (!(scale > 0) || !(size.width > 0) || !(size.height > 0)) return std::nullopt;
    const double pw = std::ceil(size.width * scale), ph = std::ceil(size.height * scale);
    if (!(pw <= 16384) || !(ph <= 16384)) return std::nullopt;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(pw), static_cast<int>(ph));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    draw(cr);
    cairo_destroy(cr);
    auto image = imageFromSurface(surface, scale);
    cairo_surface_destroy(surface);
    return image;
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
            if (a == 255) {
                out[0] = static_cast<std::uint8_t>(p >> 16);
                out[1] = static_cast<std::uint8_t>(p >> 8);
                out[2] = static_cast<std::uint8_t>(p);
                out[3] = 255;
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

// One box pass of width 2r+1 over `count` samples of `channels` bytes, read
// `srcStep` bytes apart from `src` and written `dstStep` apart to `dst`
// (samples beyond the ends count as 0).
void boxPass(const std::uint8_t* src, std::ptrdiff_t srcStep, std::uint8_t* dst, std::ptrdiff_t dstStep, int count,
             int channels, int r) {
    // sum * reciprocal >> 16 divides by the window: sum <= 255 * window keeps
    // the product within 32 bits.
    const std::uint32_t window = 2 * static_cast<std::uint32_t>(r) + 1;
    const std::uint32_t reciprocal = (65536 + window / 2) / window;
    for (int c = 0; c < channels; ++c) {
        std::uint32_t sum = 0;
        for (int i = 0; i <= r && i < count; ++i) sum += src[i * srcStep + c];
        for (int i = 0; i < count; ++i) {
            dst[i * dstStep + c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (sum * reciprocal) >> 16));
            const int in = i + r + 1, out = i - r;
            if (in < count) sum += src[in * srcStep + c];
            if (out >= 0) sum -= src[out * srcStep + c];
        }
    }
}

// One box pass down the columns of a whole image (`rowBytes` bytes a row,
// `height` rows), row by row so that memory is read in order.
void verticalPass(const std::uint8_t* src, std::ptrdiff_t srcStride, std::uint8_t* dst, std::ptrdiff_t dstStride,
                  int rowBytes, int height, int r, std::vector<std::uint32_t>& sums) {
    // sum * reciprocal >> 16 divides by the window: sum <= 255 * window keeps
    // the product within 32 bits.
    const std::uint32_t window = 2 * static_cast<std::uint32_t>(r) + 1;
    const std::uint32_t reciprocal = (65536 + window / 2) / window;
    sums.assign(static_cast<std::size_t>(rowBytes), 0);
    for (int y = 0; y <= r && y < height; ++y) {
        const std::uint8_t* row = src + y * srcStride;
        for (int i = 0; i < rowBytes; ++i) sums[i] += row[i];
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = dst + y * dstStride;
        for (int i = 0; i < rowBytes; ++i)
            out[i] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (sums[i] * reciprocal) >> 16));
        const int in = y + r + 1, gone = y - r;
        if (in < height) {
            const std::uint8_t* row = src + in * srcStride;
            for (int i = 0; i < rowBytes; ++i) sums[i] += row[i];
        }
        if (gone >= 0) {
            const std::uint8_t* row = src + gone * srcStride;
            for (int i = 0; i < rowBytes; ++i) sums[i] -= row[i];
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
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (!data || w <= 0 || h <= 0 || (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_A8)) return;
    const int bpp = format == CAIRO_FORMAT_A8 ? 1 : 4;
    // Three passes of width 2r+1 have a variance of about r(r+1).
    const int r = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    std::vector<std::uint8_t> line(static_cast<std::size_t>(w) * bpp);
    std::vector<std::uint8_t> other(line.size());
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        boxPass(row, bpp, other.data(), bpp, w, bpp, r);
        boxPass(other.data(), bpp, line.data(), bpp, w, bpp, r);
        boxPass(line.data(), bpp, row, bpp, w, bpp, r);
    }
    const int rowBytes = w * bpp;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(rowBytes) * h), image2(image.size());
    std::vector<std::uint32_t> sums;
    verticalPass(data, stride, image.data(), rowBytes, rowBytes, h, r, sums);
    verticalPass(image.data(), rowBytes, image2.data(), rowBytes, rowBytes, h, r, sums);
    verticalPass(image2.data(), rowBytes, data, stride, rowBytes, h, r, sums);
    cairo_surface_mark_dirty(surface);
}

}  // namespace platform::ui::cairo
