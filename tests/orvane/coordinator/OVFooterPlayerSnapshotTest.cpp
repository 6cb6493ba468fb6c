// A picture of the footer player at 375 points with demo content: light
// theme, an episode with artwork, playing two fifths of the way. Checks a
// few pixels that prove the progress bar, the dimmed artwork and the
// background; written as "footer-player-light-playing.png" into
// $ORVANE_SNAPSHOT_DIR when that is set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/demo/Halvick.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
using platform::graphics::Color;
using platform::graphics::Image;

// A sea-blue artwork, lighter towards its top.
Image artwork(int side) {
    testimages::Bytes pixels;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            pixels.push_back(static_cast<std::uint8_t>(30 + x / 4));
            pixels.push_back(static_cast<std::uint8_t>(170 - y / 2));
            pixels.push_back(static_cast<std::uint8_t>(230 - y / 3));
            pixels.push_back(0xff);
        }
    }
    return *Image::fromData(testimages::png(side, side, pixels));
}

renderprobe::Rgba rgba(const Color& c) {
    return {static_cast<int>(c.red * 255 + 0.5), static_cast<int>(c.green * 255 + 0.5),
            static_cast<int>(c.blue * 255 + 0.5), static_cast<int>(c.alpha * 255 + 0.5)};
}

TEST(OVFooterPlayerSnapshot, LightThemeEpisodeWithArtworkPlaying) {
    RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    installLayerHooks();
    const Halvick demo;
    OVImageCache::cache(artwork(112), "halvick-phare.jpg");
    OVContent podcast;
    podcast.identifier = "halvick";
    podcast.description = demo.description;
    podcast.tracks = std::vector{demo.track1, demo.track2};

    auto window = platform::ui::Window::create({375, 88});
    window->setBackgroundColor(Color::white());
    auto bar =
        platform::ui::NibRegistry::shared().instantiateFirst<OVFooterPlayer>(std::string(OVFooterPlayer::NibName));
    ASSERT_TRUE(bar);
    bar->setTranslatesAutoresizingMaskIntoConstraints(true);
    bar->setFrame({0, 0, 375, 88});
    window->addSubview(bar);

    const Color mainColor{0.10, 0.35, 0.85, 1};
    bar->update(OVTheme::light, mainColor);
    bar->update(*demo.track2, podcast);
    bar->update(OVAudioPlayerStatus::playing);
    bar->update(OVAudioPosition{180.4, 451});
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return bar->ovimageView()->imageView()->image().has_value(); }, 10));
    RunLoop::main().advance(1.2);  // the artwork's fade-in; the equalizer's bars in flight
    window->layoutIfNeeded();

    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        image->writePng(std::filesystem::path(dir) / "footer-player-light-playing.png");

    // The progress bar: main colour up to 40 %, the track tint after.
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 100, 1), rgba(mainColor), 3));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 300, 1),
                                  rgba(OVTheme::light.maximumTrackTintColor()), 3));
    // The theme's background under the texts.
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 200, 84), rgba(OVTheme::light.backgroundColor()), 3));
    // The artwork, dimmed to half by its overlay, away from the equalizer.
    const auto art = bar->ovimageView()->frame();
    const auto dimmed = renderprobe::pixelAt(*image, art.origin.x + 4, art.origin.y + 4);
    EXPECT_LT(dimmed[2], 140) << renderprobe::describe(dimmed);
    EXPECT_GT(dimmed[2], 80) << renderprobe::describe(dimmed);
    // Texts fit between the artwork and the buttons, without overlapping.
    EXPECT_LE(bar->episodeLabel()->frame().maxX(), bar->playButton()->frame().minX());
    EXPECT_LE(bar->episodeLabel()->frame().maxY(), bar->podcastLabel()->frame().minY());
    EXPECT_LE(bar->podcastLabel()->frame().maxY(), 88);
    EXPECT_EQ(bar->episodeLabel()->attributedText()->string(), "Le gardien du phare");
    EXPECT_EQ(bar->podcastLabel()->text(), "Halvick, les métiers du port");
}

}  // namespace
