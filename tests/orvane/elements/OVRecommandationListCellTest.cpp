// The main page's recommendation list as the page uses it: the element made
// with its page and coordinator, given the theme, lists of recommended
// episodes, shown in a window and tapped through it. Its rows carry the
// episode, the save area and the page as delegate, and nothing of the
// current episode, the player or downloads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/OVDownloadTrackView.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
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

// A podcast whose artwork addresses are on a closed local port: loads fail
// at once, without looking a host up (the snapshot serves them from the
// image cache).
OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    made.description->image = "http://127.0.0.1:1/covers/" + made.identifier + ".jpg";
    for (const auto& track : made.tracks.value_or(std::vector<std::shared_ptr<OVTrack>>{})) {
        auto description = track->description().value_or(OVObjDescription{});
        description.image = "http://127.0.0.1:1/art/" + track->key() + ".jpg";
        track->setDescription(description);
    }
    return made;
}

class RecommendationList : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        coordinator = testsupport::RecordingCoordinator::create();
        page = OVPage::create<testsupport::RecordingPage>();
        element = OVPageElement::create<OVPageElement::RecommandationList>(coordinator, page);
        ASSERT_NE(element, nullptr);
        cell = element->tableViewCell();
        ASSERT_NE(cell, nullptr);
        cell->setCoordinator(coordinator);
        cell->setDelegate(std::static_pointer_cast<OVMainPageUserAction>(page));
        podcast = localPodcast({.key = "show", .episodes = 3, .newest = content::date("2024-08-15")});
    }

    std::vector<std::shared_ptr<OVEpisodeTableViewCell>> rows() const {
        std::vector<std::shared_ptr<OVEpisodeTableViewCell>> list;
        for (const auto& row : cell->tableView()->visibleCells())
            if (auto episodeRow = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(row)) list.push_back(episodeRow);
        return list;
    }

    // The centre of a row of the inner table, in the window.
    Point centreOfRow(int row) const {
        const auto rect = cell->tableView()->rectForRow(IndexPath::forRow(row, 0));
        return cell->tableView()->convertPoint({rect.midX(), rect.midY()}, shown->window.get());
    }

    void show(const std::string& name) { shown = testsupport::showCell(cell, 375, name); }

    static bool holdsDownloadView(const platform::ui::View& view) {
        for (const auto& sub : view.subviews())
            if (std::dynamic_pointer_cast<OVDownloadTrackView>(sub) || holdsDownloadView(*sub)) return true;
        return false;
    }

    testsupport::TempDocuments documents;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::shared_ptr<OVPageElement::RecommandationList> element;
    std::shared_ptr<OVRecommandationListCell> cell;
    OVContent podcast;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(RecommendationList, ThreePairsGiveThreeRowsInOrderAndHeight434) {
    cell->update(OVTheme::light, Color{0.1, 0.35, 0.85, 1});
    cell->update(content::pairs(podcast));
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 434);
    show("recommendation-list-three");
    EXPECT_EQ(cell->headerLabel()->text(), localized("RECOMMENDATION_LIST_CELL_HEADER"));
    EXPECT_EQ(cell->tableView()->frame().size.height, 434);
    const auto shownRows = rows();
    ASSERT_EQ(shownRows.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto& row = shownRows[static_cast<std::size_t>(i)];
        EXPECT_EQ(cell->tableView()->indexPathForCell(*row), IndexPath::forRow(i, 0));
        EXPECT_EQ(row->episodeTextView()->text(), (*podcast.tracks)[static_cast<std::size_t>(i)]->title());
        EXPECT_EQ(cell->tableView()->rectForRow(IndexPath::forRow(i, 0)).size.height, 145);
        // Every row shows its save area and may be saved; none is marked as
        // the current episode, and none has a download control.
        EXPECT_EQ(row->auxiliaryViewWidthConstraint()->constant(), 32);
        EXPECT_FALSE(row->saveButton()->isHidden());
        EXPECT_TRUE(row->imageOverlay()->isHidden());
        EXPECT_TRUE(row->equalizerAnimationView()->isHidden());
        EXPECT_FALSE(holdsDownloadView(*row));
    }
    // The list takes a download tap and does nothing with it.
    cell->didTapDownload((*podcast.tracks)[0]);
    EXPECT_TRUE(coordinator->calls.empty());
}

TEST_F(RecommendationList, RowsBeforeTheThemeAreBlankAndAnEmptyListHasNoHeight) {
    cell->update(content::pairs(podcast));
    show("recommendation-list-unthemed");
    EXPECT_EQ(cell->tableView()->visibleCells().size(), 3u);
    EXPECT_TRUE(rows().empty());

    cell->update(std::vector<OVTrackInPodcast>{});
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 0);
    shown->window->layoutIfNeeded();
    EXPECT_EQ(cell->tableView()->numberOfRows(0), 0);
    EXPECT_TRUE(cell->tableView()->visibleCells().empty());
}

TEST_F(RecommendationList, SelectingTheSecondRowDeselectsItAndReportsTheSecondPair) {
    cell->update(OVTheme::light, Color{0.1, 0.35, 0.85, 1});
    cell->update(content::pairs(podcast));
    show("recommendation-list-select");
    testsupport::tap(*shown->window, centreOfRow(1));
    EXPECT_EQ(page->calls, (Calls{"didSelectEpisode(show-2 in show)"}));
    EXPECT_FALSE(cell->tableView()->indexPathForSelectedRow());

    // A row's own buttons reach the page directly.
    const auto& details = *rows()[2]->detailsButton();
    testsupport::tap(*shown->window, details.convertPoint({details.bounds().midX(), details.bounds().midY()}, shown->window.get()));
    EXPECT_EQ(page->calls.back(), "didTapForDetails(show-3 in show)");
    EXPECT_EQ(page->calls.size(), 2u);

    // Without a delegate the row is still deselected and nothing is sent.
    page->calls.clear();
    cell->setDelegate({});
    testsupport::tap(*shown->window, centreOfRow(0));
    EXPECT_TRUE(page->calls.empty());
    EXPECT_FALSE(cell->tableView()->indexPathForSelectedRow());
}

TEST_F(RecommendationList, AShorterListReloadsTheRowsWithoutOverrun) {
    cell->update(OVTheme::light, Color{0.1, 0.35, 0.85, 1});
    cell->update(content::pairs(podcast));
    show("recommendation-list-before-shrink");
    ASSERT_EQ(rows().size(), 3u);

    const auto other = localPodcast({.key = "next", .episodes = 1, .newest = content::date("2024-09-01")});
    cell->update(content::pairs(other));
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 144);
    shown->window->layoutIfNeeded();
    const auto shownRows = rows();
    ASSERT_EQ(shownRows.size(), 1u);
    EXPECT_EQ(shownRows.front()->episodeTextView()->text(), (*other.tracks)[0]->title());
    // The rows that are gone answer nothing.
    cell->didSelectRow(*cell->tableView(), IndexPath::forRow(2, 0));
    EXPECT_TRUE(page->calls.empty());
    EXPECT_EQ(cell->tableView()->dataSource()->numberOfRows(*cell->tableView(), 0), 1);
}

TEST_F(RecommendationList, AThemeRestylesTheListAtOnce) {
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        cell->update(look.theme, look.mainColor);
        EXPECT_EQ(cell->contentView()->backgroundColor(), look.theme.backgroundColor());
        EXPECT_EQ(cell->headerLabel()->textColor(), look.theme.cellHeaderFontColor());
        EXPECT_EQ(cell->tableView()->separatorColor(), look.theme.separatorColor());
    }
}

TEST_F(RecommendationList, TheCellAndItsPresenterDoNotKeepEachOtherAlive) {
    cell->update(OVTheme::light, Color{0.1, 0.35, 0.85, 1});
    cell->update(content::pairs(podcast));
    std::weak_ptr<OVRecommandationListCell> weak = cell;
    cell.reset();
    element.reset();
    EXPECT_TRUE(weak.expired());
}

// The list with three rows in both looks: an episode, its date, artwork,
// podcast, details and save button, and nothing to the right of the details
// button.
TEST_F(RecommendationList, Snapshot) {
    orvane::installLayerHooks();  // the image cache as the toolkit's image store
    for (int i = 1; i <= 3; ++i)
        OVImageCache::cache(*Image::fromData(testimages::png(64, 64, 40 * i)), "show-" + std::to_string(i) + ".jpg");
    const auto& tracks = *podcast.tracks;
    tracks[0]->setTitle("How a small newsroom covers a very large city, every single night of the week");
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        cell->update(look.theme, look.mainColor);
        cell->update(content::pairs(podcast));
        const std::string name = look.name == "light" ? "recommendation-list" : "recommendation-list-" + look.name;
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
        // At the right of each row, level with its details button, the list's
        // background shows.
        const auto background = look.theme.backgroundColor();
        for (const auto& row : rows()) {
            const auto& details = *row->detailsButton();
            const auto& content = *row->contentView();
            const double y = details.convertPoint({0, details.bounds().midY()}, shown->window.get()).y;
            const double x = content.convertPoint({content.bounds().maxX() - 28, 0}, shown->window.get()).x;
            const auto pixel = renderprobe::pixelAt(*image, x, y);
            EXPECT_TRUE(renderprobe::near(pixel, {static_cast<int>(background.red * 255 + 0.5),
                                                  static_cast<int>(background.green * 255 + 0.5),
                                                  static_cast<int>(background.blue * 255 + 0.5), 255}, 8))
                << renderprobe::describe(pixel);
        }
    }
}

}  // namespace
