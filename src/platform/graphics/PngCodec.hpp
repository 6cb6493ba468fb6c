// PNG decoding and encoding for Image (internal to the graphics layer), on
// libpng's simplified interface: every colour type, bit depth, palette,
// transparency chunk and interlacing is read as 8-bit RGBA. Data that ends
// before the image's last row is refused as truncated (what follows the
// image data, the closing chunk included, is not needed). Any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/ImageCodec.hpp"

namespace platform::graphics::codec {

// Whether the bytes start with the PNG signature.
bool isPng(std::span<const std::uint8_t> data);

// Decodes a PNG within `budget`: the size in its header is checked before
// the pixels are allocated; libpng's own working memory is a row or two.
Result decodePng(std::span<const std::uint8_t> data, const Budget& budget);

// Encodes `width` x `height` RGBA pixels (not premultiplied) as an 8-bit RGBA
// PNG, compressed for speed rather than size; empty when libpng fails.
std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgba);

}  // namespace platform::graphics::codec
