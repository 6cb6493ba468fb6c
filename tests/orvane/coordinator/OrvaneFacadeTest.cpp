// The facade's own state: the pages' arrow images from the first touch,
// the configuration's default artwork (a record without one keeps the
// current artwork) and the weak root view controller; and what a host
// reaches through it: what the discover screen recommends, the widget's
// states and where the audio goes.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "orvane/coordinator/Orvane.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "orvane/pages/OVDiscoverPage.hpp"
#include "orvane/pages/SidePageKit.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "support/RecordingCoordinator.hpp"
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

TEST(OrvaneFacade, WhatAHostRecommendsIsWhatTheDiscoverScreenShowsNextTime) {
    using platform::ui::IndexPath;
    namespace pagekit = testsupport::sidepage;
    platform::core::RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    auto& facade = Orvane::shared();
    OVPage::width() = 375.0;
    const auto coordinator = testsupport::RecordingCoordinator::create();
    const auto page = OVPage::create<OVDiscoverPage>(coordinator);
    auto shown = pagekit::showOnScreen(page);
    const auto headlineTitles = [&] {
        std::vector<std::string> titles;
        const auto cell = std::dynamic_pointer_cast<OVRecommendationHeadlinesCell>(
            page->tableView()->cellForRow(IndexPath::forRow(0, 0)));
        if (!cell) return titles;
        const auto& view = *cell->collectionView();
        for (int i = 0; i < view.numberOfItems(0); ++i) {
            const auto item = std::dynamic_pointer_cast<OVRecommendationHeadlinesPodcastCell>(
                view.cellForItem(IndexPath::forItem(i, 0)));
            titles.push_back(item ? item->podcastLabel()->text().value_or("") : "?");
        }
        return titles;
    };
    const auto episodeTitles = [&] {
        std::vector<std::string> titles;
        const auto cell = std::dynamic_pointer_cast<OVDiscoverRecommendationsCell>(
            page->tableView()->cellForRow(IndexPath::forRow(1, 0)));
        if (!cell) return titles;
        const auto& view = *cell->collectionView();
        for (int i = 0; i < view.numberOfItems(0); ++i) {
            const auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(
                view.cellForItem(IndexPath::forItem(i, 0)));
            titles.push_back(item ? item->episodeLabel()->text().value_or("") + " / " +
                                        item->podcastLabel()->text().value_or("")
                                  : "?");
        }
        return titles;
    };

    const auto walks = pagekit::localPodcast({.key = "walks", .title = "Walks", .episodes = 2});
    const auto harbour = pagekit::localPodcast({.key = "harbour", .title = "Harbour", .episodes = 3});
    const auto& walked = *walks.tracks;
    const auto& sailed = *harbour.tracks;
    struct Step {
        std::string name;
        OVDiscoverRecommendations given;
        std::vector<std::string> headlines;
        std::vector<std::string> episodes;
    };
    const std::vector<Step> steps{
        {"nothing set", {}, {}, {}},
        {"two podcasts, three episodes of both, one without its episode left out",
         {{harbour, walks}, {{sailed[2], harbour}, {nullptr, walks}, {walked[0], walks}, {sailed[0], harbour}}},
         {"Harbour", "Walks"},
         {sailed[2]->title() + " / Harbour", walked[0]->title() + " / Walks", sailed[0]->title() + " / Harbour"}},
        {"replaced by one podcast and no episode", {{walks}, {}}, {"Walks"}, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.name != "nothing set") facade.setDiscoverRecommendations(step.given);
        shown.disappear();
        shown.appear();
        EXPECT_EQ(headlineTitles(), step.headlines);
        EXPECT_EQ(episodeTitles(), step.episodes);
        // Read back as the library keeps them: the same podcasts and pairs,
        // in the same order.
        const auto kept = facade.discoverRecommendations();
        std::vector<std::string> keptHeadlines, keptEpisodes;
        for (const auto& podcast : kept.headlines) keptHeadlines.push_back(podcast.title.value_or("?"));
        for (const auto& pair : kept.episodes)
            keptEpisodes.push_back((pair.track ? pair.track->title() : "?") + " / " + pair.podcast.title.value_or("?"));
        EXPECT_EQ(keptHeadlines, step.headlines);
        EXPECT_EQ(keptEpisodes, step.episodes);
    }
    facade.setDiscoverRecommendations({});
    OVPage::width().reset();
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
    AudioOutput::shared()->openStream()->write(frames);
    EXPECT_EQ(AudioOutput::shared()->name(), "wav");
    Orvane::shared().setAudioFile(std::nullopt);  // closes the file
    EXPECT_EQ(std::filesystem::file_size(wav), 44u + frames.size() * sizeof(std::int16_t));
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});  // the tests' output again
}

}  // namespace
