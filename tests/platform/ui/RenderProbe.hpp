// Pixel probes of rendered images for the interface kit's drawing tests, and
// a PNG writer to look at a snapshot while a test is being written.
#pragma once

#include <cairo.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/graphics/Image.hpp"

namespace renderprobe {

using Rgba = std::array<int, 4>;

// The pixel under the point (in points) of an image of any scale.
inline Rgba pixelAt(const platform::graphics::Image& image, double x, double y) {
    const int px = static_cast<int>(std::floor(x * image.scale()));
    const int py = static_cast<int>(std::floor(y * image.scale()));
    if (px < 0 || py < 0 || px >= image.pixelWidth() || py >= image.pixelHeight()) return {-1, -1, -1, -1};
    const auto* p = image.pixels().data() + (static_cast<std::size_t>(py) * image.pixelWidth() + px) * 4;
    return {p[0], p[1], p[2], p[3]};
}

inline bool near(const Rgba& a, const Rgba& b, int tolerance) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

inline std::string describe(const Rgba& c) {
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) + ", " +
           std::to_string(c[3]) + ")";
}

// Writes the image as a PNG (for looking at it while writing a test).
inline bool writePng(const platform::graphics::Image& image, const std::string& path) {
    const int w = image.pixelWidth(), h = image.pixelHeight();
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const auto* p = image.pixels().data() + (static_cast<std::size_t>(y) * w + x) * 4;
            const std::uint32_t a = p[3];
            row[x] = (a << 24) | ((p[0] * a / 255) << 16) | ((p[1] * a / 255) << 8) | (p[2] * a / 255);
        }
    }
    cairo_surface_mark_dirty(s);
    const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    return ok;
}

}  // namespace renderprobe
