#include "platform/ui/views/CairoDrawing.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
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

namespace {

// The most halvings an image can take: 2^14 is the longest side decoded.
constexpr int maxReduction = 14;

int reducedLength(int length, int reduction) { return ((length - 1) >> reduction) + 1; }

cairo_surface_t* newSurface(int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    return surface;
}

// The image's pixels, premultiplied, as Cairo draws them.
cairo_surface_t* convertedSurface(const Image& image) {
    const int w = image.pixelWidth(), h = image.pixelHeight();
    cairo_surface_t* surface = newSurface(w, h);
    if (!surface) return nullptr;
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

// The image reduced 2^reduction times each way, straight from its pixels
// (no full-size copy on the way): each pixel the premultiplied mean of its
// block of 2^reduction x 2^reduction pixels, the last block of a row or
// column cut by the image's edge.
cairo_surface_t* reducedSurface(const Image& image, int reduction) {
    const int w = image.pixelWidth(), h = image.pixelHeight();
    const int rw = reducedLength(w, reduction), rh = reducedLength(h, reduction);
    cairo_surface_t* surface = newSurface(rw, rh);
    if (!surface) return nullptr;
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto pixels = image.pixels();
    const int block = 1 << reduction;
    // Per reduced pixel of a row: the sums of red, green and blue weighted
    // by alpha, and of alpha. 2^28 pixels of at most 255 * 255 fit easily.
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(rw) * 4);
    for (int ry = 0; ry < rh; ++ry) {
        std::fill(sums.begin(), sums.end(), 0);
        const int top = ry * block, bottom = std::min(h, top + block);
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* src = pixels.data() + static_cast<std::size_t>(y) * w * 4;
            for (int x = 0; x < w; ++x, src += 4) {
                std::uint64_t* sum = sums.data() + static_cast<std::size_t>(x >> reduction) * 4;
                const std::uint32_t a = src[3];
                sum[0] += src[0] * a;
                sum[1] += src[1] * a;
                sum[2] += src[2] * a;
                sum[3] += a;
            }
        }
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(ry) * stride);
        const std::uint64_t rows = static_cast<std::uint64_t>(bottom - top);
        for (int rx = 0; rx < rw; ++rx) {
            const std::uint64_t columns = static_cast<std::uint64_t>(std::min(w, (rx + 1) * block) - rx * block);
            const std::uint64_t count = rows * columns;
            const std::uint64_t* sum = sums.data() + static_cast<std::size_t>(rx) * 4;
            const std::uint64_t colourDivisor = count * 255;
            const auto a = static_cast<std::uint32_t>((sum[3] + count / 2) / count);
            const auto r = static_cast<std::uint32_t>((sum[0] + colourDivisor / 2) / colourDivisor);
            const auto g = static_cast<std::uint32_t>((sum[1] + colourDivisor / 2) / colourDivisor);
            const auto b = static_cast<std::uint32_t>((sum[2] + colourDivisor / 2) / colourDivisor);
            row[rx] = (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// What the kit made of one image's pixels to draw them: the full-size
// conversion and the reduced copies, each made on first use and kept with
// the pixels (every copy of the image shares them).
class CairoImageCache final : public Image::DrawingCache {
public:
    ~CairoImageCache() override {
        for (cairo_surface_t* surface : surfaces_) {
            if (surface) cairo_surface_destroy(surface);
        }
    }

    // A new reference to the image at `reduction`; null when Cairo cannot
    // make the surface.
    cairo_surface_t* surface(const Image& image, int reduction) {
        std::lock_guard lock(mutex_);
        cairo_surface_t*& surface = surfaces_[static_cast<std::size_t>(reduction)];
        if (!surface) surface = reduction == 0 ? convertedSurface(image) : reducedSurface(image, reduction);
        return surface ? cairo_surface_reference(surface) : nullptr;
    }

private:
    std::mutex mutex_;
    std::array<cairo_surface_t*, maxReduction + 1> surfaces_{};
};

// The number of halvings after which the image still has at least
// `width` x `height` pixels: Cairo then filters a reduction of less than
// two, which it does well, from a surface no larger than needed.
int reductionFor(const Image& image, double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height)) return 0;
    int reduction = 0;
    while (reduction < maxReduction && reducedLength(image.pixelWidth(), reduction + 1) >= width &&
           reducedLength(image.pixelHeight(), reduction + 1) >= height) {
        ++reduction;
    }
    return reduction;
}

}  // namespace

cairo_surface_t* surfaceFromImage(const Image& image, int reduction) {
    if (image.isEmpty() || reduction < 0 || reduction > maxReduction) return nullptr;
    auto cache = std::static_pointer_cast<CairoImageCache>(
        image.drawingCache([] { return std::make_shared<CairoImageCache>(); }));
    return cache ? cache->surface(image, reduction) : nullptr;
}

void paintImage(cairo_t* cr, const Image& image, const Rect& rect, const std::optional<Color>& tint) {
    if (rect.isNull() || rect.isEmpty() || image.pixelWidth() <= 0 || image.pixelHeight() <= 0) return;
    const Rect r = rect.standardized();
    // The size the image takes on the target, in its pixels.
    double wx = r.size.width, wy = 0, hx = 0, hy = r.size.height;
    cairo_user_to_device_distance(cr, &wx, &wy);
    cairo_user_to_device_distance(cr, &hx, &hy);
    const int reduction = reductionFor(image, std::hypot(wx, wy), std::hypot(hx, hy));
    cairo_surface_t* surface = surfaceFromImage(image, reduction);
    if (!surface) return;
    cairo_save(cr);
    cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height);
    cairo_clip(cr);
    cairo_translate(cr, r.origin.x, r.origin.y);
    // A reduced pixel covers 2^reduction pixels of the image each way.
    const double block = static_cast<double>(1 << reduction);
    cairo_scale(cr, r.size.width / image.pixelWidth() * block, r.size.height / image.pixelHeight() * block);
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
