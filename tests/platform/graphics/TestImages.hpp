// Small encoded images made in memory for tests: PNG in any colour type, bit
// depth and interlacing through libpng's full writer, JPEG (RGB, grey, CMYK)
// through libjpeg, and a hand-made one-pixel GIF. Independent of the kit's
// own encoder, so that decoding is checked against another writer.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace testimages {

using Bytes = std::vector<std::uint8_t>;

// Row-major RGBA pixels: a gradient that depends on `seed`, fully opaque.
inline Bytes rgbaPattern(int width, int height, int seed) {
    Bytes pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(static_cast<std::uint8_t>((x * 7 + seed) & 0xff));
            pixels.push_back(static_cast<std::uint8_t>((y * 13 + seed * 3) & 0xff));
            pixels.push_back(static_cast<std::uint8_t>((x * y + seed * 5) & 0xff));
            pixels.push_back(0xff);
        }
    }
    return pixels;
}

// A PNG as libpng writes it: `rows` holds the packed samples of every row
// (height rows of rowBytes each) in the given colour type and bit depth.
struct PngSpec {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGBA;
    int bitDepth = 8;
    bool interlaced = false;
    Bytes rows;
    std::vector<png_color> palette;
    Bytes paletteAlpha;                    // tRNS of a palette image
    std::vector<std::uint16_t> colorKey;   // tRNS of a grey (1 value) or RGB (3 values) image
};

inline Bytes encodePng(const PngSpec& spec) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("test PNG could not be written");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* target = static_cast<Bytes*>(png_get_io_ptr(p));
            target->insert(target->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width), static_cast<png_uint_32>(spec.height),
                 spec.bitDepth, spec.colorType, spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
    }
    if (!spec.colorKey.empty()) {
        png_color_16 key{};
        key.gray = spec.colorKey[0];
        if (spec.colorKey.size() == 3) {
            key.red = spec.colorKey[0];
            key.green = spec.colorKey[1];
            key.blue = spec.colorKey[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows;
    for (int y = 0; y < spec.height; ++y) {
        rows.push_back(const_cast<png_bytep>(spec.rows.data() + static_cast<std::size_t>(y) * rowBytes));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline Bytes png(int width, int height, const Bytes& rgba) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.rows = rgba;
    return encodePng(spec);
}

inline Bytes png(int width, int height, int seed = 0) { return png(width, height, rgbaPattern(width, height, seed)); }

// How encodeJpeg writes: progressive scans, full chroma (every component
// sampled at every pixel instead of chroma halved each way), and an APP1
// segment (an Exif block) after the header.
struct JpegOptions {
    bool progressive = false;
    bool fullChroma = false;
    Bytes app1;
};

// A JPEG of `components` samples per pixel in `space` (JCS_RGB, JCS_GRAYSCALE
// or JCS_CMYK), quality 90.
inline Bytes encodeJpeg(int width, int height, const Bytes& samples, int components, J_COLOR_SPACE space,
                        const JpegOptions& options = {}) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (options.fullChroma) {
        for (int i = 0; i < info.num_components; ++i) {
            info.comp_info[i].h_samp_factor = 1;
            info.comp_info[i].v_samp_factor = 1;
        }
    }
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (!options.app1.empty()) {
        jpeg_write_marker(&info, JPEG_APP0 + 1, options.app1.data(), static_cast<unsigned>(options.app1.size()));
    }
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// An Exif block whose first directory holds one entry, the orientation
// (tag 0x0112, a SHORT), in little-endian ("II") or big-endian ("MM") order.
inline Bytes exifOrientationBlock(int orientation, bool bigEndian = false) {
    Bytes block{'E', 'x', 'i', 'f', 0, 0};
    auto put16 = [&](unsigned value) {
        if (bigEndian) block.insert(block.end(), {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
        else block.insert(block.end(), {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
    };
    auto put32 = [&](unsigned value) {
        if (bigEndian) {
            put16(value >> 16);
            put16(value & 0xFFFF);
        } else {
            put16(value & 0xFFFF);
            put16(value >> 16);
        }
    };
    block.insert(block.end(), bigEndian ? std::initializer_list<std::uint8_t>{'M', 'M'}
                                        : std::initializer_list<std::uint8_t>{'I', 'I'});
    put16(42);
    put32(8);       // the first directory follows the header
    put16(1);       // one entry
    put16(0x0112);  // orientation
    put16(3);       // SHORT
    put32(1);       // one value
    put16(static_cast<unsigned>(orientation));
    put16(0);       // the rest of the value field
    put32(0);       // no next directory
    return block;
}

inline Bytes jpeg(int width, int height, int seed = 0) {
    const auto rgba = rgbaPattern(width, height, seed);
    Bytes rgb;
    for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    return encodeJpeg(width, height, rgb, 3, JCS_RGB);
}

// A 1x1 GIF whose only pixel is opaque red.
inline Bytes redPixelGif() {
    return {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44,
            0x01, 0x00, 0x3B};
}

}  // namespace testimages
