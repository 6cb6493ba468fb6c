// The library page as the listener meets it: on the library screen of a
// root container in a window, refreshed from the user library each time it
// appears, its podcast rows tapped (a podcast page pushed), its notification
// switches tapped (the change stored through the coordinator, the popup only
// when the library holds it), its right button tapped; and drawn at 375
// points with a library of subscriptions and saved episodes.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVLibraryPodcastCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/widget/ColorExtensions.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/StateBuilder.hpp"
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

class LibraryPage : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        installLayerHooks();
        OVWidgetManager::shared().setLastState(nullptr);
        OVMock::UserData::shared().setLibrary({});
        coordinator = pagekit::StoringCoordinator::create();
        page = OVPage::create<OVLibraryPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
    }
    void TearDown() override {
        shown.reset();
        OVMock::UserData::shared().setLibrary({});
        OVPage::config() = {};
    }

    // Two podcasts, the first subscribed with notifications off, the second
    // only holding a saved episode; the first acted on last.
    void fillTwo() {
        content::fillLibrary({
            {.podcast = pagekit::localPodcast({.key = "table", .title = "The Long Table", .episodes = 3,
                                               .newest = content::daysAgo(1.5)}),
             .subscribed = true, .lastAction = content::daysAgo(0.1)},
            {.podcast = pagekit::localPodcast({.key = "notes", .title = "Field Notes", .episodes = 2,
                                               .newest = content::daysAgo(4.2)}),
             .savedEpisodes = {content::episode({.key = "notes-2"})}, .lastAction = content::daysAgo(1)},
        });
    }

    std::shared_ptr<OVLibraryPodcastsListCell> list() const {
        if (!page || page->tableView()->numberOfRows(0) != 1) return nullptr;
        return std::dynamic_pointer_cast<OVLibraryPodcastsListCell>(page->tableView()->cellForRow(IndexPath::forRow(0, 0)));
    }

    std::vector<std::shared_ptr<OVLibraryPodcastCell>> rows() const {
        std::vector<std::shared_ptr<OVLibraryPodcastCell>> found;
        shown->window->layoutIfNeeded();
        if (auto l = list())
            for (const auto& row : l->tableView()->visibleCells())
                if (auto podcastRow = std::dynamic_pointer_cast<OVLibraryPodcastCell>(row)) found.push_back(podcastRow);
        return found;
    }

    void tapView(const platform::ui::View& view) { testsupport::tap(*shown->window, pagekit::centreOf(view, *shown->window)); }

    testsupport::TempDocuments documents;
    std::shared_ptr<pagekit::StoringCoordinator> coordinator;
    std::shared_ptr<OVLibraryPage> page;
    std::optional<pagekit::Shown> shown;
};

TEST_F(LibraryPage, OneListRowRefreshedFromTheLibraryWithoutAnimationAtEachAppearance) {
    fillTwo();
    shown->appear();
    EXPECT_EQ(page->title(), localized("LIBRARY_PAGE_TITLE"));
    EXPECT_EQ(page->tableView()->delegate(), page);
    ASSERT_NE(list(), nullptr);
    EXPECT_EQ(page->tableView()->numberOfRows(0), 1);
    EXPECT_EQ(page->tableView()->visibleCells().at(0), list());
    // Rows are dressed although no one gave the page a theme.
    const auto shownRows = rows();
    ASSERT_EQ(shownRows.size(), 2u);
    EXPECT_EQ(shownRows[0]->podcastTitleLabel()->text(), "The Long Table");
    EXPECT_EQ(shownRows[1]->podcastTitleLabel()->text(), "Field Notes");
    EXPECT_EQ(page->tableView()->rectForRow(IndexPath::forRow(0, 0)).size.height, list()->frame().size.height);
    const double twoRows = list()->frame().size.height;
    EXPECT_TRUE(shown->screen->navigationBarIsDisplayed());

    // A third podcast, and the table's data source dropped while hidden: the
    // next appearance sets it again and grows the row at once, with no
    // animation on the row or the list's rows.
    shown->disappear();
    page->tableView()->setDataSource(nullptr);
    content::fillLibrary({{.podcast = pagekit::localPodcast({.key = "third", .title = "Night Shift"}),
                           .subscribed = true, .lastAction = content::daysAgo(0.01)},
                          {.podcast = pagekit::localPodcast({.key = "table", .title = "The Long Table"}),
                           .subscribed = true, .lastAction = content::daysAgo(0.1)},
                          {.podcast = pagekit::localPodcast({.key = "notes", .title = "Field Notes"}),
                           .savedEpisodes = {content::episode({.key = "notes-2"})}, .lastAction = content::daysAgo(1)}});
    shown->appear();
    EXPECT_NE(page->tableView()->dataSource(), nullptr);
    EXPECT_EQ(list()->frame().size.height, twoRows + 110);
    EXPECT_EQ(page->tableView()->rectForRow(IndexPath::forRow(0, 0)).size.height, twoRows + 110);
    EXPECT_TRUE(list()->layer()->animationKeys().empty());
    for (const auto& row : rows()) EXPECT_TRUE(row->layer()->animationKeys().empty());
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[0]->podcastTitleLabel()->text(), "Night Shift");
}

TEST_F(LibraryPage, RowsTakeTheColoursGivenElseThoseOfTheWidgetsLastState) {
    struct Case {
        std::string name;
        bool lastState;
        std::optional<Color> given;
        Color tint;
    };
    const Color widget = *colorFromHex("#E4572E");
    const Color given{0.2, 0.6, 0.3, 1};
    const std::vector<Case> cases{{"nothing known", false, std::nullopt, Color::plainBlue()},
                                  {"the widget's", true, std::nullopt, widget},
                                  {"given", true, given, given}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OVWidgetManager::shared().setLastState(
            c.lastState ? std::make_shared<const OVState>(OVState::decode(orvane::test::StateBuilder().build())) : nullptr);
        content::fillLibrary({{.podcast = pagekit::localPodcast({.key = "table"}), .subscribed = true}});
        page = OVPage::create<OVLibraryPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
        if (c.given) page->update(OVTheme::light, *c.given);
        shown->appear();
        ASSERT_EQ(rows().size(), 1u);
        EXPECT_EQ(rows()[0]->startNotificationButton()->tintColor(), c.tint);
    }
    OVWidgetManager::shared().setLastState(nullptr);
}

TEST_F(LibraryPage, ANotificationSwitchCountsOnlyOnceTheLibraryHoldsIt) {
    struct Case {
        std::string name;
        bool described = true;
        bool subscribed = true;
        bool notification = false;  // before the tap
        enum { storing, recordingOnly, gone } coordinator = storing;
        Calls coordinatorCalls{};
        std::vector<std::string> popups{};
        bool notificationAfter = false;  // in the library and on the row
    };
    const std::string on = localized("POPUP_PODCAST_NOTIFICATION_SUBSCRIPTION");
    const auto withName = [&](const std::string& name) {
        std::string text = on;
        text.replace(text.find('#'), 1, name);
        return text;
    };
    const std::vector<Case> cases{
        {.name = "on, stored", .coordinatorCalls = {"subscription(notification, table, true)"},
         .popups = {withName("The Long Table")}, .notificationAfter = true},
        {.name = "on, no description", .described = false,
         .coordinatorCalls = {"subscription(notification, table, true)"}, .popups = {withName("")},
         .notificationAfter = true},
        {.name = "off, stored", .notification = true, .coordinatorCalls = {"subscription(notification, table, false)"},
         .notificationAfter = false},
        {.name = "on, not stored", .coordinator = Case::recordingOnly,
         .coordinatorCalls = {"subscription(notification, table, true)"}, .notificationAfter = false},
        {.name = "off, not stored", .notification = true, .coordinator = Case::recordingOnly,
         .coordinatorCalls = {"subscription(notification, table, false)"}, .notificationAfter = true},
        {.name = "on, coordinator gone", .coordinator = Case::gone, .notificationAfter = false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        coordinator = pagekit::StoringCoordinator::create();
        coordinator->stores = c.coordinator == Case::storing;
        page = OVPage::create<OVLibraryPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
        const auto podcast = pagekit::localPodcast({.key = "table", .title = "The Long Table", .described = c.described});
        content::fillLibrary({{.podcast = podcast, .subscribed = c.subscribed, .notification = c.notification}});
        shown->appear();
        ASSERT_EQ(rows().size(), 1u);
        auto row = rows()[0];
        if (c.coordinator == Case::gone) coordinator.reset();

        tapView(c.notification ? *row->stopNotificationButton() : *row->startNotificationButton());
        RunLoop::main().advance(0.5);  // the switch-on pop
        if (coordinator) {
            EXPECT_EQ(coordinator->calls, c.coordinatorCalls);
        }
        EXPECT_EQ(OVMock::UserData::shared().userHasSuscribded(podcast, OVSubscription::notification),
                  c.notificationAfter);
        std::vector<std::string> popups;
        for (const auto& popup : shown->fan->popups) popups.push_back(popup.string());
        EXPECT_EQ(popups, c.popups);
        // The row shows what the library holds.
        row = rows().at(0);
        EXPECT_EQ(row->stopNotificationButton()->isHidden(), !c.notificationAfter);
        EXPECT_EQ(row->startNotificationButton()->isHidden(), c.notificationAfter);
    }
}

TEST_F(LibraryPage, ChoosingAPodcastPushesItsPageOnTheLibraryScreenWhileTheCoordinatorLives) {
    fillTwo();
    shown->appear();
    tapView(*rows().at(1)->podcastTitleLabel());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return shown->screen->viewControllers().size() == 2; }, 2));
    const auto pushed = std::dynamic_pointer_cast<OVPodcastPage>(shown->screen->topViewController());
    ASSERT_NE(pushed, nullptr);
    EXPECT_NE(pushed->leftButton(), nullptr) << "a back button";
    const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(
        pushed->tableView()->cellForRow(IndexPath::forRow(0, 0)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->titleLabel()->text(), "Field Notes");
    // What changed in the library meanwhile shows when the listener comes back.
    OVMock::UserData::shared().removeSuscription(pagekit::localPodcast({.key = "table"}), OVSubscription::podcast);
    shown->screen->pop(false);
    RunLoop::main().advance(1);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0]->podcastTitleLabel()->text(), "Field Notes");

    // Without the coordinator the tap does nothing.
    coordinator.reset();
    shown->appear();
    tapView(*rows().at(0)->podcastTitleLabel());
    RunLoop::main().advance(1);
    EXPECT_EQ(shown->screen->viewControllers().size(), 1u);
}

TEST_F(LibraryPage, TheRightButtonPagesForwardWithTheConfiguredArrowElseTheWhiteBarOne) {
    struct Case {
        std::string name;
        std::optional<Image> configured;
        std::optional<Image> shownImage;
    };
    const auto arrow = OVGetAsset::navigationRightArrowButton();
    ASSERT_TRUE(arrow);
    const std::vector<Case> cases{{"configured", arrow, arrow},
                                  {"not configured", std::nullopt, OVGetAsset::backToMainPageButtonWhiteBar()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OVPage::config().navigationToMainPageRightArrow = c.configured;
        page = OVPage::create<OVLibraryPage>(coordinator);
        shown.emplace(pagekit::showOnScreen(page));
        shown->appear();
        const auto& items = page->navigationItem()->rightBarButtonItems();
        ASSERT_EQ(items.size(), 1u);
        const auto button = std::dynamic_pointer_cast<Button>(items[0].customView);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(page->rightButton(), button);
        ASSERT_TRUE(c.shownImage);
        EXPECT_EQ(button->image(ControlState::normal), c.shownImage);
        EXPECT_EQ(button->image(ControlState::normal)->renderingMode(), Image::RenderingMode::alwaysOriginal);
        tapView(*button);
        EXPECT_EQ(shown->fan->calls, (Calls{"swipe(forward)"}));
    }
}

TEST_F(LibraryPage, NothingBreaksWhenThePageOrTheCoordinatorIsGone) {
    fillTwo();
    shown->appear();
    auto cell = list();
    ASSERT_NE(cell, nullptr);
    // The list outlives the page here: its rows report to no one.
    std::weak_ptr<OVLibraryPage> weakPage = page;
    shown.reset();
    page.reset();
    EXPECT_TRUE(weakPage.expired());
    EXPECT_EQ(cell->delegate(), nullptr);
    coordinator.reset();
    auto alone = OVPage::create<OVLibraryPage>(nullptr);
    alone->didSelectPodcast(pagekit::localPodcast({.key = "table"}));
    alone->didToggleNotification(pagekit::localPodcast({.key = "table"}), true);
    alone->viewWillAppear(false);  // no screen: the list is refreshed all the same
    EXPECT_EQ(alone->tableView()->numberOfRows(0), 1);
}

// The library screen at 375 points: two podcasts subscribed (one with
// notifications on), one with saved episodes only.
TEST_F(LibraryPage, Snapshot) {
    OVPage::config().navigationToMainPageRightArrow = OVGetAsset::navigationRightArrowButton();  // as the facade sets it
    page = OVPage::create<OVLibraryPage>(coordinator);
    shown.emplace(pagekit::showOnScreen(page));
    const auto demo = pagekit::demoLibrary();
    shown->appear();
    RunLoop::main().advance(1);
    ASSERT_EQ(rows().size(), demo.size());
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            for (const auto& row : rows())
                if (!row->stImageView()->imageView()->image()) return false;
            return true;
        },
        10));
    const auto image = shown->snapshot("library-page");
    ASSERT_TRUE(image);
    // Under the bar, the first row's title on the white page.
    const auto first = rows().at(0);
    EXPECT_EQ(first->podcastTitleLabel()->text(), demo[0].podcast.description->title);
    const auto titleAt = pagekit::centreOf(*first->podcastTitleLabel(), *shown->window);
    EXPECT_GT(titleAt.y, platform::ui::NavigationBar::height);
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 370, titleAt.y), {255, 255, 255, 255}, 4));
}

}  // namespace
