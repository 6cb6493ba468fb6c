// JPEG decoding for Image (internal to the graphics layer), on libjpeg-turbo:
// grey, YCbCr and RGB files, and CMYK and YCCK converted to RGB; baseline and
// progressive. Any thread.
//
// The decoded image is upright: the orientation in the file's Exif block
// (APP1, tag 0x0112, values 1 to 8) is applied to the pixels as they are
// written, mirrored and rotated as the value says, with width and height
// swapped for 5 to 8; a missing or damaged tag means upright already.
//
// Refused: data that ends before the image's scan data does or whose scan
// data stops short (truncated: no part-decoded picture is kept; only the
// end-of-image marker may be missing, and only from a single-scan file, as a
// progressive one cannot tell whether more scans were to come), a declared size
// over the budget, and a file whose decoder would need more working memory
// than the budget's (the coefficients of every component kept for a
// progressive or multi-scan file, checked before the decoder allocates them;
// the memory manager is capped at the same figure), or more than 500 scans.
#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/ImageCodec.hpp"

namespace platform::graphics::codec {

// Whether the bytes start with a JPEG start-of-image marker.
bool isJpeg(std::span<const std::uint8_t> data);

Result decodeJpeg(std::span<const std::uint8_t> data, const Budget& budget);

// The orientation (1 to 8) an Exif block gives: the bytes of an APP1
// segment after its length ("Exif\0\0" then a TIFF structure). 1 when the
// block is not Exif, has no orientation or gives a value out of range.
int exifOrientation(std::span<const std::uint8_t> app1);

}  // namespace platform::graphics::codec
