// Small encoded images made in memory for tests: PNG and JPEG through
// stb_image_write (compiled privately into each test file that includes this),
// and a hand-made one-pixel GIF.
#pragma once

#include <cstdint>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace testimages {

using Bytes = std::vector<std::uint8_t>;

// Row-major RGBA pixels: a gradient that depends on `seed`, fully opaque.
inline Bytes rgbaPattern(int width, int height, int seed) {
    Bytes pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<std::uint8_t>((x * 7 + seed) & 0xff));
            pixels.push_back(static_cast<std::uint8_t>((y * 13 + seed * 3) & 0xff));
            pixels.push_back(static_cast<std::uint8_t>((x * y + seed * 5) & 0xff));
            pixels.push_back(0xff);
        }
    }
    return pixels;
}

inline void appendTo(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

inline Bytes png(int width, int height, const Bytes& rgba) {
    Bytes out;
    stbi_write_png_to_func(appendTo, &out, width, height, 4, rgba.data(), width * 4);
    return out;
}

inline Bytes png(int width, int height, int seed = 0) { return png(width, height, rgbaPattern(width, height, seed)); }

inline Bytes jpeg(int width, int height, int seed = 0) {
    Bytes out;
    const auto rgba = rgbaPattern(width, height, seed);
    stbi_write_jpg_to_func(appendTo, &out, width, height, 4, rgba.data(), 90);
    return out;
}

// A 1x1 GIF whose only pixel is opaque red.
inline Bytes redPixelGif() {
    return {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44,
            0x01, 0x00, 0x3B};
}

}  // namespace testimages
