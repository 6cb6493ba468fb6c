// An image value: decoded pixels (RGBA, 8 bits
// per channel, not premultiplied), the pixel size, the scale (pixels per
// interface point), the bundle name when it was loaded from the module bundle,
// the rendering mode, and the original encoded bytes, kept so that the image
// can be archived (the disk cache stores them) without re-encoding.
//
// Images come from the network, so decoding treats every byte as hostile.
// Each format has its codec (PngCodec, JpegCodec, GifCodec): PNG through
// libpng (every colour type and bit depth, palettes, transparency chunks,
// interlacing), JPEG through libjpeg-turbo (grey, YCbCr/RGB, CMYK and YCCK
// converted to RGB; turned upright as its Exif orientation says), GIF through
// giflib (the first frame on its logical screen). Refused, with one debug
// line, and never part-decoded:
// - data that is no image of these formats, or damaged;
// - truncated data: it ends before the image does (refused whole: nothing
//   part-decoded is kept or shown);
// - anything whose decoding would take more memory than its budget, checked
//   before the memory is allocated: the decoded pixels at most
//   `maxDecodedBytes` (64 MB: `maxPixelCount` pixels, no side over
//   `maxPixelSide`), and the decoder's own working memory beyond them at most
//   `maxDecoderWorkingBytes` (64 MB; a progressive JPEG's coefficients are
//   the one large item, the rest is a few rows). A GIF is as large as its
//   logical screen, whatever its frame, so a vast screen holding a tiny frame
//   is refused too. A decoding thus peaks at about 128 MB plus its input.
//
// The empty image (default-constructed) has no pixels and a zero size; a view
// showing it shows nothing.
//
// Cheap to copy: the pixels and the original bytes are shared, immutable
// buffers. Copies also share what a drawing layer derived from the pixels
// (`drawingCache`), so an image is converted for drawing once, however often
// and by whichever copy it is drawn. Two images are equal when they have the
// same pixel size, scale and pixels, whatever their names, rendering modes or
// encodings. Safe to share between threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Json.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"

namespace platform::graphics {

class Image {
public:
    // How a view draws the image: `automatic` as the view decides (its own
    // colours everywhere in this kit), `alwaysTemplate` as a mask filled with
    // the view's tint colour, `alwaysOriginal` in its own colours.
    enum class RenderingMode { automatic, alwaysOriginal, alwaysTemplate };

    // The decoding budget (see above).
    static constexpr int maxPixelSide = 16384;
    static constexpr std::size_t maxDecodedBytes = 64u * 1024 * 1024;
    static constexpr std::int64_t maxPixelCount = static_cast<std::int64_t>(maxDecodedBytes / 4);
    static constexpr std::size_t maxDecoderWorkingBytes = 64u * 1024 * 1024;

    // What a drawing layer keeps of an image's pixels to draw them again
    // (the pixels in its own format, smaller copies); it derives from this.
    class DrawingCache {
    public:
        virtual ~DrawingCache() = default;
    };

    // The empty image.
    Image();

    // Decodes encoded image bytes (PNG, JPEG, GIF); none when the bytes are
    // not an image of these formats or `scale` is not a positive number.
    static std::optional<Image> fromData(std::span<const std::uint8_t> data, double scale = 1.0);
    // Decodes the file at `path`; none when it cannot be read or decoded.
    static std::optional<Image> contentsOfFile(const std::filesystem::path& path, double scale = 1.0);
    // An image made of drawn pixels: row-major RGBA, 8 bits per channel, not
    // premultiplied, width * height * 4 bytes. None for a size that does not
    // match or is not positive. It has no original encoded bytes.
    static std::optional<Image> fromPixels(int width, int height, std::vector<std::uint8_t> rgba, double scale = 1.0);
    // The image named `name` of the module bundle, carrying that name, at the
    // scale of its file ("Name@2x.png" is at scale 2); none when the bundle
    // has no such image or it cannot be decoded.
    static std::optional<Image> named(std::string_view name);
    // An image of 1 x 1 point at `scale` (the screen's: the window's scale,
    // 2 by default as the kit's windows have) whose every pixel is `color`,
    // its components clamped to 0...1. None for a scale that is not a
    // positive number of at most 16 or a colour with a component not a number.
    static std::optional<Image> withColor(const Color& color, double scale = 2.0);

    // True for the empty image.
    bool isEmpty() const { return width_ == 0 || height_ == 0; }

    // Size in pixels.
    int pixelWidth() const { return width_; }
    int pixelHeight() const { return height_; }
    // Size in interface points (pixels divided by the scale).
    double width() const { return width_ / scale_; }
    double height() const { return height_ / scale_; }
    double scale() const { return scale_; }
    Size size() const;

    RenderingMode renderingMode() const { return renderingMode_; }
    // A copy of this image (same pixels, name and scale) drawn in `mode`.
    Image withRenderingMode(RenderingMode mode) const;

    // The bundle name, for images made with `named`.
    const std::optional<std::string>& name() const { return name_; }

    // The image encoded as a PNG (8-bit RGBA); empty for the empty image.
    core::Data pngData() const;
    // Writes pngData() to `path` atomically; false when the image is empty or
    // the file cannot be written.
    bool writePng(const std::filesystem::path& path) const;

    // Row-major RGBA pixels, 4 bytes per pixel, pixelWidth() * pixelHeight() pixels.
    std::span<const std::uint8_t> pixels() const;
    // The encoded bytes the image was decoded from.
    std::span<const std::uint8_t> originalData() const { return *original_; }

    // The drawing cache of these pixels, shared by every copy of this image:
    // the one `make` built on the first call for them (under a lock, so it
    // runs once), released with the pixels. Null for the empty image or when
    // `make` gives none. Thread-safe.
    std::shared_ptr<DrawingCache> drawingCache(const std::function<std::shared_ptr<DrawingCache>()>& make) const;

    friend bool operator==(const Image& a, const Image& b);

    // Hash of the pixel size, scale and pixels (consistent with ==).
    std::size_t hashValue() const;

private:
    int width_ = 0;
    int height_ = 0;
    double scale_ = 1.0;
    RenderingMode renderingMode_ = RenderingMode::automatic;
    std::optional<std::string> name_;
    struct Storage;
    std::shared_ptr<Storage> storage_;
    std::shared_ptr<const core::Data> original_;
};

}  // namespace platform::graphics

// The interface kit takes these values as its own and names them unqualified.
namespace platform::ui {
using graphics::Image;
}  // namespace platform::ui

template <>
struct std::hash<platform::graphics::Image> {
    std::size_t operator()(const platform::graphics::Image& image) const noexcept { return image.hashValue(); }
};
