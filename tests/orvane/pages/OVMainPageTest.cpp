// The main page as the listener meets it: shown on its screen in a root
// container, fed widget states through the bridge, touched through its
// window. Its rows, its side buttons following the bar, the artwork ratio
// the presentation drives, the current-podcast row, saving a recommended
// episode, where status, position, the current episode and downloads land
// (the recommended episodes' rows show none of them),
// a coordinator or page that is gone, and drawings of the page for a
// person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "MainPageKit.hpp"
#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPlayerTrackButtons.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/elements/PlayerRowKit.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/OVDownloadTrackView.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
using platform::graphics::Image;
using platform::graphics::Point;
using platform::ui::IndexPath;
using testsupport::Calls;
using mainpage::WidgetState;

static_assert(!std::is_default_constructible_v<OVMainPage>, "made only through OVPage::create");

class MainPage : public ::testing::Test {
protected:
    void SetUp() override { mainpage::freshStart(); }

    static std::shared_ptr<platform::ui::TableViewCell> row(const mainpage::Shown<>& shown, int index) {
        return shown.page->tableView()->cellForRow(IndexPath::forRow(index, 0));
    }
    static std::shared_ptr<OVRecommandationListCell> list(const mainpage::Shown<>& shown) {
        return std::dynamic_pointer_cast<OVRecommandationListCell>(row(shown, 2));
    }
    static std::shared_ptr<OVPlayerTableViewCell> player(const mainpage::Shown<>& shown) {
        return std::dynamic_pointer_cast<OVPlayerTableViewCell>(row(shown, 0));
    }
    // Scrolls the page so that the row is on screen, and returns its centre in the window.
    static Point bringIntoView(const mainpage::Shown<>& shown, int index) {
        const auto& table = shown.page->tableView();
        const auto rect = table->rectForRow(IndexPath::forRow(index, 0));
        const double bottom = table->contentSize().height - table->bounds().height();
        table->setContentOffset({0, std::max(0.0, std::min(rect.minY() - 40, bottom))});
        shown.window->layoutIfNeeded();
        const auto shownRect = table->rectForRow(IndexPath::forRow(index, 0));
        return table->convertPoint({shownRect.midX(), shownRect.midY()}, shown.window.get());
    }
    // The episode rows of the recommendation list.
    static std::vector<std::shared_ptr<OVEpisodeTableViewCell>> episodeRows(const mainpage::Shown<>& shown) {
        std::vector<std::shared_ptr<OVEpisodeTableViewCell>> rows;
        for (const auto& cell : list(shown)->tableView()->visibleCells())
            if (auto episode = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(cell)) rows.push_back(episode);
        return rows;
    }
    static Point centre(const platform::ui::View& view, const mainpage::Shown<>& shown) {
        return view.convertPoint({view.bounds().midX(), view.bounds().midY()}, shown.window.get());
    }

    // The title of the identity header of a pushed page, once laid out.
    static std::optional<std::string> headerTitle(const mainpage::Shown<>& shown) {
        const auto page = std::dynamic_pointer_cast<OVPage>(shown.screen->topViewController());
        if (!page) return std::nullopt;
        shown.window->layoutIfNeeded();
        for (const auto& cell : page->tableView()->visibleCells())
            if (auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(cell)) return header->titleLabel()->text();
        return std::nullopt;
    }

    testsupport::TempDocuments documents;
};

TEST_F(MainPage, FourRowsInOrderEachItsElementsCellAndNoFooterPlayer) {
    mainpage::Shown<> shown;
    const auto& table = shown.page->tableView();
    ASSERT_EQ(table->numberOfRows(0), 4);
    EXPECT_TRUE(player(shown));
    EXPECT_TRUE(std::dynamic_pointer_cast<OVDescriptionTextTableViewCell>(row(shown, 1)));
    EXPECT_TRUE(list(shown));
    bringIntoView(shown, 3);
    EXPECT_TRUE(std::dynamic_pointer_cast<OVOpenPodcastTableViewCell>(row(shown, 3)));
    EXPECT_FALSE(shown.page->pageDisplaysFoterPlayer());
    EXPECT_FALSE(table->tableFooterView()) << "no powered-by text, no footer";

    // The compact presentation's preview is the player row at the top.
    table->setContentOffset({0, 0});
    EXPECT_EQ(shown.page->preview(), row(shown, 0));
    // A selected row is let go when the page appears again.
    testsupport::tap(*shown.window, bringIntoView(shown, 1));
    EXPECT_TRUE(table->indexPathForSelectedRow());
    shown.page->viewDidAppear(false);
    EXPECT_FALSE(table->indexPathForSelectedRow());

    // The transport buttons in the player row report to the coordinator.
    table->setContentOffset({0, 0});
    shown.window->layoutIfNeeded();
    auto buttons = std::dynamic_pointer_cast<OVPlayerTrackButtons>(player(shown)->buttonsView());
    ASSERT_TRUE(buttons);
    testsupport::tap(*shown.window, centre(*buttons->forwardButton(), shown));
    EXPECT_EQ(shown.coordinator->calls, (Calls{"didTapForward()"}));

    // A page made without a coordinator and shown nowhere has no preview.
    const auto alone = OVPage::create<OVMainPage>(nullptr);
    EXPECT_EQ(alone->preview(), nullptr);
    alone->setImageRatio(0.5, false);
}

TEST_F(MainPage, SideButtonsShowWithTheBarInTheirBarsImagesAndPageTheContainer) {
    const auto named = [](const std::shared_ptr<platform::ui::Button>& button) {
        const auto image = button->image(platform::ui::ControlState::normal);
        EXPECT_TRUE(!image || image->renderingMode() == Image::RenderingMode::alwaysOriginal);
        return image && image->name() ? *image->name() : std::string("none");
    };
    {
        mainpage::Shown<> shown;
        const auto left = shown.page->leftButton(), right = shown.page->rightButton();
        ASSERT_TRUE(left && right);
        EXPECT_EQ(left->frame().size, (platform::graphics::Size{32, 32}));
        struct Step {
            double offset;
            bool shown;
            std::string left, right;
        };
        for (const auto& step : std::vector<Step>{
                 {0, false, "MyLibraryBarButton-TransparentBar", "DiscoverBarButton-TransparentBar"},
                 {150, true, "MyLibraryBarButton-WhiteBar", "DiscoverBarButton-WhiteBar"},
                 {20, false, "MyLibraryBarButton-TransparentBar", "DiscoverBarButton-TransparentBar"}}) {
            SCOPED_TRACE(step.offset);
            shown.page->tableView()->setContentOffset({0, step.offset});
            EXPECT_EQ(shown.screen->navigationBarIsDisplayed(), step.shown);
            EXPECT_EQ(left->isHidden(), !step.shown);
            EXPECT_EQ(right->isHidden(), !step.shown);
            EXPECT_EQ(named(left), step.left);
            EXPECT_EQ(named(right), step.right);
            // In the bar, a touch on a shown button pages the container; a
            // hidden one takes none.
            shown.window->layoutIfNeeded();
            shown.fan->calls.clear();
            testsupport::tap(*shown.window, centre(*left, shown));
            testsupport::tap(*shown.window, centre(*right, shown));
            EXPECT_EQ(shown.fan->calls, step.shown ? (Calls{"swipe(reverse)", "swipe(forward)"}) : Calls{});
        }
    }
    {
        // Without side buttons in use the bar never shows and the buttons stay bare.
        mainpage::Shown<> shown(667, {false, false});
        shown.page->tableView()->setContentOffset({0, 150});
        EXPECT_FALSE(shown.screen->navigationBarIsDisplayed());
        EXPECT_EQ(named(shown.page->leftButton()), "none");
        EXPECT_FALSE(shown.page->leftButton()->isHidden());
    }
}

TEST_F(MainPage, TheImageRatioSetsTheArtworkInOneTableBatchAndARepeatDoesNothing) {
    mainpage::Shown<> shown;
    const auto constraint = shown.page->ratioConstraint();
    ASSERT_TRUE(constraint);
    const auto& table = shown.page->tableView();
    const auto playerHeight = [&] { return table->rectForRow(IndexPath::forRow(0, 0)).size.height; };
    const auto animating = [&] { return !row(shown, 1)->layer()->animationKeys().empty(); };

    shown.page->setImageRatio(1, true);
    EXPECT_EQ(constraint->constant(), 0);
    const double full = playerHeight();
    EXPECT_FALSE(animating());

    // While the player row asks for 700 points, a table pass would give it
    // them: the same ratio again makes none, so the row keeps its height.
    const auto tall = player(shown)->contentView()->heightAnchor().constraintGreaterThanOrEqualToConstant(700);
    tall->setActive(true);
    shown.page->setImageRatio(1, true);
    EXPECT_EQ(playerHeight(), full);
    tall->setActive(false);

    // Two thirds at 375 points: the artwork loses 125 points, in an animated batch.
    shown.page->setImageRatio(2.0 / 3.0, false);
    EXPECT_NEAR(constraint->constant(), -125, 1e-9);
    EXPECT_NEAR(playerHeight(), full - 125, 1e-9);
    EXPECT_TRUE(animating()) << "the rows below move to their places with animation";
    RunLoop::main().advance(1);
    EXPECT_FALSE(animating());
    tall->setActive(true);
    shown.page->setImageRatio(2.0 / 3.0, false);
    EXPECT_NEAR(playerHeight(), full - 125, 1e-9) << "repeated: no table pass";
    EXPECT_FALSE(animating());
    tall->setActive(false);

    // Back to the whole artwork without animation.
    shown.page->setImageRatio(1, true);
    EXPECT_EQ(constraint->constant(), 0);
    EXPECT_EQ(playerHeight(), full);
    EXPECT_FALSE(animating());
}

TEST_F(MainPage, TheCurrentPodcastRowOpensThePodcastPageOnlyOnceAnEpisodeHasArrived) {
    mainpage::Shown<> shown;
    for (int index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        testsupport::tap(*shown.window, bringIntoView(shown, index));
        RunLoop::main().advance(1);
        EXPECT_EQ(shown.screen->viewControllers().size(), 1u);
    }

    mainpage::deliver(WidgetState{.track = "show-2", .recommendations = {"next"}, .status = "paused"});
    RunLoop::main().advance(1);
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        testsupport::tap(*shown.window, bringIntoView(shown, index));
        RunLoop::main().advance(1);
        EXPECT_EQ(shown.screen->viewControllers().size(), 1u);
    }
    testsupport::tap(*shown.window, bringIntoView(shown, 3));
    RunLoop::main().advance(1);
    ASSERT_EQ(shown.screen->viewControllers().size(), 2u);
    const auto pushed = std::dynamic_pointer_cast<OVPodcastPage>(shown.screen->topViewController());
    ASSERT_TRUE(pushed);
    EXPECT_TRUE(pushed->leftButton()) << "a pushed page has its back button";
    EXPECT_EQ(headerTitle(shown), "Podcast show");
}

TEST_F(MainPage, ADetailsTapOnARecommendationOpensItsEpisodePage) {
    mainpage::Shown<> shown;
    mainpage::deliver(WidgetState{.track = "show-1", .recommendations = {"next", "later"}, .status = "paused"});
    RunLoop::main().advance(1);
    bringIntoView(shown, 2);
    const auto rows = episodeRows(shown);
    ASSERT_EQ(rows.size(), 2u);
    testsupport::tap(*shown.window, centre(*rows[1]->detailsButton(), shown));
    RunLoop::main().advance(1);
    ASSERT_EQ(shown.screen->viewControllers().size(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<OVEpisodePage>(shown.screen->topViewController()));
    EXPECT_EQ(headerTitle(shown), "Episode later-1: a conversation by the river");
    EXPECT_TRUE(shown.coordinator->calls.empty());
}

TEST_F(MainPage, SavingARecommendedEpisodeStoresItOnceAndConfirmsEachTime) {
    mainpage::Shown<> shown;
    const auto& library = OVMock::UserData::shared().library();
    // The second time the list shows the episode in another row, after a
    // new order of the recommendations.
    const std::vector<std::pair<std::vector<std::string>, int>> saves{{{"next", "later"}, 1}, {{"later", "next"}, 0}};
    for (std::size_t time = 1; time <= saves.size(); ++time) {
        SCOPED_TRACE(time);
        const auto& [order, index] = saves[time - 1];
        mainpage::deliver(WidgetState{.track = "show-1", .recommendations = order, .status = "paused"});
        RunLoop::main().advance(1);  // the list grows to its rows
        bringIntoView(shown, 2);
        const auto rows = episodeRows(shown);
        ASSERT_EQ(rows.size(), 2u);
        testsupport::tap(*shown.window, centre(*rows[static_cast<std::size_t>(index)]->saveButton(), shown));
        RunLoop::main().advance(1);  // the button's pop, then the save
        EXPECT_TRUE(rows[static_cast<std::size_t>(index)]->saveButton()->isHidden());
        ASSERT_EQ(library.size(), 1u);
        const auto& entry = library.begin()->second;
        ASSERT_EQ(entry.savedEpisodes.size(), 1u);
        EXPECT_EQ(entry.savedEpisodes[0]->key(), "later-1");
        EXPECT_FALSE(entry.suscribed);
        ASSERT_EQ(shown.fan->popups.size(), time);
        EXPECT_NE(shown.fan->popups.back().string().find("Episode later-1"), std::string::npos);
    }
    EXPECT_TRUE(shown.coordinator->calls.empty());

    // Choosing a recommended episode goes to the coordinator.
    testsupport::tap(*shown.window, centre(*episodeRows(shown)[1], shown));
    EXPECT_EQ(shown.coordinator->calls, (Calls{"didSelectEpisode(next-1 in next)"}));
}

TEST_F(MainPage, StatusAndPositionChangeThePlayerRowAndNothingBelowIt) {
    mainpage::Shown<> shown(1400);
    const WidgetState paused{.track = "show-1", .time = 10, .recommendations = {"next", "later"}, .status = "paused",
                      .duration = 600};
    mainpage::deliver(paused);
    shown.window->layoutIfNeeded();
    const auto before = shown.window->snapshot();
    ASSERT_TRUE(before);
    auto buttons = std::dynamic_pointer_cast<OVPlayerTrackButtons>(player(shown)->buttonsView());
    EXPECT_FALSE(buttons->playButton()->isHidden());

    mainpage::deliver(WidgetState{.track = "show-1", .time = 300, .recommendations = {"next", "later"}, .status = "playing",
                           .duration = 600});
    shown.window->layoutIfNeeded();
    const auto after = shown.window->snapshot();
    ASSERT_TRUE(after);
    EXPECT_TRUE(buttons->playButton()->isHidden());
    EXPECT_EQ(player(shown)->sliderLeftLabel()->text(), "5:00");

    // Pixel rows of the page: the player row's differ, none below it does.
    const double scale = before->pixelWidth() / 375.0;
    const int playerBottom = static_cast<int>(player(shown)->frame().maxY() * scale);
    const auto a = before->pixels(), b = after->pixels();
    ASSERT_EQ(a.size(), b.size());
    const std::size_t stride = static_cast<std::size_t>(before->pixelWidth()) * 4;
    const auto differs = [&](int y) {
        const auto from = static_cast<std::size_t>(y) * stride;
        return !std::equal(a.begin() + from, a.begin() + from + stride, b.begin() + from);
    };
    bool playerChanged = false;
    for (int y = 0; y < playerBottom; ++y) playerChanged = playerChanged || differs(y);
    EXPECT_TRUE(playerChanged);
    for (int y = playerBottom; y < before->pixelHeight(); ++y) {
        if (differs(y)) {
            ADD_FAILURE() << "pixel row " << y << " below the player row changed";
            break;
        }
    }
}

// The recommended episodes' rows are dressed by the list alone: the current
// episode, the player's status and downloads leave them as they were, even
// when the episode now playing is one of them.
TEST_F(MainPage, TheRecommendationRowsShowNeitherTheCurrentEpisodeNorTheStatusNorDownloads) {
    mainpage::Shown<> shown;
    const auto unmarked = [&](const char* when) {
        SCOPED_TRACE(when);
        shown.window->layoutIfNeeded();
        const auto rows = episodeRows(shown);
        ASSERT_EQ(rows.size(), 2u);
        for (const auto& row : rows) {
            EXPECT_TRUE(row->imageOverlay()->isHidden());
            EXPECT_TRUE(row->equalizerAnimationView()->isHidden());
            EXPECT_TRUE(row->equalizerAnimationView()->rectLayers().at(0)->animationKeys().empty());
            EXPECT_FALSE(row->saveButton()->isHidden());
            for (const auto& view : row->contentView()->subviews())
                EXPECT_FALSE(std::dynamic_pointer_cast<OVDownloadTrackView>(view));
        }
    };
    mainpage::deliver(WidgetState{.track = "next-1", .recommendations = {"show", "next"}, .status = "playing"});
    bringIntoView(shown, 2);
    unmarked("first state");
    // The episode now playing is the second recommendation.
    mainpage::deliver(WidgetState{.content = "next", .track = "next-1", .recommendations = {"show", "next"}, .status = "playing"});
    unmarked("playing a recommended episode");
    RunLoop::main().advance(1);  // the rows' fades are over
    unmarked("a second later");
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
        if (const auto image = shown.window->snapshot())
            (void)image->writePng(std::filesystem::path(dir) / "main-page-playing-a-recommendation.png");
    }
    mainpage::deliver(WidgetState{.content = "next", .track = "next-1", .recommendations = {"show", "next"}, .status = "paused"});
    unmarked("paused");
    const auto episode = OVWidgetManager::shared().lastState()->followingTracks()[0].track;
    shown.page->downloadStatusDidChange(episode, OVTrack::InProgress{0.25f});
    unmarked("a download in progress");
}

TEST_F(MainPage, NothingBreaksOnceTheCoordinatorOrThePageIsGone) {
    std::optional<mainpage::Shown<>> shown;
    shown.emplace();
    mainpage::deliver(WidgetState{.track = "show-1", .recommendations = {"next"}, .status = "paused"});
    RunLoop::main().advance(1);
    std::weak_ptr<testsupport::RecordingCoordinator> coordinator = shown->coordinator;
    shown->coordinator.reset();
    ASSERT_TRUE(coordinator.expired());

    // Selection and the current-podcast row need the coordinator: nothing happens.
    testsupport::tap(*shown->window, bringIntoView(*shown, 3));
    EXPECT_EQ(shown->screen->viewControllers().size(), 1u);
    bringIntoView(*shown, 2);
    auto rows = episodeRows(*shown);
    ASSERT_EQ(rows.size(), 1u);
    testsupport::tap(*shown->window, centre(*rows[0], *shown));
    testsupport::tap(*shown->window, centre(*rows[0]->detailsButton(), *shown));
    EXPECT_EQ(shown->screen->viewControllers().size(), 1u);
    // Saving does not: the episode is kept and confirmed.
    testsupport::tap(*shown->window, centre(*rows[0]->saveButton(), *shown));
    RunLoop::main().advance(1);
    EXPECT_EQ(shown->fan->popups.size(), 1u);

    // The page gone, its cells and the bridge go on without it.
    auto listCell = list(*shown);
    std::weak_ptr<OVMainPage> page = shown->page;
    shown.reset();
    ASSERT_TRUE(page.expired());
    mainpage::deliver(WidgetState{.track = "show-2", .recommendations = {"later"}, .status = "playing"});
    listCell->didSelectRow(*listCell->tableView(), IndexPath::forRow(0, 0));
    EXPECT_FALSE(listCell->delegate());
}

// The page with demo content: the cover and episode artworks in the image
// cache, an episode playing, two recommendations; at phone height and at
// its whole length. Written to $ORVANE_SNAPSHOT_DIR.
TEST_F(MainPage, SnapshotsWithDemoContent) {
    for (const auto& [name, hue] : std::vector<std::pair<std::string, double>>{
             {"show", 0.9}, {"show-1", 0.2}, {"next", 0.5}, {"next-1", 0.5}, {"later", 0.7}, {"later-1", 0.7}})
        OVImageCache::cache(playerrow::artwork(240, hue), name + ".jpg");
    for (const double height : {667.0, 1400.0}) {
        SCOPED_TRACE(height);
        // The state comes after the page is laid out, as when the widget
        // posts its first state while the page shows.
        OVWidgetManager::shared().setLastState(std::shared_ptr<const OVState>{});
        mainpage::Shown<> shown(height);
        mainpage::deliver(WidgetState{.mainColor = "#1A5AD8", .track = "show-1", .time = 754, .recommendations = {"next", "later"},
                               .status = "playing", .duration = 1800, .artwork = true});
        shown.page->presentationAnimationWillStart();
        shown.window->layoutIfNeeded();
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] { return player(shown)->contentImgView()->imageView()->image().has_value(); }, 10));
        RunLoop::main().advance(1);
        shown.window->layoutIfNeeded();
        const auto image = shown.window->snapshot();
        ASSERT_TRUE(image);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
            image->writePng(std::filesystem::path(dir) / (height < 1000 ? "main-page.png" : "main-page-whole.png"));
        EXPECT_EQ(player(shown)->sliderLeftLabel()->text(), "12:34");
        if (height > 1000) {
            EXPECT_EQ(shown.page->tableView()->visibleCells().size(), 4u);
            continue;
        }
        // Scrolled down to the recommendations: the bar shows, with both side buttons.
        shown.page->tableView()->setContentOffset({0, 480});
        shown.window->layoutIfNeeded();
        RunLoop::main().advance(1);
        const auto scrolled = shown.window->snapshot();
        ASSERT_TRUE(scrolled);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
            scrolled->writePng(std::filesystem::path(dir) / "main-page-bar.png");
        EXPECT_FALSE(shown.page->leftButton()->isHidden());
        EXPECT_FALSE(shown.page->rightButton()->isHidden());
    }
}

}  // namespace
