// The now-playing information centre: whole replacement at each assignment,
// every assignment observed, typed reads of the dictionary, artwork.
#include <gtest/gtest.h>

#include "platform/graphics/TestImages.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"

namespace {

using namespace platform::media;
namespace Key = NowPlayingKey;

TEST(NowPlayingInfoCenter, EveryAssignmentReplacesTheWholeDictionaryAndIsObserved) {
    auto& center = NowPlayingInfoCenter::defaultCenter();
    EXPECT_FALSE(center.nowPlayingInfo());
    std::vector<std::optional<NowPlayingInfo>> seen;
    {
        auto token = center.observe([&](const std::optional<NowPlayingInfo>& info) { seen.push_back(info); });
        center.setNowPlayingInfo(NowPlayingInfo{{Key::title, std::string("A")}, {Key::elapsedPlaybackTime, 3.0}});
        center.setNowPlayingInfo(NowPlayingInfo{{Key::playbackRate, 1.0}});
        center.setNowPlayingInfo(NowPlayingInfo{{Key::playbackRate, 1.0}});  // equal: still an assignment
        center.setNowPlayingInfo(std::nullopt);
    }
    center.setNowPlayingInfo(NowPlayingInfo{});  // after the token is gone
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(nowPlayingText(*seen[0], Key::title), "A");
    EXPECT_EQ(seen[1]->size(), 1u) << "nothing of the earlier dictionary survives";
    EXPECT_FALSE(nowPlayingText(*seen[1], Key::title));
    EXPECT_EQ(nowPlayingNumber(*seen[2], Key::playbackRate), 1.0);
    EXPECT_FALSE(seen[3]);
    EXPECT_EQ(center.assignmentCount(), 5u);
    EXPECT_TRUE(center.nowPlayingInfo() && center.nowPlayingInfo()->empty());
}

TEST(NowPlayingInfoCenter, TypedReadsRefuseAbsentKeysAndOtherTypes) {
    const auto image = platform::graphics::Image::fromData(testimages::png(4, 2, 1));
    ASSERT_TRUE(image);
    int asked = 0;
    ArtworkSize requested;
    const NowPlayingInfo info{{Key::title, std::string("T")},
                              {Key::playbackDuration, 12.5},
                              {Key::artwork, MediaItemArtwork({4, 2}, [&](ArtworkSize size) {
                                   ++asked;
                                   requested = size;
                                   return *image;
                               })}};
    EXPECT_FALSE(nowPlayingNumber(info, Key::title));
    EXPECT_FALSE(nowPlayingText(info, Key::playbackDuration));
    EXPECT_FALSE(nowPlayingNumber(info, Key::elapsedPlaybackTime));
    EXPECT_EQ(nowPlayingNumber(info, Key::playbackDuration), 12.5);
    const auto* artwork = nowPlayingArtwork(info);
    ASSERT_NE(artwork, nullptr);
    EXPECT_EQ(artwork->bounds(), (ArtworkSize{4, 2}));
    EXPECT_EQ(artwork->imageWithSize({64, 64}), *image);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(requested, (ArtworkSize{64, 64}));
    EXPECT_EQ(nowPlayingArtwork(NowPlayingInfo{{Key::artwork, 1.0}}), nullptr);

    // The single-image form answers every size with its image and its size.
    const MediaItemArtwork plain(*image);
    EXPECT_EQ(plain.bounds(), (ArtworkSize{4, 2}));
    EXPECT_EQ(plain.imageWithSize({1, 1}), *image);
}

}  // namespace
