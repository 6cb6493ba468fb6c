#include "platform/graphics/Image.hpp"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/core/Bundle.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/graphics/GifCodec.hpp"
#include "platform/graphics/JpegCodec.hpp"
#include "platform/graphics/PngCodec.hpp"

namespace platform::graphics {

// The pixels every copy of an image shares, and what drawing made of them.
struct Image::Storage {
    explicit Storage(std::vector<std::uint8_t> pixels) : rgba(std::move(pixels)) {}
    const std::vector<std::uint8_t> rgba;
    std::mutex mutex;
    std::shared_ptr<DrawingCache> drawingCache;  // guarded by mutex
};

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr codec::Budget decodingBudget{Image::maxDecodedBytes, Image::maxDecoderWorkingBytes,
                                       static_cast<std::uint32_t>(Image::maxPixelSide)};

codec::Result decode(Bytes data, std::string_view& format) {
    if (codec::isPng(data)) {
        format = "PNG";
        return codec::decodePng(data, decodingBudget);
    }
    if (codec::isJpeg(data)) {
        format = "JPEG";
        return codec::decodeJpeg(data, decodingBudget);
    }
    if (codec::isGif(data)) {
        format = "GIF";
        return codec::decodeGif(data, decodingBudget);
    }
    return std::unexpected(codec::Refusal::notDecodable);
}

bool validScale(double scale) { return scale > 0 && std::isfinite(scale); }

// Never destroyed: an image may still be made or dropped on another thread
// while the process exits.
const std::shared_ptr<const std::vector<std::uint8_t>>& noBytes() {
    static core::NoDestructor<std::shared_ptr<const std::vector<std::uint8_t>>> empty{
        std::make_shared<const std::vector<std::uint8_t>>()};
    return *empty;
}

// The scale a bundle file declares by its "@2x" / "@3x" suffix.
double scaleOfBundleFile(const std::filesystem::path& path) {
    const std::string stem = path.stem().string();
    if (stem.size() > 3 && stem[stem.size() - 3] == '@' && stem.back() == 'x') {
        const char digit = stem[stem.size() - 2];
        if (digit >= '1' && digit <= '9') return digit - '0';
    }
    return 1.0;
}

}  // namespace

Image::Image() : original_(noBytes()) {}

std::optional<Image> Image::fromData(std::span<const std::uint8_t> data, double scale) {
    if (data.empty() || !validScale(scale)) return std::nullopt;
    std::string_view format = "image";
    auto decoded = decode(data, format);
    if (!decoded) {
        core::debugPrint("Image: refused " + std::string(format) + " of " + std::to_string(data.size()) +
                         " bytes: " + std::string(codec::describe(decoded.error())));
        return std::nullopt;
    }
    Image image;
    image.width_ = decoded->width;
    image.height_ = decoded->height;
    image.scale_ = scale;
    image.storage_ = std::make_shared<Storage>(std::move(decoded->rgba));
    image.original_ = std::make_shared<const core::Data>(data.begin(), data.end());
    return image;
}

std::optional<Image> Image::fromPixels(int width, int height, std::vector<std::uint8_t> rgba, double scale) {
    if (width <= 0 || height <= 0 || !validScale(scale)) return std::nullopt;
    if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4u) return std::nullopt;
    Image image;
    image.width_ = width;
    image.height_ = height;
    image.scale_ = scale;
    image.storage_ = std::make_shared<Storage>(std::move(rgba));
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
    auto image = contentsOfFile(*path, scaleOfBundleFile(*path));
    if (image) image->name_ = std::string(name);
    return image;
}

std::optional<Image> Image::withColor(const Color& color, double scale) {
    if (!validScale(scale) || scale > 16) return std::nullopt;
    const double components[] = {color.red, color.green, color.blue, color.alpha};
    std::uint8_t pixel[4];
    for (std::size_t i = 0; i < 4; ++i) {
        if (std::isnan(components[i])) return std::nullopt;
        pixel[i] = static_cast<std::uint8_t>(std::lround(std::clamp(components[i], 0.0, 1.0) * 255.0));
    }
    // One point covers `scale` pixels a side, the last one partly.
    const int side = static_cast<int>(std::ceil(scale));
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(side) * side * 4u);
    for (int i = 0; i < side * side; ++i) rgba.insert(rgba.end(), std::begin(pixel), std::end(pixel));
    return fromPixels(side, side, std::move(rgba), scale);
}

Size Image::size() const { return {width(), height()}; }

std::span<const std::uint8_t> Image::pixels() const {
    if (!storage_) return {};
    return storage_->rgba;
}

Image Image::withRenderingMode(RenderingMode mode) const {
    Image copy = *this;
    copy.renderingMode_ = mode;
    return copy;
}

core::Data Image::pngData() const {
    if (isEmpty()) return {};
    return codec::encodePng(width_, height_, pixels());
}

bool Image::writePng(const std::filesystem::path& path) const {
    const auto bytes = pngData();
    if (bytes.empty()) return false;
    return core::FileManager::writeFileAtomically(path, std::span<const std::uint8_t>(bytes)).has_value();
}

std::shared_ptr<Image::DrawingCache> Image::drawingCache(
    const std::function<std::shared_ptr<DrawingCache>()>& make) const {
    if (!storage_ || isEmpty()) return nullptr;
    std::lock_guard lock(storage_->mutex);
    if (!storage_->drawingCache && make) storage_->drawingCache = make();
    return storage_->drawingCache;
}

bool operator==(const Image& a, const Image& b) {
    if (a.width_ != b.width_ || a.height_ != b.height_ || a.scale_ != b.scale_) return false;
    if (a.storage_ == b.storage_) return true;
    return std::ranges::equal(a.pixels(), b.pixels());
}

std::size_t Image::hashValue() const {
    std::size_t seed = std::hash<int>{}(width_);
    auto mix = [&seed](std::size_t value) { seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2); };
    mix(std::hash<int>{}(height_));
    mix(std::hash<double>{}(scale_));
    const auto pixels = this->pixels();
    mix(std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size())));
    return seed;
}

}  // namespace platform::graphics
