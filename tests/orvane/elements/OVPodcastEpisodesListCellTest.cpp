// The podcast page's episode list as the page uses it: the element made
// with its page, given the theme, the player's state and the podcast (with
// the listener's library), shown in a window and driven through it: row
// taps, save taps, long presses and the page's confirmations.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
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
using Section = OVPodcastEpisodesListCell::Section;

// A page that notes how many rows the saved section had when it heard of a save.
struct SavePage : testsupport::RecordingPage {
    using RecordingPage::RecordingPage;
    std::weak_ptr<OVPodcastEpisodesListCell> list;
    std::optional<int> savedRowsAtSave;
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override {
        if (const auto cell = list.lock()) savedRowsAtSave = cell->tableView()->numberOfRows(0);
        RecordingPage::didSave(episode, inPodcast);
    }
};

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

class PodcastEpisodesList : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        content::fillLibrary({});
        page = OVPage::create<SavePage>();
        element = OVPageElement::create<OVPageElement::EpisodesList>(nullptr, page);
        ASSERT_NE(element, nullptr);
        cell = element->tableViewCell();
        ASSERT_NE(cell, nullptr);
        cell->setDelegate(std::static_pointer_cast<OVPodcastPageUserAction>(page));
        page->list = cell;
        podcast = localPodcast({.key = "show", .episodes = 3, .newest = content::date("2024-08-15")});
        cell->update(OVTheme::light, Color{0.1, 0.35, 0.85, 1});
    }
    void TearDown() override { content::fillLibrary({}); }

    std::shared_ptr<OVTrack> track(int number) const { return (*podcast.tracks)[static_cast<std::size_t>(number - 1)]; }
    void save(int number) { content::fillLibrary({{.podcast = podcast, .savedEpisodes = {track(number)}}}); }
    bool librarySaves(int number) const {
        const auto& library = OVMock::UserData::shared().library();
        const auto entry = library.find(podcast);
        if (entry == library.end()) return false;
        for (const auto& saved : entry->second.savedEpisodes)
            if (saved->key() == track(number)->key()) return true;
        return false;
    }

    std::shared_ptr<OVEpisodeTableViewCell> row(int section, int index) const {
        return std::dynamic_pointer_cast<OVEpisodeTableViewCell>(
            cell->tableView()->cellForRow(IndexPath::forRow(index, section)));
    }
    // The episode keys shown in a section, top to bottom.
    std::vector<std::string> shownKeys(int section) const {
        std::vector<std::string> keys;
        for (int i = 0; i < cell->tableView()->numberOfRows(section); ++i) {
            const auto shownRow = row(section, i);
            keys.push_back(shownRow ? shownRow->episodeTextView()->text() : "<none>");
        }
        return keys;
    }
    std::string title(const std::string& key) const {
        for (const auto& t : *podcast.tracks)
            if (t->key() == key) return t->title();
        return key;
    }
    std::vector<std::string> titles(std::initializer_list<const char*> keys) const {
        std::vector<std::string> list;
        for (const auto* key : keys) list.push_back(title(key));
        return list;
    }
    std::string headerText(Section section) const {
        const auto text = cell->header(section)->label()->attributedText();
        return text ? text->string() : "";
    }
    double headerHeight(int section) const { return cell->tableView()->rectForHeaderInSection(section).size.height; }
    Point centreOf(const IndexPath& indexPath) const {
        const auto rect = cell->tableView()->rectForRow(indexPath);
        return cell->tableView()->convertPoint({rect.midX(), rect.midY()}, shown->window.get());
    }
    Point centreOf(const platform::ui::View& view) const {
        return view.convertPoint({view.bounds().midX(), view.bounds().midY()}, shown->window.get());
    }
    void show(const std::string& name) { shown = testsupport::showCell(cell, 375, name); }

    testsupport::TempDocuments documents;
    std::shared_ptr<SavePage> page;
    std::shared_ptr<OVPageElement::EpisodesList> element;
    std::shared_ptr<OVPodcastEpisodesListCell> cell;
    OVContent podcast;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(PodcastEpisodesList, TheLibrarySplitsThePodcastIntoTwoDatedSections) {
    struct Case {
        std::string name;
        std::optional<int> saved;
        std::vector<std::string> savedKeys, otherKeys;
        std::string savedHeader, otherHeader;
    };
    const std::vector<Case> cases{
        {"nothing saved", std::nullopt, {}, {"show-1", "show-2", "show-3"}, "",
         localized("PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_1")},
        {"the second saved", 2, {"show-2"}, {"show-1", "show-3"},
         localized("PODCAST_EPISODES_LIST_PAGE_ELEMENT_SAVED_EPISODES_HEADER"),
         localized("PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_2")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.saved) save(*c.saved);
        cell->update(podcast);
        EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 514);
        show("podcast-episodes-list-" + std::to_string(c.saved.value_or(0)));
        EXPECT_EQ(cell->tableView()->frame().size.height, 514);
        std::vector<std::string> savedTitles, otherTitles;
        for (const auto& key : c.savedKeys) savedTitles.push_back(title(key));
        for (const auto& key : c.otherKeys) otherTitles.push_back(title(key));
        EXPECT_EQ(shownKeys(0), savedTitles);
        EXPECT_EQ(shownKeys(1), otherTitles);
        EXPECT_EQ(headerText(Section::savedEpisodes), c.savedHeader);
        EXPECT_EQ(headerText(Section::otherEpisodes), c.otherHeader);
        EXPECT_EQ(headerHeight(0), c.savedHeader.empty() ? 0 : 47);
        EXPECT_EQ(headerHeight(1), 47);
        // Saved rows hide their save button; the others show it.
        for (int s = 0; s < 2; ++s)
            for (int i = 0; i < cell->tableView()->numberOfRows(s); ++i)
                EXPECT_EQ(row(s, i)->saveButton()->isHidden(), s == 0) << s << "," << i;
    }
}

TEST_F(PodcastEpisodesList, EdgeListsAndUnthemedRows) {
    // No episodes: both headers counted in the height, neither shown.
    cell->update(localPodcast({.key = "empty"}));
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 94);
    show("podcast-episodes-list-empty");
    EXPECT_EQ(headerHeight(0), 0);
    EXPECT_EQ(headerHeight(1), 0);
    // An undated unsaved episode empties the other section; a saved episode
    // the podcast no longer lists is still in the saved one.
    auto gone = content::podcast({.key = "old", .episodes = 1, .newest = content::date("2020-01-01")});
    podcast.tracks->push_back(content::podcast({.key = "undated", .episodes = 1}).tracks->front());
    content::fillLibrary({{.podcast = podcast, .savedEpisodes = {(*gone.tracks)[0]}}});
    cell->update(podcast);
    shown->window->layoutIfNeeded();
    EXPECT_EQ(cell->tableView()->numberOfRows(0), 1);
    EXPECT_EQ(cell->tableView()->numberOfRows(1), 0);
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 234);

    // Before the first theme, rows are plain cells.
    const auto bareElement = OVPageElement::create<OVPageElement::EpisodesList>(nullptr, page);
    auto bare = bareElement->tableViewCell();
    bare->update(podcast);
    auto bareShown = testsupport::showCell(bare, 375, "podcast-episodes-list-unthemed");
    EXPECT_EQ(bare->tableView()->visibleCells().size(), 1u);
    EXPECT_FALSE(std::dynamic_pointer_cast<OVEpisodeTableViewCell>(bare->tableView()->visibleCells()[0]));
}

TEST_F(PodcastEpisodesList, ASaveTellsThePageFirstThenMovesTheRowToItsDate) {
    save(1);
    cell->update(podcast);
    show("podcast-episodes-list-save");
    const auto tapped = row(1, 1);  // show-3, the oldest
    ASSERT_EQ(tapped->episodeTextView()->text(), title("show-3"));
    const auto stays = row(1, 0);
    testsupport::tap(*shown->window, centreOf(*tapped->saveButton()));
    // The button's pop, then the rows' move.
    RunLoop::main().advance(1);
    EXPECT_EQ(page->calls, (Calls{"didSave(show-3 in show)"}));
    EXPECT_EQ(page->savedRowsAtSave, 1);
    // The same row moved (a refused batch would have reloaded instead).
    EXPECT_EQ(row(0, 1), tapped);
    EXPECT_EQ(row(1, 0), stays);
    EXPECT_EQ(shownKeys(0), titles({"show-1", "show-3"}));
    EXPECT_EQ(shownKeys(1), titles({"show-2"}));
    EXPECT_EQ(cell->tableviewHeightConstraint()->constant(), 514);
    // The list never writes the library on a save: the page does.
    EXPECT_FALSE(librarySaves(3));

    // Saving the last other episode empties that section's header.
    shown->window->layoutIfNeeded();
    testsupport::tap(*shown->window, centreOf(*row(1, 0)->saveButton()));
    RunLoop::main().advance(0.5);
    shown->window->layoutIfNeeded();
    EXPECT_EQ(shownKeys(0), titles({"show-1", "show-2", "show-3"}));
    EXPECT_EQ(headerText(Section::otherEpisodes), "");
    EXPECT_EQ(headerHeight(1), 0);
}

TEST_F(PodcastEpisodesList, ALongPressOnASavedRowAsksOnceAndRemovesOnlyOnConfirmation) {
    save(2);
    cell->update(podcast);
    show("podcast-episodes-list-press");
    // Too short (the table takes it as a tap on the row), or on an unsaved
    // row: nothing is asked.
    testsupport::longPress(*shown->window, centreOf(IndexPath::forRow(0, 0)), 0.5);
    testsupport::longPress(*shown->window, centreOf(IndexPath::forRow(1, 1)), 1.2);
    for (const auto& call : page->calls) EXPECT_EQ(call.rfind("didLongPress", 0), std::string::npos) << call;
    EXPECT_TRUE(page->executeActions.empty());
    page->calls.clear();

    const auto pressed = row(0, 0);
    testsupport::longPress(*shown->window, centreOf(IndexPath::forRow(0, 0)), 1.2);
    EXPECT_EQ(page->calls, (Calls{"didLongPress(show-2 in show)"}));
    ASSERT_EQ(page->executeActions.size(), 1u);
    // Asking deletes nothing; a cancel (the action never runs) changes nothing.
    EXPECT_TRUE(librarySaves(2));
    EXPECT_EQ(shownKeys(0), titles({"show-2"}));

    page->executeActions[0]();
    EXPECT_FALSE(librarySaves(2));
    EXPECT_EQ(row(1, 1), pressed);
    EXPECT_FALSE(pressed->saveButton()->isHidden());
    EXPECT_EQ(cell->tableView()->numberOfRows(0), 0);
    EXPECT_EQ(shownKeys(1), titles({"show-1", "show-2", "show-3"}));
    EXPECT_EQ(headerText(Section::otherEpisodes),
              localized("PODCAST_EPISODES_LIST_PAGE_ELEMENT_OTHER_EPISODES_HEADER_1"));

    // A stale confirmation (run twice) moves and deletes nothing.
    save(2);
    page->executeActions[0]();
    EXPECT_TRUE(librarySaves(2));
    EXPECT_EQ(shownKeys(1), titles({"show-1", "show-2", "show-3"}));
}

TEST_F(PodcastEpisodesList, AConfirmationAfterARebuildFindsTheEpisodeByKey) {
    save(2);
    cell->update(podcast);
    show("podcast-episodes-list-rebuild");
    testsupport::longPress(*shown->window, centreOf(IndexPath::forRow(0, 0)), 1.2);
    ASSERT_EQ(page->executeActions.size(), 1u);
    // The library changed meanwhile: show-1 is saved as well, listed first.
    content::fillLibrary({{.podcast = podcast, .savedEpisodes = {track(2), track(1)}}});
    cell->update(podcast);
    shown->window->layoutIfNeeded();
    page->executeActions[0]();
    EXPECT_EQ(shownKeys(0), titles({"show-1"}));
    EXPECT_EQ(shownKeys(1), titles({"show-2", "show-3"}));
    EXPECT_TRUE(librarySaves(1));
    EXPECT_FALSE(librarySaves(2));

    // Gone from the list entirely: nothing.
    testsupport::longPress(*shown->window, centreOf(IndexPath::forRow(0, 0)), 1.2);
    ASSERT_EQ(page->executeActions.size(), 2u);
    content::fillLibrary({});
    cell->update(podcast);
    page->executeActions[1]();
    shown->window->layoutIfNeeded();
    EXPECT_EQ(cell->tableView()->numberOfRows(0), 0);
    EXPECT_EQ(cell->tableView()->numberOfRows(1), 3);
}

TEST_F(PodcastEpisodesList, PlayerStateReachesEveryRowIncludingLaterOnes) {
    // Given before the podcast: applied to the rows handed out afterwards.
    cell->update(OVAudioPlayerStatus::playing);
    cell->update(track(2), podcast);
    cell->update(podcast);
    show("podcast-episodes-list-player");
    const auto moving = [](const OVEpisodeTableViewCell& r) {
        for (const auto& bar : r.equalizerAnimationView()->rectLayers())
            if (!bar->animationKeys().empty()) return true;
        return false;
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(row(1, i)->equalizerAnimationView()->isHidden(), i != 1);
        if (i == 1) {
            EXPECT_TRUE(moving(*row(1, i)));
        }
    }
    // Later changes reach the rows shown.
    cell->update(track(3), podcast);
    cell->update(OVAudioPlayerStatus::paused);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(row(1, i)->equalizerAnimationView()->isHidden(), i != 2) << i;
    EXPECT_FALSE(moving(*row(1, 2)));
    // A row tap reports its episode and leaves no selection.
    testsupport::tap(*shown->window, centreOf(IndexPath::forRow(0, 1)));
    EXPECT_EQ(page->calls, (Calls{"didSelectEpisode(show-1 in show)"}));
    EXPECT_FALSE(cell->tableView()->indexPathForSelectedRow());
}

TEST_F(PodcastEpisodesList, SnapshotWithBothSections) {
    save(2);
    cell->update(track(1), podcast);
    cell->update(podcast);
    show("podcast-episodes-list-both");
    EXPECT_EQ(headerHeight(0), 47);
    EXPECT_EQ(headerHeight(1), 47);
    EXPECT_EQ(cell->frame().size.height, 514);
}

}  // namespace
