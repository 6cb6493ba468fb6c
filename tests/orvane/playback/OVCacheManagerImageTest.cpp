#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/playback/OVCacheManagerTestFixture.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "platform/core/URL.hpp"
#include "platform/graphics/TestImages.hpp"

using namespace orvane;
using platform::core::URL;
using platform::graphics::Image;
namespace fs = std::filesystem;

TEST_F(OVCacheManagerTest, ImagesReadBackEqualWithTheirScaleAndTheirEncodedBytesOnDisk) {
    const auto png = testimages::png(40, 30, 5);
    const auto jpeg = testimages::jpeg(64, 64, 2);
    auto fromPng = Image::fromData(png, 3.0);
    auto fromJpeg = Image::fromData(jpeg);
    ASSERT_TRUE(fromPng && fromJpeg);

    OVImageCache::cache(*fromPng, "cover.png");
    OVImageCache::save(*fromJpeg, "artwork.jpg");
    auto cached = OVImageCache::find("cover.png");
    auto saved = OVImageCache::find("artwork.jpg");
    ASSERT_TRUE(cached && saved);
    EXPECT_EQ(*cached, *fromPng);
    EXPECT_DOUBLE_EQ(cached->scale(), 3.0);
    EXPECT_EQ(*saved, *fromJpeg);
    EXPECT_TRUE(std::ranges::equal(saved->originalData(), jpeg));

    const auto size = fs::file_size(imageFolder() / "cover.png");
    EXPECT_GE(size, png.size());
    EXPECT_LE(size, png.size() + 64);
    EXPECT_TRUE(OVImageCache::isDownloaded("artwork.jpg"));
    EXPECT_FALSE(OVAudioCache::isInCache("cover.png"));
}

TEST_F(OVCacheManagerTest, AudioEntriesAreNoImages) {
    ASSERT_TRUE(OVImageCache::hasCacheFolders());
    ASSERT_TRUE(platform::core::FileManager::writeFileAtomically(
        imageFolder() / "cover.png", OVAudioCache::archive(testimages::png(4, 4))));
    EXPECT_FALSE(OVImageCache::find("cover.png"));
}

TEST_F(OVCacheManagerTest, CachedImageLooksTheAddressesLastPathComponentUpInTheImageCacheOnly) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    EXPECT_FALSE(cachedImage(std::nullopt));
    const auto url = URL::parse("https://cdn.example.com/shows/42/cover.png?size=300");
    ASSERT_TRUE(url);
    EXPECT_FALSE(cachedImage(url));

    auto image = Image::fromData(testimages::png(8, 8, 1));
    ASSERT_TRUE(image);
    OVImageCache::cache(*image, "cover.png");
    auto found = cachedImage(url);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, *image);
    // Another address ending in the same component shares the entry.
    EXPECT_TRUE(cachedImage(URL::parse("https://other.example.org/cover.png")));

    OVAudioCache::cache(testimages::png(8, 8, 1), "episode-art.png");
    EXPECT_FALSE(cachedImage(URL::parse("https://cdn.example.com/episode-art.png")));
}

TEST_F(OVCacheManagerTest, ConcurrentStoresLookupsAndSweepsNeverShowAPartialEntry) {
    std::vector<Image> images;
    for (int i = 0; i < 4; ++i) images.push_back(*Image::fromData(testimages::png(32, 32, i)));
    std::atomic<int> wrong{0};
    std::atomic<int> hits{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 40; ++round) {
                const int key = (t + round) % 4;
                const std::string name = "image-" + std::to_string(key) + ".png";
                if (round % 2 == 0) {
                    OVImageCache::cache(images[key], name);
                } else if (auto found = OVImageCache::find(name)) {
                    ++hits;
                    if (*found != images[key]) ++wrong;
                }
                if (round % 10 == 0) OVImageCache::save(images[key], name);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_GT(hits.load(), 0);
    for (const auto& entry : fs::directory_iterator(imageFolder())) {
        if (entry.is_directory()) continue;
        // Nothing but entries (no temporary files left behind).
        EXPECT_TRUE(OVImageCache::find(entry.path().filename().string())) << entry.path();
    }
}
