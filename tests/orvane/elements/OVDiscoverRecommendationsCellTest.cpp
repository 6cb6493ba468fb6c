// The discover page's grid of recommended episodes as the page uses it: the
// element made with its page, sized from the page width, given the theme,
// the recommendations, the current episode and the player status, shown in
// a window and tapped through it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using platform::core::RunLoop;
using platform::ui::IndexPath;
using testsupport::Calls;
namespace content = testsupport::content;
using Recommendation = OVDiscoverRecommendationsCell::Recommendation;

const Color mainColor{0.1, 0.35, 0.85, 1};

// Artwork on a closed local port: loads fail at once (the snapshot serves
// them from the image cache).
OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    if (made.description) made.description->image = "http://127.0.0.1:1/covers/" + made.identifier + ".jpg";
    for (const auto& track : made.tracks.value_or(std::vector<std::shared_ptr<OVTrack>>{})) {
        auto description = track->description().value_or(OVObjDescription{});
        description.image = "http://127.0.0.1:1/art/" + track->key() + ".jpg";
        track->setDescription(description);
    }
    return made;
}

std::vector<Recommendation> recommendations(const OVContent& podcast, int count) {
    std::vector<Recommendation> list;
    for (int i = 0; i < count && i < static_cast<int>(podcast.tracks->size()); ++i)
        list.push_back({(*podcast.tracks)[static_cast<std::size_t>(i)], podcast});
    return list;
}

bool animating(const OVDiscoverRecommendationEpisodeCell& item) {
    return !item.equalizerAnimationView()->rectLayers().at(0)->animationKeys().empty();
}

class DiscoverRecommendations : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        OVPage::width() = 375.0;
        coordinator = testsupport::RecordingCoordinator::create();
        page = OVPage::create<testsupport::RecordingPage>();
        cell = makeCell();
        ASSERT_NE(cell, nullptr);
        podcast = localPodcast({.key = "show", .title = "The Long Table", .episodes = 6, .newest = content::date("2024-08-15")});
    }
    void TearDown() override { OVPage::width().reset(); }

    std::shared_ptr<OVDiscoverRecommendationsCell> makeCell() {
        elements.push_back(OVPageElement::create<OVPageElement::DiscoverRecommendations>(coordinator, page));
        auto made = elements.back()->tableViewCell();
        if (made) {
            made->setCoordinator(coordinator);
            made->setDelegate(std::static_pointer_cast<OVDiscoverRecommendationsCellDelegate>(page));
        }
        return made;
    }

    std::vector<std::shared_ptr<OVDiscoverRecommendationEpisodeCell>> items() const {
        std::vector<std::shared_ptr<OVDiscoverRecommendationEpisodeCell>> list;
        for (const auto& path : cell->collectionView()->indexPathsForVisibleItems())
            if (auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(
                    cell->collectionView()->cellForItem(path)))
                list.push_back(item);
        return list;
    }

    void show(const std::string& name) { shown = testsupport::showCell(cell, 375, name); }

    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::vector<std::shared_ptr<OVPageElement::DiscoverRecommendations>> elements;
    std::shared_ptr<OVDiscoverRecommendationsCell> cell;
    OVContent podcast;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(DiscoverRecommendations, ItemSizesAndHeightsFollowThePageWidthAndTheItemCount) {
    struct Case {
        std::string name;
        std::vector<std::optional<double>> widths;  // one setHeight per width
        int items;
        Size itemSize;
        double height;
    };
    const Size unsized = platform::ui::CollectionViewFlowLayout{}.itemSize;
    const std::vector<Case> cases{
        {"375, three", {375.0}, 3, {169.5, 227.5}, 538},
        {"375, four", {375.0}, 4, {169.5, 227.5}, 538},
        {"375, two", {375.0}, 2, {169.5, 227.5}, 286.5},
        {"375, one", {375.0}, 1, {169.5, 227.5}, 286.5},
        {"375, none: the header whole", {375.0}, 0, {169.5, 227.5}, 59},
        {"never sized", {}, 3, unsized, 83},
        {"narrow", {20.0}, 3, {0, 58}, 58 * 2 + 24 + 59},
        {"unset keeps the size", {375.0, std::nullopt}, 3, {169.5, 227.5}, 538},
        {"unset from the start", {std::nullopt}, 3, unsized, 83},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto made = makeCell();
        ASSERT_NE(made, nullptr);
        for (const auto& width : c.widths) {
            OVPage::width() = width;
            made->setHeight();
        }
        made->update(recommendations(podcast, c.items));
        EXPECT_EQ(made->collectionView()->collectionViewLayout().itemSize, c.itemSize);
        EXPECT_EQ(made->heightConstraint()->constant(), c.height);
    }
}

TEST_F(DiscoverRecommendations, AnEmptyGridShowsItsHeaderWhole) {
    cell->setHeight();
    cell->update(OVTheme::light, mainColor);
    cell->update(recommendations(podcast, 0));
    show("discover-recommendations-empty");
    const auto header = cell->headerLabel()->frame();
    EXPECT_GT(header.size.height, 0);
    EXPECT_LE(header.maxY(), cell->frame().size.height);
    EXPECT_EQ(cell->collectionView()->frame().size.height, 0);
}

TEST_F(DiscoverRecommendations, ShowsTwoColumnsUnderTheHeaderAndTheThirdTapGivesTheThirdPair) {
    cell->setHeight();
    cell->update(OVTheme::light, mainColor);
    cell->update(recommendations(podcast, 3));
    show("discover-recommendations-three");
    EXPECT_EQ(cell->frame().size.height, 538);
    EXPECT_EQ(cell->headerLabel()->text(), localized("DISCOVER_RECOMMENDATIONS_PAGE_ELEMENT_HEADER"));
    const auto grid = cell->collectionView();
    EXPECT_EQ(grid->frame(), (Rect{12, 59, 351, 479}));
    const std::vector<Rect> frames{{0, 0, 169.5, 227.5}, {181.5, 0, 169.5, 227.5}, {0, 251.5, 169.5, 227.5}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(
            grid->cellForItem(IndexPath::forItem(i, 0)));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->frame(), frames[static_cast<std::size_t>(i)]);
        EXPECT_EQ(item->episodeLabel()->text(), (*podcast.tracks)[static_cast<std::size_t>(i)]->title());
        EXPECT_EQ(item->podcastLabel()->text(), "The Long Table");
    }
    const auto& third = *grid->cellForItem(IndexPath::forItem(2, 0));
    testsupport::tap(*shown->window, third.convertPoint({third.bounds().midX(), third.bounds().midY()}, shown->window.get()));
    EXPECT_EQ(page->calls, (Calls{"didTapForDetails(forTrack: show-3 in show)"}));

    // A shorter list is reloaded: the item that is gone is not shown or answered.
    cell->update(recommendations(podcast, 1));
    shown->window->layoutIfNeeded();
    EXPECT_EQ(items().size(), 1u);
    cell->didSelectItem(*grid, IndexPath::forItem(2, 0));
    EXPECT_EQ(page->calls.size(), 1u);
}

TEST_F(DiscoverRecommendations, StatusAndCurrentEpisodeReachVisibleAndLaterItems) {
    cell->setHeight();
    cell->update(OVTheme::light, mainColor);
    cell->update(recommendations(podcast, 4));
    show("discover-recommendations-status");
    ASSERT_EQ(items().size(), 4u);
    for (const auto& item : items()) EXPECT_FALSE(animating(*item));

    cell->update(OVAudioPlayerStatus::playing);
    cell->update((*podcast.tracks)[1], podcast);
    for (const auto& item : items()) EXPECT_TRUE(animating(*item));
    const auto current = [&](int index) {
        const auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(
            cell->collectionView()->cellForItem(IndexPath::forItem(index, 0)));
        return item && !item->imageOverlay()->isHidden() && !item->equalizerAnimationView()->isHidden();
    };
    EXPECT_TRUE(current(1));
    EXPECT_FALSE(current(0));

    // A new list reuses the items: the status and the current episode follow
    // the episodes, never the items.
    auto reordered = recommendations(podcast, 6);
    std::swap(reordered[1], reordered[4]);
    cell->update(reordered);
    // The page's table measures the taller row again (animated).
    ASSERT_TRUE(shown->table->performBatchUpdates([] {}));
    shown->window->layoutIfNeeded();
    RunLoop::main().advance(1);
    shown->snapshot("discover-recommendations-status-later");
    EXPECT_EQ(cell->frame().size.height, 3 * 227.5 + 2 * 24 + 59);
    EXPECT_EQ(cell->collectionView()->frame(), (Rect{12, 59, 351, 3 * 227.5 + 2 * 24}));
    ASSERT_EQ(items().size(), 6u);
    for (const auto& item : items()) EXPECT_TRUE(animating(*item));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(current(i), i == 4) << i;

    // The same episode key in another podcast is not current; loading stops the equalizer.
    cell->update((*podcast.tracks)[1], localPodcast({.key = "elsewhere"}));
    cell->update(OVAudioPlayerStatus::loading);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(current(i)) << i;
    for (const auto& item : items()) EXPECT_FALSE(animating(*item));
}

TEST_F(DiscoverRecommendations, ItemsShowTheEpisodeArtworkElseThePodcastsAndTheThemeReachesNewItems) {
    auto bare = localPodcast({.key = "bare", .described = false, .episodes = 1, .newest = content::date("2024-08-15")});
    auto noArt = content::episode({.key = "no-art"});
    noArt->setDescription(std::nullopt);
    cell->setHeight();
    cell->update({{(*podcast.tracks)[0], podcast}, {noArt, podcast}, {(*bare.tracks)[0], bare}});
    show("discover-recommendations-unthemed");
    auto item = [&](int index) {
        return std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(
            cell->collectionView()->cellForItem(IndexPath::forItem(index, 0)));
    };
    ASSERT_TRUE(item(0) && item(1) && item(2));
    EXPECT_EQ(item(0)->imageView()->url(), url("http://127.0.0.1:1/art/show-1.jpg"));
    EXPECT_EQ(item(1)->imageView()->url(), url("http://127.0.0.1:1/covers/show.jpg"));
    EXPECT_EQ(item(2)->podcastLabel()->text(), std::nullopt);
    const auto nibColour = item(0)->episodeLabel()->textColor();

    // The theme changes the cell at once, the items when next handed out.
    cell->update(OVTheme::dark, mainColor);
    EXPECT_EQ(cell->contentView()->backgroundColor(), OVTheme::dark.backgroundColor());
    EXPECT_EQ(cell->headerLabel()->textColor(), OVTheme::dark.cellHeaderFontColor());
    EXPECT_EQ(item(0)->episodeLabel()->textColor(), nibColour);
    cell->update(recommendations(podcast, 3));
    shown->window->layoutIfNeeded();
    EXPECT_EQ(item(0)->episodeLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeA));
    EXPECT_EQ(item(0)->podcastLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeB));
}

TEST_F(DiscoverRecommendations, PresentersHoldTheirViewsWeakly) {
    cell->setHeight();
    cell->update(recommendations(podcast, 2));
    show("discover-recommendations-weak");
    std::weak_ptr<OVDiscoverRecommendationsCell> weakCell = cell;
    std::weak_ptr<OVDiscoverRecommendationEpisodeCell> weakItem = items().at(0);
    shown.reset();
    cell.reset();
    elements.clear();
    EXPECT_TRUE(weakCell.expired());
    EXPECT_TRUE(weakItem.expired());
}

// The grid with four episodes, the first current and playing, in both looks.
TEST_F(DiscoverRecommendations, Snapshot) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    for (int i = 1; i <= 4; ++i)
        OVImageCache::cache(*Image::fromData(testimages::png(64, 64, 40 * i)), "show-" + std::to_string(i) + ".jpg");
    (*podcast.tracks)[1]->setTitle("How a small newsroom covers a very large city, every single night");
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        cell->setHeight();
        cell->update(look.theme, look.mainColor);
        cell->update(recommendations(podcast, 4));
        cell->update((*podcast.tracks)[0], podcast);
        cell->update(OVAudioPlayerStatus::playing);
        const std::string name = look.name == "light" ? "discover-recommendations" : "discover-recommendations-" + look.name;
        show(name);
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] {
                for (const auto& item : items())
                    if (!item->imageView()->imageView()->image()) return false;
                return true;
            },
            10));
        RunLoop::main().advance(1);
        const auto image = shown->snapshot(name);
        ASSERT_TRUE(image);
        // The top line spans the page less its margins, in the theme's separator colour.
        const auto line = look.theme.separatorColor();
        const auto pixel = renderprobe::pixelAt(*image, 187, 0);
        const auto bg = look.theme.backgroundColor();
        const auto blend = [&](double c, double b) { return static_cast<int>((c * line.alpha + b * (1 - line.alpha)) * 255 + 0.5); };
        EXPECT_TRUE(renderprobe::near(pixel, {blend(line.red, bg.red), blend(line.green, bg.green), blend(line.blue, bg.blue), 255}, 6))
            << renderprobe::describe(pixel);
    }
}

}  // namespace
