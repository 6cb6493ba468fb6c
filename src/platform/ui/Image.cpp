#include "platform/ui/Image.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string_view>

#include "platform/core/Bundle.hpp"
#include "platform/core/FileManager.hpp"

// The one place where stb_image's implementation is compiled. Only the formats
// the component meets are built in, and absurd dimensions are refused before
// any pixel buffer is allocated.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include <stb/stb_image.h>

namespace platform::ui {
namespace {

// The JPEG decoder trusts the symbol counts of a Huffman table: a table
// declaring more than 256 symbols makes it write past its arrays. Images come
// from the network, so such files are refused before decoding. Walks the
// marker segments (and the entropy-coded data between scans, where
// progressive files define further tables).
bool jpegHuffmanTablesAreSafe(std::span<const std::uint8_t> data) {
    // Like the decoder, accept fill bytes before the start-of-image marker.
    const std::size_t size = data.size();
    std::size_t pos = 0;
    if (size == 0 || data[0] != 0xFF) return true;
    while (pos < size && data[pos] == 0xFF) ++pos;
    if (pos >= size || data[pos] != 0xD8) return true;  // not a JPEG
    ++pos;
    while (pos < size) {
        if (data[pos] != 0xFF) {
            // Entropy-coded data: skip to the next marker (0xFF followed by
            // neither a stuffed zero nor a restart marker).
            while (pos + 1 < size &&
                   !(data[pos] == 0xFF && data[pos + 1] != 0x00 && (data[pos + 1] < 0xD0 || data[pos + 1] > 0xD7))) {
                ++pos;
            }
            if (pos + 1 >= size) return true;
        }
        while (pos < size && data[pos] == 0xFF) ++pos;  // fill bytes
        if (pos >= size) return true;
        const std::uint8_t marker = data[pos++];
        if (marker == 0xD9) return true;                                          // end of image
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (pos + 2 > size) return true;
        const std::size_t length = (static_cast<std::size_t>(data[pos]) << 8) | data[pos + 1];
        if (length < 2) return true;  // the decoder refuses it itself
        if (marker == 0xC4) {
            // The decoder reads each table's head (class byte and 16 counts)
            // while the declared segment has bytes left, reading zeros past
            // the end of the data.
            std::size_t table = pos + 2;
            while (table < pos + length && table < size) {
                std::size_t symbols = 0;
                for (std::size_t i = table + 1; i <= table + 16 && i < size; ++i) symbols += data[i];
                if (symbols > 256) return false;
                table += 17 + symbols;
            }
        }
        pos += length;
    }
    return true;
}

}  // namespace

std::optional<Image> Image::fromData(std::span<const std::uint8_t> data, double scale) {
    if (data.empty() || data.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    if (!(scale > 0) || !std::isfinite(scale)) return std::nullopt;
    if (!jpegHuffmanTablesAreSafe(data)) return std::nullopt;

    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(data.data(), static_cast<int>(data.size()), &width, &height,
                                             &channels, 4);
    if (decoded == nullptr) return std::nullopt;
    std::unique_ptr<stbi_uc, void (*)(void*)> owner(decoded, stbi_image_free);
    if (width <= 0 || height <= 0) return std::nullopt;

    const auto byteCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u;
    Image image;
    image.width_ = width;
    image.height_ = height;
    image.scale_ = scale;
    image.pixels_ = std::make_shared<const std::vector<std::uint8_t>>(decoded, decoded + byteCount);
    image.original_ = std::make_shared<const core::Data>(data.begin(), data.end());
    return image;
}

std::optional<Image> Image::fromPixels(int width, int height, std::vector<std::uint8_t> rgba, double scale) {
    if (width <= 0 || height <= 0 || !(scale > 0) || !std::isfinite(scale)) return std::nullopt;
    if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u) return std::nullopt;
    Image image;
    image.width_ = width;
    image.height_ = height;
    image.scale_ = scale;
    image.pixels_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba));
    image.original_ = std::make_shared<const core::Data>();
    return image;
}

std::optional<Image> Image::contentsOfFile(const std::filesystem::path& path, double scale) {
    auto bytes = core::FileManager::readFile(path);
    if (!bytes) return std::nullopt;
    return fromData(*bytes, scale);
}

std::optional<Image> Image::named(std::string_view name) {
    auto path = core::Bundle::module().pathForImage(name);
    if (!path) return std::nullopt;
    auto image = contentsOfFile(*path);
    if (image) image->name_ = std::string(name);
    return image;
}

bool operator==(const Image& a, const Image& b) {
    if (a.width_ != b.width_ || a.height_ != b.height_ || a.scale_ != b.scale_) return false;
    if (a.pixels_ == b.pixels_) return true;
    return *a.pixels_ == *b.pixels_;
}

std::size_t Image::hashValue() const {
    std::size_t seed = std::hash<int>{}(width_);
    auto mix = [&seed](std::size_t value) { seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2); };
    mix(std::hash<int>{}(height_));
    mix(std::hash<double>{}(scale_));
    const auto& pixels = *pixels_;
    mix(std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size())));
    return seed;
}

}  // namespace platform::ui
