// The library page's list as the page uses it: the element made with its
// page, given the theme and the library store, shown in a window and tapped
// through it; and its rows with their notification switches.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVLibraryPodcastCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
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
using platform::core::Date;
using platform::core::RunLoop;
using platform::ui::IndexPath;
using testsupport::Calls;
namespace content = testsupport::content;

const Color mainColor{0.1, 0.35, 0.85, 1};

// Artwork on a closed local port: loads fail at once (the snapshot serves
// them from the image cache).
OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    if (made.description) made.description->image = "http://127.0.0.1:1/covers/" + made.identifier + ".jpg";
    return made;
}

class LibraryList : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        coordinator = testsupport::RecordingCoordinator::create();
        page = OVPage::create<testsupport::RecordingPage>();
        element = OVPageElement::create<OVPageElement::LibraryPodcastsList>(coordinator, page);
        ASSERT_NE(element, nullptr);
        cell = element->tableViewCell();
        ASSERT_NE(cell, nullptr);
        cell->setDelegate(std::static_pointer_cast<OVLibraryPageUserAction>(page));
    }

    // Three podcasts touched at 10:00, 12:00 and 11:00 of one day.
    void fillThree() {
        const Date day = content::date("2024-08-15");
        content::fillLibrary({
            {.podcast = localPodcast({.key = "ten", .title = "Morning Briefing", .episodes = 2, .newest = content::daysAgo(0.5)}),
             .subscribed = true, .notification = true, .lastAction = day.addingTimeInterval(10 * 3600)},
            {.podcast = localPodcast({.key = "noon", .title = "The Long Table", .episodes = 2, .newest = content::daysAgo(1.5)}),
             .subscribed = true, .lastAction = day.addingTimeInterval(12 * 3600)},
            {.podcast = localPodcast({.key = "eleven", .title = "Field Notes", .episodes = 3, .newest = content::daysAgo(12.2)}),
             .lastAction = day.addingTimeInterval(11 * 3600)},
        });
    }

    std::vector<std::shared_ptr<OVLibraryPodcastCell>> rows() const {
        std::vector<std::shared_ptr<OVLibraryPodcastCell>> list;
        for (const auto& row : cell->tableView()->visibleCells())
            if (auto libraryRow = std::dynamic_pointer_cast<OVLibraryPodcastCell>(row)) list.push_back(libraryRow);
        return list;
    }

    Point centreOf(const platform::ui::View& view) const {
        return view.convertPoint({view.bounds().midX(), view.bounds().midY()}, shown->window.get());
    }

    void show(const std::string& name) { shown = testsupport::showCell(cell, 375, name); }

    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::shared_ptr<OVPageElement::LibraryPodcastsList> element;
    std::shared_ptr<OVLibraryPodcastsListCell> cell;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(LibraryList, LatestActionFirstHeight330AndSelectionReportsThePodcast) {
    fillThree();
    cell->update(OVTheme::light, mainColor);
    cell->update(OVMock::UserData::shared());
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 330);
    show("library-list-order");
    EXPECT_EQ(cell->frame().size.height, 330);
    const auto shownRows = rows();
    ASSERT_EQ(shownRows.size(), 3u);
    // Rows come from the library's keys: the entries were built outside the
    // library and carry no content of their own.
    const std::vector<std::string> titles{"The Long Table", "Field Notes", "Morning Briefing"};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shownRows[i]->podcastTitleLabel()->text(), titles[i]);
        EXPECT_EQ(cell->tableView()->rectForRow(IndexPath::forRow(static_cast<int>(i), 0)).size.height, 110);
    }
    testsupport::tap(*shown->window, centreOf(*shownRows[1]->stImageView()));
    testsupport::tap(*shown->window, centreOf(*shownRows[0]->downloadedLabel()));
    EXPECT_EQ(page->calls, (Calls{"didSelectPodcast(eleven)", "didSelectPodcast(noon)"}));

    // An emptied library: no rows, no height; without a delegate nothing is sent.
    OVMock::UserData::shared().setLibrary({});
    cell->update(OVMock::UserData::shared());
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 0);
    shown->window->layoutIfNeeded();
    EXPECT_TRUE(cell->tableView()->visibleCells().empty());
    cell->setDelegate({});
    fillThree();
    cell->update(OVMock::UserData::shared());
    shown->snapshot("library-list-again");
    testsupport::tap(*shown->window, centreOf(*rows()[0]->stImageView()));
    EXPECT_EQ(page->calls.size(), 2u);
}

TEST_F(LibraryList, RowsAreBlankUntilTheThemeAndTheThemeChangesOnlyTheBackground) {
    fillThree();
    cell->update(OVMock::UserData::shared());
    show("library-list-unthemed");
    EXPECT_EQ(cell->tableView()->visibleCells().size(), 3u);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(cell->tableView()->rectForRow(IndexPath::forRow(2, 0)).size.height, 110);

    cell->update(OVTheme::dark, mainColor);
    EXPECT_EQ(cell->contentView()->backgroundColor(), OVTheme::dark.backgroundColor());
    shown->window->layoutIfNeeded();
    EXPECT_TRUE(rows().empty());
    cell->update(OVMock::UserData::shared());
    shown->window->layoutIfNeeded();
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[0]->backgroundColor(), OVTheme::dark.backgroundColor());
    EXPECT_EQ(rows()[0]->podcastTitleLabel()->textColor(), OVTheme::dark.color(OVTheme::FontColor::typeA));
}

TEST_F(LibraryList, RowButtonsFollowSubscriptionAndNotification) {
    struct Case {
        bool subscribed, notification;
        bool startHidden, stopHidden;
    };
    for (const Case c : {Case{true, true, true, false}, Case{true, false, false, true}, Case{false, false, true, true},
                         Case{false, true, true, true}}) {
        SCOPED_TRACE(std::to_string(c.subscribed) + "/" + std::to_string(c.notification));
        content::fillLibrary({{.podcast = localPodcast({.key = "show"}), .subscribed = c.subscribed,
                               .notification = c.notification}});
        cell->update(OVTheme::light, mainColor);
        cell->update(OVMock::UserData::shared());
        show("library-row-buttons");
        const auto shownRows = rows();
        ASSERT_EQ(shownRows.size(), 1u);
        EXPECT_EQ(shownRows[0]->startNotificationButton()->isHidden(), c.startHidden);
        EXPECT_EQ(shownRows[0]->stopNotificationButton()->isHidden(), c.stopHidden);
    }
}

TEST_F(LibraryList, RowTextsTellTheDaysSinceTheNewestEpisode) {
    const auto dated = [](double daysAgo) { return content::episode({.key = "e", .publicationDate = content::daysAgo(daysAgo)}); };
    struct Case {
        std::string name;
        std::vector<std::shared_ptr<OVTrack>> tracks;
        std::string text;
    };
    const std::vector<Case> cases{
        {"hours", {dated(3), dated(0.25)}, localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_0")},
        {"one day", {dated(1.5)}, localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_1")},
        {"twelve days", {dated(12.9), dated(40)}, "Latest episode 12 days ago"},
        {"future", {dated(-2)}, ""},
        {"now", {dated(0)}, ""},
        {"one undated", {dated(0.5), content::episode({.key = "undated"})}, ""},
        {"no episode", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto podcast = localPodcast({.key = "show"});
        podcast.tracks = c.tracks;
        EXPECT_EQ(OVLibraryPodcastCellInteractor::lastEpisodeText(podcast), c.text);
    }
    // "#" is replaced wherever it stands.
    EXPECT_EQ(localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_N").find('#') != std::string::npos, true);

    // Shown by the row: the description's title (none without one), the same download line.
    auto untitled = localPodcast({.key = "plain", .described = false, .episodes = 1, .newest = content::daysAgo(12.2)});
    content::fillLibrary({{.podcast = untitled}});
    cell->update(OVTheme::light, mainColor);
    cell->update(OVMock::UserData::shared());
    show("library-row-texts");
    const auto row = rows().at(0);
    EXPECT_EQ(row->podcastTitleLabel()->text(), std::nullopt);
    EXPECT_EQ(row->lastEpisodeLabel()->text(), "Latest episode 12 days ago");
    EXPECT_EQ(row->downloadedLabel()->text(), localized("LIBRARY_PODCASTS_CELL_DOWNLOAD_INFO_0"));
    EXPECT_EQ(row->stImageView()->url(), std::nullopt);
}

TEST_F(LibraryList, SwitchOffReportsAtOnceSwitchOnAfterThePopForThePodcastTapped) {
    content::fillLibrary({{.podcast = localPodcast({.key = "on"}), .subscribed = true, .notification = true,
                           .lastAction = content::daysAgo(1)},
                          {.podcast = localPodcast({.key = "off"}), .subscribed = true, .notification = false,
                           .lastAction = content::daysAgo(2)}});
    cell->update(OVTheme::light, mainColor);
    cell->update(OVMock::UserData::shared());
    show("library-row-switch");
    auto shownRows = rows();
    ASSERT_EQ(shownRows.size(), 2u);

    testsupport::tap(*shown->window, centreOf(*shownRows[0]->stopNotificationButton()));
    EXPECT_EQ(page->calls, (Calls{"didToggleNotification(on, false)"}));
    EXPECT_FALSE(shownRows[0]->startNotificationButton()->isHidden());
    EXPECT_TRUE(shownRows[0]->stopNotificationButton()->isHidden());

    page->calls.clear();
    testsupport::tap(*shown->window, centreOf(*shownRows[1]->startNotificationButton()));
    RunLoop::main().advance(0.3);
    EXPECT_TRUE(page->calls.empty());
    EXPECT_FALSE(shownRows[1]->startNotificationButton()->isHidden());
    RunLoop::main().advance(0.2);
    EXPECT_EQ(page->calls, (Calls{"didToggleNotification(off, true)"}));
    EXPECT_TRUE(shownRows[1]->startNotificationButton()->isHidden());
    EXPECT_FALSE(shownRows[1]->stopNotificationButton()->isHidden());

    // The row handed to another podcast during the pop still reports the
    // podcast tapped, and leaves the new podcast's buttons alone.
    page->calls.clear();
    testsupport::tap(*shown->window, centreOf(*shownRows[0]->startNotificationButton()));
    const auto other = localPodcast({.key = "other"});
    shownRows[0]->update(other, OVMock::UserData::shared());
    RunLoop::main().advance(0.5);
    EXPECT_EQ(page->calls, (Calls{"didToggleNotification(on, true)"}));
    EXPECT_TRUE(shownRows[0]->stopNotificationButton()->isHidden());
}

TEST_F(LibraryList, TheListAndItsRowsGoWithTheElement) {
    fillThree();
    cell->update(OVTheme::light, mainColor);
    cell->update(OVMock::UserData::shared());
    show("library-list-weak");
    // A switch-on in flight when everything goes away reports nothing.
    std::weak_ptr<OVLibraryPodcastCell> weakRow;
    {
        const auto row = rows().at(0);
        ASSERT_FALSE(row->startNotificationButton()->isHidden());
        weakRow = row;
        testsupport::tap(*shown->window, centreOf(*row->startNotificationButton()));
    }
    std::weak_ptr<OVLibraryPodcastsListCell> weakCell = cell;
    shown.reset();
    cell.reset();
    element.reset();
    EXPECT_TRUE(weakCell.expired());
    RunLoop::main().advance(1);
    EXPECT_TRUE(weakRow.expired());
    EXPECT_TRUE(page->calls.empty());
}

// The list with three podcasts in both looks.
TEST_F(LibraryList, Snapshot) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    for (const std::string key : {"ten", "noon", "eleven"})
        OVImageCache::cache(*Image::fromData(testimages::png(64, 64, static_cast<int>(key.size()) * 50)), key + ".jpg");
    fillThree();
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        cell->update(look.theme, look.mainColor);
        cell->update(OVMock::UserData::shared());
        const std::string name = look.name == "light" ? "library-list" : "library-list-" + look.name;
        show(name);
        ASSERT_TRUE(RunLoop::main().runUntil(
            [&] {
                for (const auto& row : rows())
                    if (!row->stImageView()->imageView()->image()) return false;
                return true;
            },
            10));
        RunLoop::main().advance(1);
        const auto image = shown->snapshot(name);
        ASSERT_TRUE(image);
        // The row's background is the theme's.
        const auto bg = look.theme.backgroundColor();
        const auto pixel = renderprobe::pixelAt(*image, 200, 105);
        EXPECT_TRUE(renderprobe::near(pixel, {static_cast<int>(bg.red * 255 + 0.5), static_cast<int>(bg.green * 255 + 0.5),
                                              static_cast<int>(bg.blue * 255 + 0.5), 255}, 4))
            << renderprobe::describe(pixel);
    }
}

}  // namespace
