#include "platform/ui/Image.hpp"

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

std::optional<Image> Image::fromData(std::span<const std::uint8_t> data, double scale) {
    if (data.empty() || data.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    if (!(scale > 0) || !std::isfinite(scale)) return std::nullopt;

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
