#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <limits>
#include <unordered_set>

#include "platform/core/DebugPrint.hpp"
#include "platform/graphics/Image.hpp"
#include "platform/graphics/JpegCodec.hpp"
#include "platform/graphics/TestImages.hpp"

using platform::graphics::Image;

TEST(Image, DecodesPngWithItsPixelsSizeAndScale) {
    const auto rgba = testimages::rgbaPattern(5, 3, 7);
    const auto bytes = testimages::png(5, 3, rgba);
    auto image = Image::fromData(bytes, 2.0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 5);
    EXPECT_EQ(image->pixelHeight(), 3);
    EXPECT_DOUBLE_EQ(image->scale(), 2.0);
    EXPECT_DOUBLE_EQ(image->width(), 2.5);
    EXPECT_DOUBLE_EQ(image->height(), 1.5);
    EXPECT_TRUE(std::ranges::equal(image->pixels(), rgba));
    EXPECT_TRUE(std::ranges::equal(image->originalData(), bytes));
    EXPECT_FALSE(image->name());
}

TEST(Image, DecodesJpegAndTheFirstFrameOfAGif) {
    auto jpeg = Image::fromData(testimages::jpeg(16, 8));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->pixelWidth(), 16);
    EXPECT_EQ(jpeg->pixelHeight(), 8);
    EXPECT_EQ(jpeg->pixels().size(), 16u * 8u * 4u);

    auto gif = Image::fromData(testimages::redPixelGif());
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->pixels().size(), 4u);
    EXPECT_EQ(gif->pixels()[0], 0xff);
    EXPECT_EQ(gif->pixels()[1], 0x00);
    EXPECT_EQ(gif->pixels()[2], 0x00);
    EXPECT_EQ(gif->pixels()[3], 0xff);
}

TEST(Image, RefusesBytesThatAreNoImageAndNonPositiveScales) {
    const auto png = testimages::png(4, 4);
    EXPECT_FALSE(Image::fromData({}));
    const std::vector<std::uint8_t> text{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_FALSE(Image::fromData(text));
    EXPECT_FALSE(Image::fromData(std::span(png).first(png.size() / 2)));
    EXPECT_FALSE(Image::fromData(png, 0.0));
    EXPECT_FALSE(Image::fromData(png, -1.0));
    EXPECT_FALSE(Image::fromData(png, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(Image::contentsOfFile("/nonexistent/file.png"));
    EXPECT_FALSE(Image::named("NoSuchImageInTheBundle"));
}

TEST(Image, EqualityAndHashFollowTheContentNotTheEncoding) {
    // One red pixel, as PNG and as GIF.
    auto fromPng = Image::fromData(testimages::png(1, 1, {0xff, 0x00, 0x00, 0xff}));
    auto fromGif = Image::fromData(testimages::redPixelGif());
    ASSERT_TRUE(fromPng && fromGif);
    EXPECT_EQ(*fromPng, *fromGif);
    EXPECT_EQ(std::hash<Image>{}(*fromPng), std::hash<Image>{}(*fromGif));

    auto green = Image::fromData(testimages::png(1, 1, {0x00, 0xff, 0x00, 0xff}));
    auto redAt2x = Image::fromData(testimages::redPixelGif(), 2.0);
    EXPECT_NE(*fromPng, *green);
    EXPECT_NE(*fromPng, *redAt2x);
    // Same pixel bytes, other shape.
    auto wide = Image::fromData(testimages::png(4, 1, 1));
    auto tall = Image::fromData(testimages::png(1, 4, testimages::rgbaPattern(4, 1, 1)));
    ASSERT_TRUE(wide && tall);
    EXPECT_NE(*wide, *tall);

    std::unordered_set<Image> set{*fromPng, *fromGif, *green};
    EXPECT_EQ(set.size(), 2u);
}

TEST(Image, CopiesShareTheirBuffers) {
    auto image = Image::fromData(testimages::png(64, 64));
    ASSERT_TRUE(image);
    const Image copy = *image;
    EXPECT_EQ(copy.pixels().data(), image->pixels().data());
    EXPECT_EQ(copy.originalData().data(), image->originalData().data());
    EXPECT_EQ(copy, *image);
}

TEST(Image, DamagedEncodingsAreRefusedOrDecodedWithoutHarm) {
    // Images come from the network: flipped bytes anywhere must never crash
    // the decoder or yield an image whose buffers disagree with its size.
    const std::vector<testimages::Bytes> originals{testimages::png(24, 16, 3), testimages::jpeg(24, 16, 3),
                                                   testimages::redPixelGif()};
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    int decoded = 0;
    for (const auto& original : originals) {
        for (int round = 0; round < 300; ++round) {
            auto bytes = original;
            const int flips = 1 + static_cast<int>(next() % 4);
            for (int i = 0; i < flips; ++i) bytes[next() % bytes.size()] ^= static_cast<std::uint8_t>(1 + next() % 255);
            if (round % 3 == 0) bytes.resize(next() % bytes.size());
            if (auto image = Image::fromData(bytes)) {
                ++decoded;
                ASSERT_EQ(image->pixels().size(),
                          static_cast<std::size_t>(image->pixelWidth()) * image->pixelHeight() * 4u);
            }
        }
    }
    EXPECT_GT(decoded, 0);
}

TEST(Image, JpegWithAnOversizedHuffmanTableIsRefused) {
    auto bytes = testimages::jpeg(16, 16, 4);
    ASSERT_TRUE(Image::fromData(bytes));
    std::size_t dht = 0;
    for (std::size_t i = 2; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC4) {
            dht = i;
            break;
        }
    }
    ASSERT_NE(dht, 0u);
    // Segment marker (2), length (2), table class (1), then 16 counts: 16 * 17 = 272 symbols.
    for (std::size_t i = 0; i < 16; ++i) bytes[dht + 5 + i] = 17;
    EXPECT_FALSE(Image::fromData(bytes));

    // The same with the counts cut off by the end of the data.
    auto cut = std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(dht + 5 + 16));
    EXPECT_FALSE(Image::fromData(cut));
}

namespace {

using testimages::Bytes;
using testimages::PngSpec;

struct PngCase {
    const char* what;
    PngSpec spec;
    Bytes expected;  // RGBA of every pixel
};

PngSpec pngSpec(int width, int height, int colorType, int bitDepth, Bytes rows) {
    PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colorType = colorType;
    spec.bitDepth = bitDepth;
    spec.rows = std::move(rows);
    return spec;
}

std::vector<PngCase> pngCases() {
    std::vector<PngCase> cases;
    cases.push_back({"grey 8", pngSpec(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}),
                     {0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255}});
    cases.push_back({"grey 1", pngSpec(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000}),
                     {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}});
    cases.push_back({"grey 16", pngSpec(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x80, 0x20, 0x20}),
                     {0x80, 0x80, 0x80, 255, 0x20, 0x20, 0x20, 255}});
    cases.push_back({"grey and alpha 8", pngSpec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 255, 50, 0}),
                     {200, 200, 200, 255, 50, 50, 50, 0}});
    cases.push_back({"RGB 8", pngSpec(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 251, 252}),
                     {1, 2, 3, 255, 250, 251, 252, 255}});
    cases.push_back({"RGBA 16",
                     pngSpec(1, 1, PNG_COLOR_TYPE_RGBA, 16, {0x10, 0x10, 0x40, 0x40, 0x90, 0x90, 0xFF, 0xFF}),
                     {0x10, 0x40, 0x90, 0xFF}});
    {
        PngCase palette{"palette 2 with tRNS", pngSpec(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011000}),
                        {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255}};
        palette.spec.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        palette.spec.paletteAlpha = {255, 128};
        cases.push_back(palette);
    }
    {
        PngCase key{"RGB with a transparent colour key", pngSpec(2, 1, PNG_COLOR_TYPE_RGB, 8, {9, 9, 9, 7, 7, 7}),
                    {9, 9, 9, 255, 7, 7, 7, 0}};
        key.spec.colorKey = {7, 7, 7};
        cases.push_back(key);
    }
    {
        const auto rgba = testimages::rgbaPattern(9, 9, 5);
        PngCase interlaced{"interlaced RGBA 8", pngSpec(9, 9, PNG_COLOR_TYPE_RGBA, 8, rgba), rgba};
        interlaced.spec.interlaced = true;
        cases.push_back(interlaced);
    }
    return cases;
}

Bytes fixture(const std::string& name) {
    std::ifstream in(std::string(ORVANE_TEST_FIXTURES) + "/hostile-images/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Image, DecodesEveryPngColourTypeBitDepthAndInterlacing) {
    for (const auto& c : pngCases()) {
        auto image = Image::fromData(testimages::encodePng(c.spec));
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->pixelWidth(), c.spec.width) << c.what;
        EXPECT_TRUE(std::ranges::equal(image->pixels(), c.expected)) << c.what;
    }
}

TEST(Image, DecodesGreyAndCmykJpegsToRgb) {
    // Flat colours survive JPEG's loss within a few levels.
    auto near = [](std::span<const std::uint8_t> pixel, std::array<int, 4> want) {
        for (std::size_t i = 0; i < 4; ++i) {
            if (std::abs(pixel[i] - want[i]) > 3) return false;
        }
        return true;
    };
    auto grey = Image::fromData(testimages::encodeJpeg(8, 8, Bytes(64, 100), 1, JCS_GRAYSCALE));
    ASSERT_TRUE(grey);
    EXPECT_TRUE(near(grey->pixels().first(4), {100, 100, 100, 255}));

    // Inks stored inverted, as Adobe's files (which carry its marker) do:
    // no cyan, full magenta and yellow, no black gives red.
    Bytes cmyk;
    for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    auto red = Image::fromData(testimages::encodeJpeg(8, 8, cmyk, 4, JCS_CMYK));
    ASSERT_TRUE(red);
    EXPECT_TRUE(near(red->pixels().subspan(4 * 27, 4), {255, 0, 0, 255}));
}

TEST(Image, RefusesSizesOverTheBoundBeforeDecoding) {
    auto oneBitGrey = [](int width, int height) {
        const auto rowBytes = static_cast<std::size_t>((width + 7) / 8);
        return testimages::encodePng(
            pngSpec(width, height, PNG_COLOR_TYPE_GRAY, 1, Bytes(rowBytes * static_cast<std::size_t>(height), 0)));
    };
    EXPECT_TRUE(Image::fromData(oneBitGrey(Image::maxPixelSide, 1)));
    EXPECT_FALSE(Image::fromData(oneBitGrey(Image::maxPixelSide + 1, 1)));
    EXPECT_FALSE(Image::fromData(oneBitGrey(1, Image::maxPixelSide + 1)));
    EXPECT_FALSE(Image::fromData(oneBitGrey(8200, 8200)));  // each side allowed, 67 Mpx in all is not
}

TEST(Image, HostileFilesAreRefusedOrDecodeTheSameEveryTime) {
    for (const char* name :
         {"huffman-guard-bypass.jpg", "undefined-quant-table.jpg", "png-empty-idat-null-memcpy.png"}) {
        const auto bytes = fixture(name);
        ASSERT_FALSE(bytes.empty()) << name;
        auto first = Image::fromData(bytes);
        EXPECT_FALSE(first) << name;
        // Disturb the heap between the two runs so that stale memory differs.
        std::vector<std::vector<std::uint8_t>> noise;
        for (int i = 0; i < 64; ++i) noise.emplace_back(4096 + i * 64, static_cast<std::uint8_t>(i * 37));
        noise.clear();
        auto second = Image::fromData(bytes);
        ASSERT_EQ(first.has_value(), second.has_value()) << name;
        if (first) {
            EXPECT_EQ(*first, *second) << name;
        }
    }
}

TEST(Image, TheEmptyImageAndRenderingModeCopies) {
    const Image empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.size(), platform::graphics::Size::zero());
    EXPECT_TRUE(empty.pixels().empty());
    EXPECT_TRUE(empty.pngData().empty());

    auto image = Image::fromData(testimages::png(4, 2), 2.0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->renderingMode(), Image::RenderingMode::automatic);
    const auto tinted = image->withRenderingMode(Image::RenderingMode::alwaysTemplate);
    EXPECT_EQ(tinted.renderingMode(), Image::RenderingMode::alwaysTemplate);
    EXPECT_EQ(image->renderingMode(), Image::RenderingMode::automatic);
    EXPECT_EQ(tinted.size(), (platform::graphics::Size{2, 1}));
    EXPECT_EQ(tinted, *image);
    const Image copy = tinted;  // the mode travels with copies
    EXPECT_EQ(copy.renderingMode(), Image::RenderingMode::alwaysTemplate);
}

TEST(Image, APngWrittenAndReadBackIsTheSameImage) {
    auto rgba = testimages::rgbaPattern(7, 5, 3);
    for (std::size_t i = 3; i < rgba.size(); i += 8) rgba[i] = static_cast<std::uint8_t>(i % 256);  // partial alpha
    auto image = Image::fromPixels(7, 5, rgba);
    ASSERT_TRUE(image);
    const auto path = std::filesystem::temp_directory_path() / ("orvane-image-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(image->writePng(path));
    auto back = Image::contentsOfFile(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, *image);
    EXPECT_FALSE(Image().writePng(path));
    EXPECT_FALSE(image->writePng("/nonexistent/folder/x.png"));
}

TEST(Image, AGifFrameIsPlacedOnItsScreenWithItsTransparentIndex) {
    // The red pixel of redPixelGif, moved to x = 1 of a 2 x 1 screen.
    auto placed = testimages::redPixelGif();
    placed[6] = 2;   // screen width
    placed[20] = 1;  // frame left
    auto image = Image::fromData(placed);
    ASSERT_TRUE(image);
    EXPECT_TRUE(std::ranges::equal(image->pixels(), Bytes{0, 0, 0, 0, 0xFF, 0, 0, 0xFF}));

    // A graphic control extension making index 0 transparent.
    auto transparent = placed;
    const Bytes control{0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00};
    transparent.insert(transparent.begin() + 19, control.begin(), control.end());
    image = Image::fromData(transparent);
    ASSERT_TRUE(image);
    EXPECT_TRUE(std::ranges::equal(image->pixels(), Bytes(8, 0)));
}

namespace {

// The offset of the first segment `marker` (0xFF, marker) of a JPEG, walking
// its segments up to the first scan; 0 when there is none.
std::size_t jpegSegment(const Bytes& bytes, std::uint8_t marker) {
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        if (bytes[at + 1] == marker) return at;
        if (bytes[at + 1] == 0xDA) break;
        at += 2 + ((static_cast<std::size_t>(bytes[at + 2]) << 8) | bytes[at + 3]);
    }
    return 0;
}

// Where the first scan's entropy-coded data starts.
std::size_t afterFirstScanHeader(const Bytes& bytes) {
    const std::size_t sos = jpegSegment(bytes, 0xDA);
    return sos + 2 + ((static_cast<std::size_t>(bytes[sos + 2]) << 8) | bytes[sos + 3]);
}

// The JPEG with the size its frame header declares replaced.
Bytes withDeclaredSize(Bytes bytes, int width, int height) {
    std::size_t frame = jpegSegment(bytes, 0xC0);
    if (frame == 0) frame = jpegSegment(bytes, 0xC2);
    bytes[frame + 5] = static_cast<std::uint8_t>(height >> 8);
    bytes[frame + 6] = static_cast<std::uint8_t>(height);
    bytes[frame + 7] = static_cast<std::uint8_t>(width >> 8);
    bytes[frame + 8] = static_cast<std::uint8_t>(width);
    return bytes;
}

Bytes firstBytes(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

// The offset of the last start-of-scan marker (found by its bytes: entropy
// data never holds 0xFF followed by a marker code).
std::size_t lastScan(const Bytes& bytes) {
    for (std::size_t i = bytes.size() - 2; i > 2; --i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) return i;
    }
    return 0;
}

Bytes rgbSamples(int width, int height) {
    Bytes rgb;
    for (std::uint8_t value : testimages::rgbaPattern(width, height, 9)) rgb.push_back(value);
    Bytes out;
    for (std::size_t i = 0; i < rgb.size(); i += 4) out.insert(out.end(), {rgb[i], rgb[i + 1], rgb[i + 2]});
    return out;
}

Bytes progressiveJpeg(int width, int height, bool fullChroma) {
    testimages::JpegOptions options;
    options.progressive = true;
    options.fullChroma = fullChroma;
    return testimages::encodeJpeg(width, height, rgbSamples(width, height), 3, JCS_RGB, options);
}

constexpr const char* kept = nullptr;

struct CutCase {
    const char* what;
    Bytes bytes;
    const char* refusal;  // what the debug line says, or `kept` when the image decodes
    Bytes whole;          // for a kept image: the complete file it must decode as
};

}  // namespace

TEST(Image, TruncatedAndOverBudgetInputsAreRefusedWithOneDebugLine) {
    const char* truncated = "truncated";
    const char* overBudget = "over the decoding memory budget";
    const auto jpeg = testimages::jpeg(64, 64, 5);
    const std::size_t scanData = afterFirstScanHeader(jpeg);
    const auto progressive = progressiveJpeg(64, 64, false);
    const auto png = testimages::png(120, 80, 2);
    auto hugeScreenGif = testimages::redPixelGif();
    hugeScreenGif[6] = 0x00, hugeScreenGif[7] = 0x40;  // 16384 wide
    hugeScreenGif[8] = 0x00, hugeScreenGif[9] = 0x10;  // 4096 high
    auto scanStopsAtEnd = firstBytes(jpeg, scanData + (jpeg.size() - scanData) / 2);
    scanStopsAtEnd.insert(scanStopsAtEnd.end(), {0xFF, 0xD9});

    const std::vector<CutCase> cases{
        {"GIF of a 16384 x 4096 screen holding a 1 x 1 frame (35 bytes)", hugeScreenGif, overBudget, {}},
        {"GIF cut inside its frame's data", firstBytes(testimages::redPixelGif(), 31), truncated, {}},
        {"GIF without its trailer", firstBytes(testimages::redPixelGif(), 34), kept, testimages::redPixelGif()},
        {"JPEG cut right after its scan header", firstBytes(jpeg, scanData), truncated, {}},
        {"JPEG cut inside its scan", firstBytes(jpeg, (scanData + jpeg.size()) / 2), truncated, {}},
        {"JPEG whose scan stops short at the end marker", scanStopsAtEnd, truncated, {}},
        {"progressive JPEG without its last scan", firstBytes(progressive, lastScan(progressive)), truncated, {}},
        {"JPEG without its end marker", firstBytes(jpeg, jpeg.size() - 2), kept, jpeg},
        {"16384 x 4096 JPEG cut right after its scan header",
         firstBytes(withDeclaredSize(jpeg, 16384, 4096), scanData), overBudget, {}},
        {"progressive 4096 x 4096 JPEG of full chroma (100 MB of coefficients) cut after its scan header",
         [] {
             const auto bomb = withDeclaredSize(progressiveJpeg(16, 16, true), 4096, 4096);
             return firstBytes(bomb, afterFirstScanHeader(bomb));
         }(),
         overBudget, {}},
        {"PNG cut inside its image data", firstBytes(png, png.size() / 2), truncated, {}},
        {"PNG without its closing chunk", firstBytes(png, png.size() - 12), kept, png},
    };
    for (const auto& c : cases) {
        platform::core::DebugCapture capture;
        auto image = Image::fromData(c.bytes);
        if (c.refusal == kept) {
            ASSERT_TRUE(image) << c.what;
            auto whole = Image::fromData(c.whole);
            ASSERT_TRUE(whole) << c.what;
            EXPECT_EQ(*image, *whole) << c.what;
            EXPECT_TRUE(capture.lines().empty()) << c.what;
            continue;
        }
        EXPECT_FALSE(image) << c.what;
        EXPECT_EQ(capture.lines().size(), 1u) << c.what;
        EXPECT_EQ(capture.count(c.refusal), 1u) << c.what;
    }
}

TEST(Image, JpegCoefficientsAreCountedBeforeTheDecoderAllocatesThem) {
    // Each file declares 1024 x 1024 and stops after its first scan header:
    // a decoder that allocates before it counts reads on and finds the data
    // truncated instead of refusing it for the budget.
    namespace codec = platform::graphics::codec;
    auto cutBomb = [](Bytes bytes) {
        bytes = withDeclaredSize(std::move(bytes), 1024, 1024);
        return firstBytes(bytes, afterFirstScanHeader(bytes));
    };
    struct Case {
        const char* what;
        Bytes bytes;
        std::uint64_t workingBytes;
        codec::Refusal refusal;
    };
    const std::vector<Case> cases{
        // 3 components of 128 x 128 blocks, 128 bytes each: 6 MB.
        {"progressive, full chroma, 4 MB", cutBomb(progressiveJpeg(16, 16, true)), 4u << 20,
         codec::Refusal::overBudget},
        {"progressive, full chroma, 8 MB", cutBomb(progressiveJpeg(16, 16, true)), 8u << 20,
         codec::Refusal::truncated},
        // Chroma halved each way: 128 x 128 + 2 x 64 x 64 blocks, 3 MB.
        {"progressive, halved chroma, 4 MB", cutBomb(progressiveJpeg(16, 16, false)), 4u << 20,
         codec::Refusal::truncated},
        // One scan keeps no coefficients.
        {"baseline, 1 MB", cutBomb(testimages::jpeg(16, 16)), 1u << 20, codec::Refusal::truncated},
    };
    for (const auto& c : cases) {
        const codec::Budget budget{Image::maxDecodedBytes, c.workingBytes, Image::maxPixelSide};
        const auto result = codec::decodeJpeg(c.bytes, budget);
        ASSERT_FALSE(result) << c.what;
        EXPECT_EQ(result.error(), c.refusal) << c.what;
    }
}

TEST(Image, JpegsAreTurnedUprightAsTheirExifOrientationSays) {
    // 64 x 32 pixels in quarters: red, green above blue, white. Each case
    // names the colours of the upright image's top-left and top-right corners.
    constexpr std::array<int, 3> red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    Bytes rgb;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            const auto& c = y < 16 ? (x < 32 ? red : green) : (x < 32 ? blue : white);
            for (int v : c) rgb.push_back(static_cast<std::uint8_t>(v));
        }
    }
    auto damagedBlock = testimages::exifOrientationBlock(6);
    damagedBlock[6 + 4] = 0xF0;  // the directory lies past the block's end
    struct Case {
        const char* what;
        Bytes app1;
        bool turned;  // width and height swapped
        std::array<int, 3> topLeft, topRight;
    };
    const std::vector<Case> cases{
        {"1 upright", testimages::exifOrientationBlock(1), false, red, green},
        {"2 mirrored", testimages::exifOrientationBlock(2), false, green, red},
        {"3 turned half round", testimages::exifOrientationBlock(3), false, white, blue},
        {"4 upside down", testimages::exifOrientationBlock(4), false, blue, white},
        {"5 transposed", testimages::exifOrientationBlock(5), true, red, blue},
        {"6 to turn right", testimages::exifOrientationBlock(6), true, blue, red},
        {"7 transversed", testimages::exifOrientationBlock(7), true, white, green},
        {"8 to turn left", testimages::exifOrientationBlock(8), true, green, white},
        {"6, big-endian", testimages::exifOrientationBlock(6, true), true, blue, red},
        {"no Exif block", {}, false, red, green},
        {"9, out of range", testimages::exifOrientationBlock(9), false, red, green},
        {"6 in a damaged block", damagedBlock, false, red, green},
    };
    for (const auto& c : cases) {
        testimages::JpegOptions options;
        options.app1 = c.app1;
        auto image = Image::fromData(testimages::encodeJpeg(64, 32, rgb, 3, JCS_RGB, options));
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->pixelWidth(), c.turned ? 32 : 64) << c.what;
        EXPECT_EQ(image->pixelHeight(), c.turned ? 64 : 32) << c.what;
        auto near = [&](int x, int y, const std::array<int, 3>& want) {
            const auto* p = image->pixels().data() + (static_cast<std::size_t>(y) * image->pixelWidth() + x) * 4;
            for (std::size_t i = 0; i < 3; ++i) {
                if (std::abs(p[i] - want[i]) > 12) return false;
            }
            return p[3] == 255;
        };
        EXPECT_TRUE(near(3, 3, c.topLeft)) << c.what;
        EXPECT_TRUE(near(image->pixelWidth() - 4, 3, c.topRight)) << c.what;
    }
}

TEST(Image, WithColorIsOnePointFilledWithTheColour) {
    using platform::graphics::Color;
    struct Case {
        const char* what;
        Color color;
        double scale;
        int side;  // pixels a side
        std::array<std::uint8_t, 4> pixel;
    };
    const std::vector<Case> cases{
        {"opaque red at 2x", Color::plainRed(), 2, 2, {255, 0, 0, 255}},
        {"half-transparent grey at 3x", Color{0.5, 0.5, 0.5, 0.5}, 3, 3, {128, 128, 128, 128}},
        {"clear at 1x", Color::clear(), 1, 1, {0, 0, 0, 0}},
        {"components beyond 0...1 clamped", Color{1.5, -0.5, 0.2, 2}, 2, 2, {255, 0, 51, 255}},
        {"a scale of 2.5 covers the point", Color::white(), 2.5, 3, {255, 255, 255, 255}},
    };
    for (const auto& c : cases) {
        auto image = Image::withColor(c.color, c.scale);
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->pixelWidth(), c.side) << c.what;
        EXPECT_EQ(image->pixelHeight(), c.side) << c.what;
        EXPECT_DOUBLE_EQ(image->scale(), c.scale) << c.what;
        for (std::size_t i = 0; i < image->pixels().size(); i += 4) {
            EXPECT_TRUE(std::ranges::equal(image->pixels().subspan(i, 4), c.pixel)) << c.what << " at " << i / 4;
        }
    }
    EXPECT_EQ(Image::withColor(Color::plainBlue())->size(), (platform::graphics::Size{1, 1}));
    EXPECT_FALSE(Image::withColor(Color{std::numeric_limits<double>::quiet_NaN(), 0, 0, 1}));
    EXPECT_FALSE(Image::withColor(Color::black(), 0));
    EXPECT_FALSE(Image::withColor(Color::black(), std::numeric_limits<double>::infinity()));
}
