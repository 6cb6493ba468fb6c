#include "platform/graphics/PngCodec.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

#include <png.h>

namespace platform::graphics::codec {
namespace {

struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

}  // namespace

bool isPng(std::span<const std::uint8_t> data) {
    static constexpr std::uint8_t signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return data.size() >= std::size(signature) && std::equal(std::begin(signature), std::end(signature), data.begin());
}

Result decodePng(std::span<const std::uint8_t> data, const Budget& budget) {
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data.data(), data.size())) {
        return std::unexpected(Refusal::notDecodable);
    }
    if (!budget.fitsPixels(png.image.width, png.image.height)) return std::unexpected(Refusal::overBudget);
    png.image.format = PNG_FORMAT_RGBA;
    // 16-bit samples without colour-space chunks are read as sRGB, like 8-bit
    // ones, so that a 16-bit value keeps its high byte.
    png.image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    Decoded out;
    out.width = static_cast<int>(png.image.width);
    out.height = static_cast<int>(png.image.height);
    out.rgba.resize(static_cast<std::size_t>(png.image.width) * png.image.height * 4u);
    if (!png_image_finish_read(&png.image, nullptr, out.rgba.data(), 0, nullptr)) {
        // libpng names the cause only in its message: the data ran out
        // before the rows did ("read beyond end of data"), or the
        // compressed rows end early ("Not enough image data").
        const std::string_view message(png.image.message);
        const bool cut = message.find("beyond end") != std::string_view::npos ||
                         message.find("Not enough image data") != std::string_view::npos;
        return std::unexpected(cut ? Refusal::truncated : Refusal::notDecodable);
    }
    return out;
}

std::vector<std::uint8_t> encodePng(int width, int height, std::span<const std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u) {
        return {};
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    // Window snapshots are large: a faster compression matters more than
    // the smallest file.
    image.flags = PNG_IMAGE_FLAG_FAST;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
    std::vector<std::uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
    out.resize(size);
    return out;
}

}  // namespace platform::graphics::codec
