// The episode row as its lists use it: made from its nib, dressed in the
// order the lists follow (theme, episode, then the rest), shown in a table
// of a window, and tapped through the window.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/text/Locale.hpp"
#include "platform/ui/text/TimeZone.hpp"
#include "support/ContentBuilders.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using platform::core::RunLoop;
using testsupport::Calls;
namespace content = testsupport::content;

// Artwork addresses on a closed local port: loads fail at once, without
// looking a host up.
std::string local(const std::string& path) { return "http://127.0.0.1:1/" + path; }

std::shared_ptr<OVTrack> localEpisode(content::Episode fields) {
    if (!fields.image) fields.image = local("art/" + fields.key + ".jpg");
    return content::episode(std::move(fields));
}

OVContent localPodcast(content::Podcast fields) {
    auto made = content::podcast(fields);
    if (made.description) made.description->image = local("covers/" + fields.key + ".jpg");
    return made;
}

// Pins the locale and time zone for one test.
struct PinnedLocale {
    PinnedLocale(const std::string& locale, const std::string& zone) {
        platform::ui::Locale::setCurrent(platform::ui::Locale{locale});
        platform::ui::TimeZone::setCurrent(platform::ui::TimeZone{zone});
    }
    ~PinnedLocale() {
        platform::ui::Locale::setCurrent(std::nullopt);
        platform::ui::TimeZone::setCurrent(std::nullopt);
    }
};

class EpisodeRow : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        OVElementNibs::registerAll();
        row = platform::ui::NibRegistry::shared().instantiateFirst<OVEpisodeTableViewCell>(
            std::string(OVEpisodeTableViewCell::ReuseIdentifier));
        ASSERT_NE(row, nullptr);
        page = OVPage::create<testsupport::RecordingPage>();
        row->setDelegate(std::static_pointer_cast<OVMainPageUserAction>(page));
    }

    // As a list dresses a row it hands out.
    void dress(const OVTrackInPodcast& pair, bool canBeSaved = true) {
        row->update(OVTheme::light, mainColor);
        row->update(pair);
        row->updateAuxiliaryViewIsHidden(false);
        row->updateEpisodeCanBeSaved(canBeSaved);
    }

    // The centre of a subview of the row, in the window.
    Point centreOf(const platform::ui::View& view) const {
        const auto bounds = view.bounds();
        return view.convertPoint({bounds.midX(), bounds.midY()}, shown->window.get());
    }

    void show(const std::string& name) { shown = testsupport::showCell(row, 351, name); }

    testsupport::TempDocuments documents;
    Color mainColor{0.10, 0.35, 0.85, 1};
    std::shared_ptr<OVEpisodeTableViewCell> row;
    std::shared_ptr<testsupport::RecordingPage> page;
    std::optional<testsupport::ShownCell> shown;
};

TEST_F(EpisodeRow, TheDateIsTheDayAndFullMonthOfTheLocaleUpperCased) {
    const struct {
        std::string locale, zone, month;
    } cases[] = {{"en_US", "America/New_York", "AUGUST"}, {"fr_FR", "Europe/Paris", "AOÛT"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        PinnedLocale pinned(c.locale, c.zone);
        // 23:30 UTC on the 14th is the 15th in Paris and still the 14th in New York.
        const auto published = platform::core::Date{1723678200};  // 2024-08-14T23:30:00Z
        const auto podcast = localPodcast({.key = "show"});
        dress(OVTrackInPodcast(localEpisode({.key = "e", .publicationDate = published}), podcast));
        const auto text = row->dateLabel()->text().value_or("");
        EXPECT_NE(text.find(c.month), std::string::npos) << text;
        EXPECT_NE(text.find(c.locale == "fr_FR" ? "15" : "14"), std::string::npos) << text;
        EXPECT_EQ(text, platform::ui::uppercased(text, platform::ui::Locale{c.locale}));
    }
    dress(OVTrackInPodcast(localEpisode({.key = "undated"}), localPodcast({})));
    EXPECT_EQ(row->dateLabel()->text().value_or(""), "");
}

TEST_F(EpisodeRow, ShowsTheEpisodeArtworkElseThePodcastsElseNone) {
    const auto withCover = localPodcast({.key = "covered"});
    const auto withoutCover = localPodcast({.key = "bare", .described = false});
    const struct {
        const char* name;
        std::optional<std::string> episodeImage;
        OVContent podcast;
        std::optional<std::string> expected;
    } cases[] = {
        {"episode art", local("art/e.jpg"), withCover, local("art/e.jpg")},
        {"no address, podcast cover", "not an address", withCover, local("covers/covered.jpg")},
        {"empty, podcast cover", "", withCover, local("covers/covered.jpg")},
        {"neither", "", withoutCover, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dress(OVTrackInPodcast(localEpisode({.key = "e", .image = c.episodeImage}), c.podcast));
        const auto& url = row->stImageView()->url();
        ASSERT_EQ(url.has_value(), c.expected.has_value());
        if (url) {
            EXPECT_EQ(url->absoluteString(), *c.expected);
        }
        // The podcast's name is its description's title.
        EXPECT_EQ(row->podcastLabel()->text(),
                  c.podcast.description ? c.podcast.description->title : std::optional<std::string>{});
    }
}

TEST_F(EpisodeRow, TheTitleTakesAtMostTwoLinesAndItsHeightAtMostForty) {
    show("episode-row-title");
    const auto podcast = localPodcast({.key = "show"});
    dress(OVTrackInPodcast(localEpisode({.key = "short", .title = "Short"}), podcast));
    shown->window->layoutIfNeeded();
    shown->window->layoutIfNeeded();
    const double oneLine = row->episodeTextViewHeighConstraint()->constant();
    EXPECT_GT(oneLine, 10);
    EXPECT_LE(oneLine, 20);
    EXPECT_EQ(row->episodeTextView()->frame().size.height, oneLine);

    const std::string longTitle(40, 'w');
    dress(OVTrackInPodcast(localEpisode({.key = "long", .title = longTitle + " " + longTitle + " " + longTitle}),
                           podcast));
    shown->window->layoutIfNeeded();
    const double twoLines = row->episodeTextViewHeighConstraint()->constant();
    EXPECT_NEAR(twoLines, 2 * oneLine, 1);
    EXPECT_LE(twoLines, OVEpisodeTableViewCell::maximumEpisodeTextViewHeight);
    EXPECT_EQ(row->episodeTextView()->frame().size.height, twoLines);
    EXPECT_EQ(row->episodeTextView()->maximumNumberOfLines(), 2);
    EXPECT_EQ(row->episodeTextView()->lineBreakMode(), platform::ui::LineBreakMode::byTruncatingTail);
}

TEST_F(EpisodeRow, OnlyTheSameEpisodeOfTheSamePodcastIsCurrent) {
    const auto podcast = localPodcast({.key = "show"});
    const auto other = localPodcast({.key = "other"});
    const auto episode = localEpisode({.key = "e"});
    const auto sameKey = localEpisode({.key = "e", .title = "Another copy"});
    const struct {
        const char* name;
        std::shared_ptr<OVTrack> current;
        OVContent currentPodcast;
        bool isCurrent;
    } cases[] = {
        {"same episode", episode, podcast, true},
        {"same key, same podcast", sameKey, podcast, true},
        {"same key, another podcast", sameKey, other, false},
        {"another episode", localEpisode({.key = "f"}), podcast, false},
        {"no episode", nullptr, podcast, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dress(OVTrackInPodcast(episode, podcast));
        row->update(c.current, c.currentPodcast);
        EXPECT_EQ(row->imageOverlay()->isHidden(), !c.isCurrent);
        EXPECT_EQ(row->equalizerAnimationView()->isHidden(), !c.isCurrent);
    }
}

TEST_F(EpisodeRow, TheEqualizerMovesOnlyWhilePlaying) {
    dress(OVTrackInPodcast(localEpisode({.key = "e"}), localPodcast({})));
    const auto moving = [&] {
        for (const auto& bar : row->equalizerAnimationView()->rectLayers())
            if (!bar->animationKeys().empty()) return true;
        return false;
    };
    for (const auto& [status, expected] : std::vector<std::pair<OVAudioPlayerStatus, bool>>{
             {OVAudioPlayerStatus::playing, true},
             {OVAudioPlayerStatus::loading, false},
             {OVAudioPlayerStatus::playing, true},
             {OVAudioPlayerStatus::paused, false}}) {
        row->update(status);
        EXPECT_EQ(moving(), expected) << static_cast<int>(status);
    }
}

TEST_F(EpisodeRow, TheSaveAreaAndButtonFollowTheList) {
    dress(OVTrackInPodcast(localEpisode({.key = "e"}), localPodcast({})), false);
    EXPECT_TRUE(row->saveButton()->isHidden());
    EXPECT_EQ(row->auxiliaryViewWidthConstraint()->constant(), 32);
    row->updateAuxiliaryViewIsHidden(true);
    EXPECT_EQ(row->auxiliaryViewWidthConstraint()->constant(), 0);
    row->updateEpisodeCanBeSaved(true);
    EXPECT_FALSE(row->saveButton()->isHidden());
}

TEST_F(EpisodeRow, DetailsReportTheEpisodeShownAtOnce) {
    show("episode-row-details");
    testsupport::tap(*shown->window, centreOf(*row->detailsButton()));
    EXPECT_TRUE(page->calls.empty());  // nothing shown yet, nothing to report

    dress(OVTrackInPodcast(localEpisode({.key = "e"}), localPodcast({.key = "show"})));
    shown->window->layoutIfNeeded();
    EXPECT_EQ(row->detailsButton()->currentTitle(), localized("EPISODE_CELL_DETAILS"));
    testsupport::tap(*shown->window, centreOf(*row->detailsButton()));
    EXPECT_EQ(page->calls, (Calls{"didTapForDetails(e in show)"}));
}

TEST_F(EpisodeRow, ASaveAfterThePopReportsTheEpisodeTappedOnce) {
    show("episode-row-save");
    const auto podcast = localPodcast({.key = "show"});
    dress(OVTrackInPodcast(localEpisode({.key = "tapped"}), podcast));
    shown->window->layoutIfNeeded();
    ASSERT_FALSE(row->saveButton()->isHidden());
    testsupport::tap(*shown->window, centreOf(*row->saveButton()));
    RunLoop::main().advance(0.2);
    EXPECT_TRUE(page->calls.empty());
    EXPECT_FALSE(row->saveButton()->isHidden());
    // The row is handed out for another episode while the button pops.
    dress(OVTrackInPodcast(localEpisode({.key = "reused"}), localPodcast({.key = "elsewhere"})));
    RunLoop::main().advance(0.25);
    EXPECT_EQ(page->calls, (Calls{"didSave(tapped in show)"}));
    EXPECT_TRUE(row->saveButton()->isHidden());
    RunLoop::main().advance(1);
    EXPECT_EQ(page->calls.size(), 1u);
}

TEST_F(EpisodeRow, ASaveWithoutDelegateStillPopsAndHidesTheButton) {
    show("episode-row-save-alone");
    dress(OVTrackInPodcast(localEpisode({.key = "e"}), localPodcast({})));
    shown->window->layoutIfNeeded();
    const auto centre = centreOf(*row->saveButton());
    page.reset();
    testsupport::tap(*shown->window, centre);
    RunLoop::main().advance(0.5);
    EXPECT_TRUE(row->saveButton()->isHidden());
}

TEST_F(EpisodeRow, ARowAndItsPresenterDoNotKeepEachOtherAlive) {
    std::weak_ptr<OVEpisodeTableViewCell> weak = row;
    dress(OVTrackInPodcast(localEpisode({.key = "e"}), localPodcast({})));
    row.reset();
    EXPECT_TRUE(weak.expired());
}

}  // namespace
