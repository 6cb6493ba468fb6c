// The discover page as the listener meets it: on the discover screen of a
// root container in a window, its two rows sized from the page width and
// filled from the user library's recommendations each time it appears, a
// headline podcast tapped (its page pushed), an episode tapped (its episode
// page pushed), the current episode and player status reaching the grid,
// its left button tapped; and drawn at 375 points with recommendations.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVDiscoverPage.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

#include "SidePageKit.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using platform::core::RunLoop;
using platform::ui::Button;
using platform::ui::ControlState;
using platform::ui::IndexPath;
using testsupport::Calls;
namespace content = testsupport::content;
namespace pagekit = testsupport::sidepage;
using Recommendation = OVMock::UserData::DiscoverRecommendation;

std::vector<Recommendation> pairsOf(const OVContent& podcast, int count) {
    std::vector<Recommendation> list;
    for (int i = 0; i < count && i < static_cast<int>(podcast.tracks->size()); ++i)
        list.push_back({(*podcast.tracks)[static_cast<std::size_t>(i)], podcast});
    return list;
}

class DiscoverPage : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        installLayerHooks();
        OVWidgetManager::shared().setLastState(nullptr);
        OVPage::width() = 375.0;
        coordinator = testsupport::RecordingCoordinator::create();
        page = OVPage::create<OVDiscoverPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
        podcast = pagekit::localPodcast({.key = "show", .title = "The Long Table", .episodes = 6,
                                         .newest = content::date("2024-08-15")});
    }
    void TearDown() override {
        shown.reset();
        OVMock::UserData::shared().setRecommendationsHeadlines({});
        OVMock::UserData::shared().setDiscoverRecommendations({});
        OVPage::width().reset();
        OVPage::config() = {};
    }

    template <class Cell>
    std::shared_ptr<Cell> row(int index) const {
        return std::dynamic_pointer_cast<Cell>(page->tableView()->cellForRow(IndexPath::forRow(index, 0)));
    }
    std::shared_ptr<OVRecommendationHeadlinesCell> headlines() const { return row<OVRecommendationHeadlinesCell>(0); }
    std::shared_ptr<OVDiscoverRecommendationsCell> grid() const { return row<OVDiscoverRecommendationsCell>(1); }

    template <class Item>
    std::shared_ptr<Item> item(const platform::ui::CollectionView& view, int index) const {
        return std::dynamic_pointer_cast<Item>(view.cellForItem(IndexPath::forItem(index, 0)));
    }

    void tapView(const platform::ui::View& view) { testsupport::tap(*shown->window, pagekit::centreOf(view, *shown->window)); }

    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator;
    std::shared_ptr<OVDiscoverPage> page;
    std::optional<pagekit::Shown> shown;
    OVContent podcast;
};

TEST_F(DiscoverPage, HeadlinesOverTheGridEachSizedFromThePageWidthBeforeBeingFilled) {
    struct Case {
        std::string name;
        int headlines;
        int episodes;
        double gridHeight;  // two columns of 169.5 x 227.5 items, rows 24 apart, header band and margin
    };
    const std::vector<Case> cases{
        {"three episodes", 2, 3, 2 * 227.5 + 24 + 59},
        {"five episodes, more on the next showing", 3, 5, 3 * 227.5 + 2 * 24 + 59},
        {"empty lists: the grid's header whole", 0, 0, 59},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<OVContent> headlinePodcasts;
        for (int i = 0; i < c.headlines; ++i)
            headlinePodcasts.push_back(pagekit::localPodcast({.key = "h" + std::to_string(i), .title = "Headline " + std::to_string(i)}));
        OVMock::UserData::shared().setRecommendationsHeadlines(headlinePodcasts);
        OVMock::UserData::shared().setDiscoverRecommendations(pairsOf(podcast, c.episodes));
        shown->disappear();
        shown->appear();
        EXPECT_EQ(page->title(), localized("DISCOVER_PAGE_TITLE"));
        EXPECT_EQ(page->tableView()->numberOfRows(0), 2);
        ASSERT_NE(headlines(), nullptr);
        ASSERT_NE(grid(), nullptr);
        // Sized before filled: the first fill already knows the item size.
        EXPECT_EQ(grid()->collectionView()->collectionViewLayout().itemSize, (Size{169.5, 227.5}));
        EXPECT_EQ(grid()->heightConstraint()->constant(), c.gridHeight);
        EXPECT_EQ(headlines()->collectionView()->collectionViewLayout().itemSize, (Size{337.5, 284.5}));
        EXPECT_EQ(headlines()->collectionView()->numberOfItems(0), c.headlines);
        EXPECT_EQ(grid()->collectionView()->numberOfItems(0), c.episodes);
        // The rows are as tall as their cells.
        shown->window->layoutIfNeeded();
        RunLoop::main().advance(1);
        EXPECT_EQ(page->tableView()->rectForRow(IndexPath::forRow(1, 0)).size.height, c.gridHeight);
        EXPECT_EQ(page->tableView()->rectForRow(IndexPath::forRow(0, 0)).size.height, 284.5 + 34);
        EXPECT_TRUE(shown->screen->navigationBarIsDisplayed());
    }
}

TEST_F(DiscoverPage, TheCurrentEpisodeAndTheStatusReachTheGrid) {
    OVMock::UserData::shared().setDiscoverRecommendations(pairsOf(podcast, 4));
    shown->appear();
    page->update(OVAudioPlayerStatus::playing);
    page->update((*podcast.tracks)[2], podcast);
    const auto view = grid()->collectionView();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto episode = item<OVDiscoverRecommendationEpisodeCell>(*view, i);
        ASSERT_NE(episode, nullptr);
        EXPECT_EQ(!episode->imageOverlay()->isHidden(), i == 2);
    }
}

TEST_F(DiscoverPage, TapsPushThePodcastOrTheEpisodePageWhileTheCoordinatorLives) {
    OVMock::UserData::shared().setRecommendationsHeadlines({podcast});
    OVMock::UserData::shared().setDiscoverRecommendations(pairsOf(podcast, 2));
    struct Case {
        std::string name;
        bool headline;  // else the second episode
        bool coordinatorLives;
    };
    for (const auto& c : std::vector<Case>{{"headline", true, true},
                                           {"episode", false, true},
                                           {"headline, no coordinator", true, false},
                                           {"episode, no coordinator", false, false}}) {
        SCOPED_TRACE(c.name);
        if (!c.coordinatorLives) coordinator.reset();
        shown->appear();
        if (c.headline) {
            const auto tapped = item<OVRecommendationHeadlinesPodcastCell>(*headlines()->collectionView(), 0);
            ASSERT_NE(tapped, nullptr);
            tapView(*tapped);
        } else {
            const auto tapped = item<OVDiscoverRecommendationEpisodeCell>(*grid()->collectionView(), 1);
            ASSERT_NE(tapped, nullptr);
            tapView(*tapped);
        }
        RunLoop::main().advance(1);
        if (!c.coordinatorLives) {
            EXPECT_EQ(shown->screen->viewControllers().size(), 1u);
            continue;
        }
        ASSERT_EQ(shown->screen->viewControllers().size(), 2u);
        const auto top = std::dynamic_pointer_cast<OVPage>(shown->screen->topViewController());
        ASSERT_NE(top, nullptr);
        if (c.headline)
            EXPECT_NE(std::dynamic_pointer_cast<OVPodcastPage>(top), nullptr);
        else
            EXPECT_NE(std::dynamic_pointer_cast<OVEpisodePage>(top), nullptr);
        EXPECT_NE(top->leftButton(), nullptr) << "a back button";
        // Its header names what was tapped: the podcast, or the second
        // episode of that podcast.
        const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(
            top->tableView()->cellForRow(IndexPath::forRow(0, 0)));
        ASSERT_NE(header, nullptr);
        if (!c.headline) {
            EXPECT_EQ(header->titleLabel()->text(), (*podcast.tracks)[1]->title());
            EXPECT_EQ(header->subTitleLabel()->title(ControlState::normal), "The Long Table");
        } else {
            EXPECT_EQ(header->titleLabel()->text(), "The Long Table");
        }
        shown->screen->pop(false);
        RunLoop::main().advance(1);
    }
}

TEST_F(DiscoverPage, TheLeftButtonPagesBackWithTheConfiguredArrowElseTheWhiteBarOne) {
    struct Case {
        std::string name;
        std::optional<Image> configured;
        std::optional<Image> shownImage;
    };
    const auto arrow = OVGetAsset::navigationLeftArrowButton();
    ASSERT_TRUE(arrow);
    const std::vector<Case> cases{{"configured", arrow, arrow},
                                  {"not configured", std::nullopt, OVGetAsset::backToMainPageButtonWhiteBar()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OVPage::config().navigationToMainPageLeftArrow = c.configured;
        page = OVPage::create<OVDiscoverPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
        shown->appear();
        const auto& items = page->navigationItem()->leftBarButtonItems();
        ASSERT_EQ(items.size(), 1u);
        const auto button = std::dynamic_pointer_cast<Button>(items[0].customView);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(page->leftButton(), button);
        ASSERT_TRUE(c.shownImage);
        EXPECT_EQ(button->image(ControlState::normal), c.shownImage);
        EXPECT_EQ(button->image(ControlState::normal)->renderingMode(), Image::RenderingMode::alwaysOriginal);
        tapView(*button);
        EXPECT_EQ(shown->fan->calls, (Calls{"swipe(reverse)"}));
    }
}

TEST_F(DiscoverPage, NothingBreaksWhenThePageOrTheCoordinatorIsGone) {
    OVMock::UserData::shared().setDiscoverRecommendations(pairsOf(podcast, 2));
    shown->appear();
    auto cell = grid();
    ASSERT_NE(cell, nullptr);
    std::weak_ptr<OVDiscoverPage> weakPage = page;
    shown.reset();
    page.reset();
    EXPECT_TRUE(weakPage.expired());
    EXPECT_EQ(cell->delegate(), nullptr);
    cell->didSelectItem(*cell->collectionView(), IndexPath::forItem(0, 0));  // reports to no one

    coordinator.reset();
    auto alone = OVPage::create<OVDiscoverPage>(nullptr);
    alone->didSelectPodcast(podcast);
    alone->didTapForDetails((*podcast.tracks)[0], podcast);
    alone->didTapForDetails(nullptr, podcast);  // refused
    alone->update((*podcast.tracks)[0], podcast);
    alone->update(OVAudioPlayerStatus::paused);
    alone->viewWillAppear(false);  // no screen: filled all the same
    EXPECT_NE(alone->tableView()->dataSource(), nullptr);
}

// The discover screen at 375 points: headline podcasts over recommended
// episodes of the demo podcasts.
TEST_F(DiscoverPage, Snapshot) {
    OVPage::config().navigationToMainPageLeftArrow = OVGetAsset::navigationLeftArrowButton();  // as the facade sets it
    page = OVPage::create<OVDiscoverPage>(coordinator);
    shown.emplace(pagekit::showOnScreen(page));
    const auto demo = pagekit::demoPodcasts();
    OVMock::UserData::shared().setRecommendationsHeadlines({demo.dornaway, demo.brisquel, demo.tevolin});
    OVMock::UserData::shared().setDiscoverRecommendations({{(*demo.quillary.tracks)[0], demo.quillary},
                                                          {(*demo.tevolin.tracks)[1], demo.tevolin},
                                                          {(*demo.yandrel.tracks)[0], demo.yandrel},
                                                          {(*demo.dornaway.tracks)[2], demo.dornaway}});
    shown->appear();
    RunLoop::main().advance(1);
    const auto view = grid()->collectionView();
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            for (int i = 0; i < 2; ++i) {
                const auto episode = item<OVDiscoverRecommendationEpisodeCell>(*view, i);
                if (!episode || !episode->imageView()->imageView()->image()) return false;
            }
            const auto headline = item<OVRecommendationHeadlinesPodcastCell>(*headlines()->collectionView(), 0);
            return headline && headline->imageView()->imageView()->image();
        },
        10));
    const auto image = shown->snapshot("discover-page");
    ASSERT_TRUE(image);
    const auto first = item<OVRecommendationHeadlinesPodcastCell>(*headlines()->collectionView(), 0);
    EXPECT_EQ(first->podcastLabel()->text(), demo.dornaway.description->title);
    EXPECT_GT(pagekit::centreOf(*headlines()->headerLabel(), *shown->window).y, platform::ui::NavigationBar::height);
}

}  // namespace
