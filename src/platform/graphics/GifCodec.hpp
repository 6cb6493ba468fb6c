// GIF decoding for Image (internal to the graphics layer), on giflib: the
// first frame, drawn on its logical screen, transparent where the frame does
// not reach or its transparent index says so; an empty screen size takes the
// frame's. Any thread.
//
// The image is the logical screen, as the platform shows a GIF, so a tiny
// frame on a vast screen costs the screen: the screen must fit the budget's
// pixels (and the frame the side and pixel limits, since every row of it is
// decoded) before anything is allocated. A frame whose data ends before its
// last row is refused as truncated; what follows the first frame is not read.
#pragma once

#include <cstdint>
#include <span>

#include "platform/graphics/ImageCodec.hpp"

namespace platform::graphics::codec {

// Whether the bytes start with a GIF87a or GIF89a signature.
bool isGif(std::span<const std::uint8_t> data);

Result decodeGif(std::span<const std::uint8_t> data, const Budget& budget);

}  // namespace platform::graphics::codec
