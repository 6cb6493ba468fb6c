// Cairo helpers shared by the layers and the Renderer (internal to the kit:
// only sources of the platform_ui layer include this). Main thread.
#pragma once

#include <functional>

#include <cairo.h>

#include <optional>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/Path.hpp"

namespace platform::ui::cairo {

// Adds `path` to the current cairo path.
void appendPath(cairo_t* cr, const Path& path);
void setColor(cairo_t* cr, const Color& color, double alphaFactor = 1);
// The rectangle, with corners rounded by `radius` when positive.
void appendRoundedRect(cairo_t* cr, const Rect& rect, double radius);
// A new reference to an image surface (premultiplied ARGB32) of the image
// reduced 2^reduction times each way (0: at full size), each pixel the mean of
// the pixels it covers; the caller destroys it. Made once for the image's
// pixels, shared by all its copies and kept while they live, so drawing an
// image again converts nothing. Null for the empty image, a reduction out of
// 0...14 or when Cairo cannot make the surface. Any thread.
cairo_surface_t* surfaceFromImage(const Image& image, int reduction = 0);
// The pixels of an ARGB32 image surface as an image of the given scale.
std::optional<Image> imageFromSurface(cairo_surface_t* surface, double scale);
// Paints the image stretched over `rect` (its edges padded, not blended with
// transparency); with a tint, the tint colour through the image's alpha.
// Where `rect` covers less than half the image's pixels each way on the
// target, it draws from the reduced copy nearest above that size (made once,
// kept with the image), so a vast image in a small view costs a small
// surface, not a full-size conversion.
void paintImage(cairo_t* cr, const Image& image, const Rect& rect, const std::optional<Color>& tint);
// Draws into a new transparent image of `size` points at `scale` (the
// context already scaled to points) and returns it; none for a size that is
// empty, not finite or over 16384 pixels a side, or when cairo fails.
std::optional<Image> drawImage(Size size, double scale, const std::function<void(cairo_t*)>& draw);
// Blurs an ARGB32 or A8 surface in place with three box
// passes each way, approximating a Gaussian blur of `sigma` pixels.
void boxBlur(cairo_surface_t* surface, double sigma);

}  // namespace platform::ui::cairo
