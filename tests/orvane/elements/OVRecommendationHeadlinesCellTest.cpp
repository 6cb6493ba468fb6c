// The discover page's headline carousel as the page uses it: the element
// made with its page, sized from the page width, given the theme and the
// recommended podcasts, shown in a window, scrolled and tapped through it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
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

const Color mainColor{0.1, 0.35, 0.85, 1};

OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    if (made.description) made.description->image = "http://127.0.0.1:1/covers/" + made.identifier + ".jpg";
    return made;
}

std::vector<OVContent> headlines() {
    return {localPodcast({.key = "first", .title = "The Long Table", .ownerName = "Harbour Radio"}),
            localPodcast({.key = "second", .title = "Field Notes", .ownerName = "The Newsroom"}),
            localPodcast({.key = "third", .title = "Morning Briefing", .ownerName = "City Desk"})};
}

class RecommendationHeadlines : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        OVPage::width() = 375.0;
        coordinator = testsupport::RecordingCoordinator::create();
        page = OVPage::create<testsupport::RecordingPage>();
        element = OVPageElement::create<OVPageElement::DiscoverRecommendationHeadlines>(coordinator, page);
        ASSERT_NE(element, nullptr);
        cell = element->tableViewCell();
        ASSERT_NE(cell, nullptr);
        cell->setDelegate(std::static_pointer_cast<OVRecommendationsHeadlinesDelegate>(page));
    }
    void TearDown() override { OVPage::width().reset(); }

    std::shared_ptr<OVRecommendationHeadlinesPodcastCell> item(int index) const {
        return std::dynamic_pointer_cast<OVRecommendationHeadlinesPodcastCell>(
            cell->collectionView()->cellForItem(IndexPath::forItem(index, 0)));
    }

    void show(const std::string& name) { shown = testsupport::showCell(cell, 375, name); }

    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::shared_ptr<OVPageElement::DiscoverRecommendationHeadlines> element;
    std::shared_ptr<OVRecommendationHeadlinesCell> cell;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(RecommendationHeadlines, ItemsAndHeightFollowThePageWidthNeverNegative) {
    struct Case {
        std::optional<double> width;
        Size itemSize;
        double height;
    };
    for (const Case c : {Case{375.0, {337.5, 284.5}, 318.5}, Case{std::nullopt, {0, 82}, 116}, Case{0.0, {0, 82}, 116},
                         Case{-20.0, {0, 82}, 116}, Case{320.0, {288, 254.8}, 288.8}}) {
        SCOPED_TRACE(c.width.value_or(-1));
        OVPage::width() = c.width;
        cell->setHeight();
        EXPECT_EQ(cell->collectionView()->collectionViewLayout().itemSize, c.itemSize);
        EXPECT_NEAR(cell->heightConstraint()->constant(), c.height, 1e-9);
    }
    // The height does not depend on the number of podcasts.
    OVPage::width() = 375.0;
    cell->setHeight();
    cell->update(std::vector<OVContent>{});
    show("recommendation-headlines-empty");
    EXPECT_EQ(cell->frame().size.height, 318.5);
    EXPECT_EQ(cell->headerLabel()->text(), localized("RECOMMENDATION_HEADLINES_PAGE_ELEMENT_HEADER"));
    EXPECT_TRUE(cell->collectionView()->visibleCells().empty());
}

TEST_F(RecommendationHeadlines, ChoosingTheThirdItemReportsTheThirdPodcast) {
    cell->setHeight();
    cell->update(OVTheme::light, mainColor);
    cell->update(headlines());
    show("recommendation-headlines-choice");
    ASSERT_TRUE(item(0));
    EXPECT_EQ(item(0)->frame(), (Rect{0, 0, 337.5, 284.5}));
    EXPECT_EQ(item(0)->convertPoint({0, 0}, shown->window.get()).x, 12);
    EXPECT_EQ(item(0)->podcastLabel()->text(), "The Long Table");
    EXPECT_EQ(item(0)->editorLabel()->text(), "Harbour Radio");

    // Swipe to the third podcast and choose it.
    const auto& carousel = *cell->collectionView();
    const Point middle = carousel.convertPoint({carousel.bounds().midX(), carousel.bounds().midY()}, shown->window.get());
    testsupport::drag(*shown->window, middle, {middle.x - 700, middle.y}, 0.5);
    RunLoop::main().advance(2);
    shown->window->layoutIfNeeded();
    ASSERT_TRUE(item(2));
    const auto& third = *item(2);
    const Point centre = third.convertPoint({third.bounds().midX(), third.bounds().midY()}, shown->window.get());
    ASSERT_GT(centre.x, 0);
    ASSERT_LT(centre.x, 375);
    testsupport::tap(*shown->window, centre);
    EXPECT_EQ(page->calls, (Calls{"didSelectPodcast(third)"}));

    // Without a delegate, nothing is sent.
    cell->setDelegate({});
    testsupport::tap(*shown->window, centre);
    EXPECT_EQ(page->calls.size(), 1u);
}

TEST_F(RecommendationHeadlines, ItemsTakeTheThemeOnlyWithAMainColourAndShowWhatThePodcastHas) {
    auto podcasts = headlines();
    podcasts[1] = localPodcast({.key = "bare", .described = false, .ownerName = "Owner Only"});
    cell->setHeight();
    cell->update(OVTheme::dark, std::optional<Color>{});
    cell->update(podcasts);
    show("recommendation-headlines-no-main-colour");
    EXPECT_EQ(cell->contentView()->backgroundColor(), OVTheme::dark.backgroundColor());
    EXPECT_EQ(cell->headerLabel()->textColor(), OVTheme::dark.cellHeaderFontColor());
    ASSERT_TRUE(item(0) && item(1));
    const auto nibColour = item(0)->podcastLabel()->textColor();
    EXPECT_NE(nibColour, OVTheme::dark.color(OVTheme::FontColor::typeA));
    EXPECT_EQ(item(1)->imageView()->url(), std::nullopt);
    EXPECT_EQ(item(1)->podcastLabel()->text(), std::nullopt);
    EXPECT_EQ(item(1)->editorLabel()->text(), "Owner Only");

    // With a main colour, items handed out again take the theme.
    cell->update(OVTheme::dark, mainColor);
    EXPECT_EQ(item(0)->podcastLabel()->textColor(), nibColour);
    cell->update(podcasts);
    shown->window->layoutIfNeeded();
    ASSERT_TRUE(item(0));
    EXPECT_EQ(item(0)->podcastLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeA));
    EXPECT_EQ(item(0)->editorLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeB));
}

// The carousel with three podcasts, in both looks.
TEST_F(RecommendationHeadlines, Snapshot) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    for (const std::string key : {"first", "second", "third"})
        OVImageCache::cache(*Image::fromData(testimages::png(96, 64, static_cast<int>(key.size()) * 30)), key + ".jpg");
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        cell->setHeight();
        cell->update(look.theme, look.mainColor);
        cell->update(headlines());
        const std::string name = look.name == "light" ? "recommendation-headlines" : "recommendation-headlines-" + look.name;
        show(name);
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] {
                for (const auto& visible : cell->collectionView()->visibleCells()) {
                    const auto headline = std::dynamic_pointer_cast<OVRecommendationHeadlinesPodcastCell>(visible);
                    if (!headline || !headline->imageView()->imageView()->image()) return false;
                }
                return true;
            },
            10));
        RunLoop::main().advance(1);
        ASSERT_TRUE(shown->snapshot(name));
        EXPECT_EQ(cell->frame().size.height, 318.5);
    }
}

}  // namespace
