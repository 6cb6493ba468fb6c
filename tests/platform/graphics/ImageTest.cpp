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

#include "platform/graphics/Image.hpp"
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
