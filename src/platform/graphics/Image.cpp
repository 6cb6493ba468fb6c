#include "platform/graphics/Image.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include "platform/core/Bundle.hpp"
#include "platform/core/FileManager.hpp"

namespace platform::graphics {
namespace {

using Bytes = std::span<const std::uint8_t>;

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Checked before any pixel buffer is allocated.
bool acceptableSize(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= static_cast<std::uint64_t>(Image::maxPixelSide) &&
           height <= static_cast<std::uint64_t>(Image::maxPixelSide) &&
           width * height <= static_cast<std::uint64_t>(Image::maxPixelCount);
}

std::size_t rgbaByteCount(std::uint64_t width, std::uint64_t height) {
    return static_cast<std::size_t>(width * height * 4u);
}

// ---- PNG (libpng's simplified interface, which reports errors through its
// return values and converts every colour type, bit depth, palette,
// transparency chunk and interlacing to 8-bit RGBA) ----

struct PngImage {
    png_image image{};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

std::optional<Decoded> decodePng(Bytes data) {
    PngImage png;
    if (!png_image_begin_read_from_memory(&png.image, data.data(), data.size())) return std::nullopt;
    if (!acceptableSize(png.image.width, png.image.height)) return std::nullopt;
    png.image.format = PNG_FORMAT_RGBA;
    // 16-bit samples without colour-space chunks are read as sRGB, like 8-bit
    // ones, so that a 16-bit value keeps its high byte.
    png.image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    Decoded out;
    out.width = static_cast<int>(png.image.width);
    out.height = static_cast<int>(png.image.height);
    out.rgba.resize(rgbaByteCount(png.image.width, png.image.height));
    if (!png_image_finish_read(&png.image, nullptr, out.rgba.data(), 0, nullptr)) return std::nullopt;
    return out;
}

// ---- JPEG (libjpeg-turbo; its errors leave through a longjmp back into the
// one function that runs the decoder, which holds no object with a
// destructor) ----

// More scans than any real progressive file has; each scan can cost a pass
// over the whole image, so a file made of thousands of tiny scans is refused.
constexpr int maxJpegScans = 500;
// Decoder working memory (coefficient buffers of progressive files) beyond
// the output pixels.
constexpr long maxJpegWorkingMemory = 512l * 1024 * 1024;

struct JpegErrorManager {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
};

struct JpegJob {
    jpeg_decompress_struct info{};
    JpegErrorManager error;
    jpeg_progress_mgr progress{};
    bool created = false;
    Decoded out;
    std::vector<std::uint8_t> row;

    JpegJob() = default;
    JpegJob(const JpegJob&) = delete;
    JpegJob& operator=(const JpegJob&) = delete;
    ~JpegJob() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(error->jump, 1);
}

void jpegIgnoreMessage(j_common_ptr, int) {}
void jpegIgnoreOutput(j_common_ptr) {}

void jpegProgress(j_common_ptr info) {
    if (!info->is_decompressor) return;
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > maxJpegScans) info->err->error_exit(info);
}

// Adobe's CMYK files store inverted inks; others store them plain.
void cmykRowToRgba(const std::uint8_t* cmyk, std::uint8_t* rgba, std::size_t width, bool inverted) {
    for (std::size_t x = 0; x < width; ++x) {
        unsigned c = cmyk[x * 4], m = cmyk[x * 4 + 1], y = cmyk[x * 4 + 2], k = cmyk[x * 4 + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgba[x * 4] = static_cast<std::uint8_t>((c * k + 127) / 255);
        rgba[x * 4 + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        rgba[x * 4 + 2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        rgba[x * 4 + 3] = 0xFF;
    }
}

// Runs the decoder; false on any error. Nothing here is read after a longjmp
// but `job`, which lives in the caller.
bool runJpegDecoder(JpegJob& job, Bytes data) {
    if (setjmp(job.error.jump)) return false;
    jpeg_create_decompress(&job.info);
    job.created = true;
    job.info.mem->max_memory_to_use = maxJpegWorkingMemory;
    job.info.progress = &job.progress;
    jpeg_mem_src(&job.info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&job.info, TRUE) != JPEG_HEADER_OK) return false;
    if (!acceptableSize(job.info.image_width, job.info.image_height)) return false;

    bool cmyk = false;
    switch (job.info.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            job.info.out_color_space = JCS_EXT_RGBA;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            job.info.out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            return false;
    }
    if (!jpeg_start_decompress(&job.info)) return false;
    const JDIMENSION width = job.info.output_width;
    const JDIMENSION height = job.info.output_height;
    if (!acceptableSize(width, height) || job.info.output_components != 4) return false;

    job.out.width = static_cast<int>(width);
    job.out.height = static_cast<int>(height);
    job.out.rgba.resize(rgbaByteCount(width, height));
    if (cmyk) job.row.resize(static_cast<std::size_t>(width) * 4u);
    const std::size_t stride = static_cast<std::size_t>(width) * 4u;
    while (job.info.output_scanline < height) {
        std::uint8_t* target = job.out.rgba.data() + job.info.output_scanline * stride;
        JSAMPROW row = cmyk ? job.row.data() : target;
        if (jpeg_read_scanlines(&job.info, &row, 1) != 1) return false;
        if (cmyk) cmykRowToRgba(job.row.data(), target, width, job.info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

std::optional<Decoded> decodeJpeg(Bytes data) {
    JpegJob job;
    job.info.err = jpeg_std_error(&job.error.manager);
    job.error.manager.error_exit = jpegErrorExit;
    job.error.manager.emit_message = jpegIgnoreMessage;
    job.error.manager.output_message = jpegIgnoreOutput;
    job.progress.progress_monitor = jpegProgress;
    if (!runJpegDecoder(job, data)) return std::nullopt;
    return std::move(job.out);
}

// ---- GIF (giflib; the first frame, drawn on the logical screen, transparent
// where the frame does not reach or its transparent index says so) ----

struct GifSource {
    Bytes data;
    std::size_t position = 0;
};

int readGif(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    if (length <= 0) return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(length), source->data.size() - source->position);
    if (count > 0) std::memcpy(buffer, source->data.data() + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

std::optional<Decoded> decodeGif(Bytes data) {
    GifSource source{data};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readGif, &error));
    if (!gif) return std::nullopt;

    int transparentIndex = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return std::nullopt;
        if (type == TERMINATE_RECORD_TYPE) return std::nullopt;  // no frame at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) return std::nullopt;
            // Graphic control: block[0] is the length, block[1] the flags
            // (bit 0: a transparent index is given), block[4] the index.
            if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
                transparentIndex = (block[1] & 0x01) ? block[4] : -1;
            }
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) return std::nullopt;
            }
            continue;
        }
        if (type == IMAGE_DESC_RECORD_TYPE) break;
        return std::nullopt;
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return std::nullopt;

    const GifImageDesc& frame = gif->Image;
    if (frame.Left < 0 || frame.Top < 0 || frame.Width < 0 || frame.Height < 0) return std::nullopt;
    if (!acceptableSize(static_cast<std::uint64_t>(frame.Width), static_cast<std::uint64_t>(frame.Height))) {
        return std::nullopt;
    }
    std::uint64_t width = static_cast<std::uint64_t>(gif->SWidth);
    std::uint64_t height = static_cast<std::uint64_t>(gif->SHeight);
    if (width == 0 || height == 0) {
        width = static_cast<std::uint64_t>(frame.Width);
        height = static_cast<std::uint64_t>(frame.Height);
    }
    if (!acceptableSize(width, height)) return std::nullopt;
    const ColorMapObject* colors = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colors == nullptr || colors->Colors == nullptr) return std::nullopt;

    Decoded out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(rgbaByteCount(width, height), 0);
    std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));

    auto drawLine = [&](int frameRow) {
        const std::uint64_t y = static_cast<std::uint64_t>(frame.Top) + static_cast<std::uint64_t>(frameRow);
        if (y >= height) return;
        for (int i = 0; i < frame.Width; ++i) {
            const std::uint64_t x = static_cast<std::uint64_t>(frame.Left) + static_cast<std::uint64_t>(i);
            if (x >= width) break;
            const int index = line[static_cast<std::size_t>(i)];
            if (index == transparentIndex || index >= colors->ColorCount) continue;
            std::uint8_t* pixel = out.rgba.data() + (y * width + x) * 4u;
            pixel[0] = colors->Colors[index].Red;
            pixel[1] = colors->Colors[index].Green;
            pixel[2] = colors->Colors[index].Blue;
            pixel[3] = 0xFF;
        }
    };
    if (frame.Width > 0 && frame.Height > 0) {
        if (frame.Interlace) {
            static constexpr int start[] = {0, 4, 2, 1};
            static constexpr int step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = start[pass]; row < frame.Height; row += step[pass]) {
                    if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return std::nullopt;
                    drawLine(row);
                }
            }
        } else {
            for (int row = 0; row < frame.Height; ++row) {
                if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return std::nullopt;
                drawLine(row);
            }
        }
    }
    return out;
}

std::optional<Decoded> decode(Bytes data) {
    static constexpr std::uint8_t pngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data.size() >= sizeof pngSignature &&
        std::equal(std::begin(pngSignature), std::end(pngSignature), data.begin())) {
        return decodePng(data);
    }
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return decodeJpeg(data);
    if (data.size() >= 6 && std::memcmp(data.data(), "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9') &&
        data[5] == 'a') {
        return decodeGif(data);
    }
    return std::nullopt;
}

bool validScale(double scale) { return scale > 0 && std::isfinite(scale); }

const std::shared_ptr<const std::vector<std::uint8_t>>& noBytes() {
    static const auto empty = std::make_shared<const std::vector<std::uint8_t>>();
    return empty;
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

Image::Image() : pixels_(noBytes()), original_(noBytes()) {}

std::optional<Image> Image::fromData(std::span<const std::uint8_t> data, double scale) {
    if (data.empty() || !validScale(scale)) return std::nullopt;
    auto decoded = decode(data);
    if (!decoded) return std::nullopt;
    Image image;
    image.width_ = decoded->width;
    image.height_ = decoded->height;
    image.scale_ = scale;
    image.pixels_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(decoded->rgba));
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
    image.pixels_ = std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba));
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

Size Image::size() const { return {width(), height()}; }

Image Image::withRenderingMode(RenderingMode mode) const {
    Image copy = *this;
    copy.renderingMode_ = mode;
    return copy;
}

core::Data Image::pngData() const {
    if (isEmpty()) return {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGBA;
    // Window snapshots are large: a faster compression matters more than
    // the smallest file.
    image.flags = PNG_IMAGE_FLAG_FAST;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels_->data(), 0, nullptr)) return {};
    core::Data out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels_->data(), 0, nullptr)) return {};
    out.resize(size);
    return out;
}

bool Image::writePng(const std::filesystem::path& path) const {
    const auto bytes = pngData();
    if (bytes.empty()) return false;
    return core::FileManager::writeFileAtomically(path, std::span<const std::uint8_t>(bytes)).has_value();
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

}  // namespace platform::graphics
