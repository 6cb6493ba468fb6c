#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "platform/ui/Image.hpp"
#include "platform/ui/TestImages.hpp"

using platform::ui::Image;

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
