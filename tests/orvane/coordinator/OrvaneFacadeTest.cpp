// The facade's own state: the pages' arrow images from the first touch,
// the configuration's default artwork (a record without one keeps the
// current artwork) and the weak root view controller; and what a host
// reaches through it: the widget's states and where the audio goes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "orvane/coordinator/Orvane.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "support/TempDocuments.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using platform::graphics::Image;

Image solid(int side) {
    return *Image::fromPixels(side, side, std::vector<std::uint8_t>(static_cast<std::size_t>(side * side * 4), 200));
}

TEST(OrvaneFacade, ConfigurationSetsTheDefaultArtworkAndTheRootControllerIsWeak) {
    auto& facade = Orvane::shared();
    // Touching the facade filled the pages' arrows.
    ASSERT_TRUE(OVGetAsset::navigationLeftArrowButton().has_value());
    EXPECT_EQ(OVPage::config().navigationToMainPageLeftArrow, OVGetAsset::navigationLeftArrowButton());
    EXPECT_EQ(OVPage::config().navigationToMainPageRightArrow, OVGetAsset::navigationRightArrowButton());

    const auto bundleArtwork = defaultImage();
    EXPECT_FALSE(facade.configurations().has_value());
    struct Step {
        std::optional<Image> image;
        std::optional<Image> artworkAfter;
    };
    const std::vector<Step> steps{
        {std::nullopt, bundleArtwork},  // nothing set yet: the bundle's image stays
        {solid(3), solid(3)},
        {std::nullopt, solid(3)},  // no image keeps the current one
        {solid(5), solid(5)},
    };
    for (const auto& step : steps) {
        facade.setConfiguration(OVConfigurations("key", step.image, {0, 0}));
        EXPECT_EQ(defaultImage(), step.artworkAfter);
        EXPECT_TRUE(facade.configurations().has_value());
    }

    auto root = platform::ui::ViewController::create();
    facade.setRootController(root);
    EXPECT_EQ(facade.rootViewController(), root);
    root.reset();
    EXPECT_EQ(facade.rootViewController(), nullptr);
}

TEST(OrvaneFacade, AHostWatchesTheWidgetsStatesAndPicksWhereTheAudioGoes) {
    testsupport::TempDocuments documents;
    testsupport::WidgetPage page;
    page.injectListener();
    auto observer = std::make_shared<widgettest::RecordingObserver>();
    Orvane::shared().addStateObserver(observer);
    page.dispatch("{ type: 'PLAYER_USER_TIME_UPDATE', payload: 4.5 }");
    widgettest::settle();
    ASSERT_FALSE(observer->times.empty());
    EXPECT_EQ(observer->times.back(), 4.5);

    using platform::media::AudioOutput;
    const auto wav = documents.path() / "heard.wav";
    Orvane::shared().setAudioFile(wav);
    const std::vector<std::int16_t> frames(2 * 480, 100);  // 10 ms of stereo
    AudioOutput::shared()->write(frames);
    EXPECT_EQ(AudioOutput::shared()->name(), "wav");
    Orvane::shared().setAudioFile(std::nullopt);  // closes the file
    EXPECT_EQ(std::filesystem::file_size(wav), 44u + frames.size() * sizeof(std::int16_t));
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});  // the tests' output again
}

}  // namespace
