// The episode page as a listener uses it, on a screen of a recording root
// container in a window: its three rows for the displayed episode, the play
// element following the current episode (compared by key) and the player
// status, play taking the listener back to the main screen and then
// selecting the episode (heard by the widget itself), the header's podcast
// link, and partners that are gone.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVEpisodePageInteractorInput.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/pages/OVPodcastPageInteractor.hpp"
#include "support/widget/WidgetPage.hpp"
#include "PodcastEpisodePageKit.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;
using platform::core::RunLoop;
using testsupport::Calls;
namespace content = testsupport::content;

// Notes, with each selection, what the root container had been asked by then.
class OrderCoordinator : public testsupport::RecordingCoordinator {
public:
    std::shared_ptr<testsupport::RecordingFanViewController> fan;
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override {
        RecordingCoordinator::didSelectEpisode(trackInPodcast);
        calls.push_back("after " + std::to_string(fan ? fan->calls.size() : 0) + " container call(s)");
    }
};

class EpisodePageTest : public ::testing::Test {
protected:
    // The widget's podcast "content-0" and one of its episodes, as other
    // objects than the state's own.
    OVTrackInPodcast displayed(const std::string& key) const {
        auto podcast = content::podcast({.key = "content-0", .title = "Podcast 0"});
        pagekit::localArtwork(podcast);
        return OVTrackInPodcast(
            content::episode({.key = key, .title = "Shown " + key, .image = "http://127.0.0.1:1/art/" + key + ".jpg"}),
            podcast);
    }
    // `upToDate`: brought up to date first, as the main and podcast pages'
    // presenters do; the discover page's presenter does not.
    void open(std::shared_ptr<OVPageCoordinator> with, std::optional<OVTrackInPodcast> episode,
              bool fromPodcastPage = false, bool upToDate = true) {
        coordinator = std::move(with);
        auto page = OVPage::create<OVEpisodePage>(coordinator);
        if (upToDate) page->updateWithCurrentState();
        if (episode) page->update(*episode);
        if (fromPodcastPage) page->updateOpenPodcastPageIsEnabled(false);
        shown.emplace(page, platform::graphics::Size{375, 1000});
    }
    const std::shared_ptr<OVEpisodePage>& page() const { return shown->page; }
    template <class Cell>
    std::shared_ptr<Cell> cell(std::size_t row) const {
        const auto& elements = page()->interactor()->pageElements();
        return row < elements.size() ? std::dynamic_pointer_cast<Cell>(elements[row]->elementTableViewCell()) : nullptr;
    }
    std::shared_ptr<OVEpisodePlayCell> play() const { return cell<OVEpisodePlayCell>(1); }
    // "play", "restart" (the button's title) or "info" (the label in its place).
    std::string playShows() const {
        if (play()->playButton()->isHidden()) return play()->infoLabel()->isHidden() ? "nothing" : "info";
        const auto title = play()->playButton()->title(ControlState::normal).value_or("");
        if (title == localized("EPISODE_PLAY_PAGE_ELEMENT_PLAY")) return "play";
        if (title == localized("EPISODE_PLAY_PAGE_ELEMENT_RESTART")) return "restart";
        return "title " + title;
    }

    pagekit::Setting setting;
    std::shared_ptr<OVPageCoordinator> coordinator;
    std::optional<pagekit::Shown<OVEpisodePage>> shown;
};

TEST_F(EpisodePageTest, ThreeRowsShowTheDisplayedEpisodeInFull) {
    pagekit::deliver(pagekit::state({}));
    auto episode = displayed("ep-0-2");
    episode.track->setDescription(OVObjDescription{
        "Shown ep-0-2",
        "<p>A long walk along the river, from the old mill to the harbour, with the people who live by the water and "
        "remember how it flooded, how it froze and how it carried the town's trade for three centuries.</p>"
        "<p>Recorded over four seasons.</p>",
        "http://127.0.0.1:1/art/ep-0-2.jpg"});
    for (const bool upToDate : {true, false}) {
        SCOPED_TRACE(upToDate);
        open(testsupport::RecordingCoordinator::create(), episode, false, upToDate);
        EXPECT_EQ(page()->title(), localized("EPISODE_PAGE_TITILE"));
        ASSERT_EQ(page()->tableView()->numberOfRows(0), 3);
        EXPECT_EQ(page()->tableView()->visibleCells().size(), 3u);
        const auto header = cell<OVContentIdentityCell>(0);
        ASSERT_NE(header, nullptr);
        ASSERT_NE(play(), nullptr);
        const auto description = cell<OVDescriptionTextTableViewCell>(2);
        ASSERT_NE(description, nullptr);
        EXPECT_EQ(header->titleLabel()->text(), "Shown ep-0-2");
        EXPECT_TRUE(header->subTitleLabel()->isUserInteractionEnabled());
        EXPECT_TRUE(description->separatorIsHidden());
        EXPECT_NE(description->textView()->text().find("Recorded over four seasons."), std::string::npos);
        EXPECT_TRUE(description->expandTextButton()->isHidden()) << "the description is always developed";
        EXPECT_GT(description->textViewHeightConstraint()->constant(), OVDescriptionTextTableViewCell::collapsedHeight);
        EXPECT_EQ(page()->tableView()->contentInset().bottom, 140) << "room for the footer player";
        EXPECT_TRUE(shown->fan->screens.front()->navigationBarIsDisplayed());
        EXPECT_EQ(playShows(), "play");
        shown.reset();
    }
}

TEST_F(EpisodePageTest, ThePlayElementComparesTheCurrentEpisodeByKey) {
    struct Case {
        std::string name;
        std::optional<pagekit::StateSpec> state;  // none: no state yet
        std::string displayedKey;
        std::string shows;
    };
    const std::vector<Case> cases{
        {"the current episode, another object, playing", pagekit::StateSpec{}, "ep-0-0", "info"},
        {"the current episode, loading", pagekit::StateSpec{.status = "loading"}, "ep-0-0", "info"},
        {"the current episode, paused", pagekit::StateSpec{.status = "paused"}, "ep-0-0", "restart"},
        {"another episode, playing", pagekit::StateSpec{}, "ep-0-1", "play"},
        {"no current episode, paused", pagekit::StateSpec{.track = std::nullopt, .status = "paused"}, "ep-0-0",
         "play"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.state) pagekit::deliver(pagekit::state(*c.state));
        open(testsupport::RecordingCoordinator::create(), displayed(c.displayedKey));
        EXPECT_EQ(playShows(), c.shows);
        shown.reset();
    }

    // The current episode becomes the displayed one: told without a new status.
    pagekit::deliver(pagekit::state({.track = "ep-0-1", .status = "playing"}));
    open(testsupport::RecordingCoordinator::create(), displayed("ep-0-0"));
    EXPECT_EQ(playShows(), "play");
    pagekit::deliver(pagekit::state({.track = "ep-0-0", .status = "playing"}));
    EXPECT_EQ(playShows(), "info");
    // Another key is another episode; an episode of another podcast with
    // the same key still counts.
    page()->update(content::episode({.key = "ep-0-1"}), content::podcast({.key = "elsewhere"}));
    EXPECT_EQ(playShows(), "play");
    page()->update(content::episode({.key = "ep-0-0"}), content::podcast({.key = "elsewhere"}));
    EXPECT_EQ(playShows(), "info");
}

TEST_F(EpisodePageTest, PlayGoesBackToTheMainScreenThenSelects) {
    pagekit::deliver(pagekit::state({.status = "paused"}));
    for (const bool withEpisode : {true, false}) {
        SCOPED_TRACE(withEpisode);
        auto recording = std::make_shared<OrderCoordinator>();
        open(recording, withEpisode ? std::optional(displayed("ep-0-1")) : std::nullopt);
        recording->fan = shown->fan;
        if (!withEpisode) {
            // A page that never got its episode shows the nib's button.
            play()->playButton()->setHidden(false);
        }
        shown->tap(play()->playButton());
        EXPECT_EQ(shown->fan->calls, Calls{"popToRootAndMoveToMainPage()"});
        EXPECT_EQ(recording->calls, withEpisode ? (Calls{"didSelectEpisode(ep-0-1 in content-0)",
                                                         "after 1 container call(s)"})
                                                : Calls{});
        shown.reset();
    }
}

TEST_F(EpisodePageTest, PlaySelectionIsHeardByTheWidget) {
    testsupport::WidgetPage widget{pagekit::state({.status = "paused"})};
    widget.injectListener();
    widgettest::attach(widget);
    auto player = std::make_shared<widgettest::FakePlayer>();
    OVWidgetManager::shared().setDelegate(player);
    widgettest::settle();
    const auto facadeCoordinator = Orvane::shared().coordinator();
    ASSERT_NE(facadeCoordinator, nullptr);
    const auto before = widget.debug("selectedKeys").size();

    open(facadeCoordinator, displayed("ep-0-2"));
    shown->tap(play()->playButton());
    widgettest::settle();
    EXPECT_EQ(shown->fan->calls, Calls{"popToRootAndMoveToMainPage()"});
    const auto keys = widget.debug("selectedKeys");
    ASSERT_EQ(keys.size(), before + 1);
    EXPECT_EQ(keys.back(), "ep-0-2");
    shown.reset();
}

TEST_F(EpisodePageTest, TheHeaderOpensThePodcastPageUnlessOpenedFromOne) {
    for (const bool fromPodcastPage : {false, true}) {
        SCOPED_TRACE(fromPodcastPage);
        open(testsupport::RecordingCoordinator::create(), displayed("ep-0-1"), fromPodcastPage);
        const auto header = cell<OVContentIdentityCell>(0);
        for (int tap = 0; tap < 2; ++tap) {
            shown->tap(header->subTitleLabel());
            RunLoop::main().advance(1);
            shown->settle();
        }
        const auto pages = shown->fan->screens.front()->pages();
        ASSERT_EQ(pages.size(), fromPodcastPage ? 1u : 2u) << "a pushed page covers the header after the first tap";
        if (!fromPodcastPage) {
            const auto podcastPage = std::dynamic_pointer_cast<OVPodcastPage>(pages.back());
            ASSERT_NE(podcastPage, nullptr);
            const auto presenter = std::dynamic_pointer_cast<OVPodcastPageInteractor>(podcastPage->interactor());
            ASSERT_NE(presenter, nullptr);
            EXPECT_EQ(presenter->podcast(), displayed("ep-0-1").podcast);
        }
        shown.reset();
    }
}

TEST_F(EpisodePageTest, NothingBreaksWhenItsPartnersAreGone) {
    pagekit::deliver(pagekit::state({.status = "paused"}));
    open(testsupport::RecordingCoordinator::create(), displayed("ep-0-1"));
    coordinator.reset();  // the coordinator gone
    shown->tap(cell<OVContentIdentityCell>(0)->subTitleLabel());
    shown->tap(play()->playButton());
    EXPECT_EQ(shown->fan->calls, Calls{"popToRootAndMoveToMainPage()"});
    EXPECT_EQ(shown->fan->screens.front()->pages().size(), 1u);

    // The page gone: its cells report to no one, states still arrive.
    const auto playCell = play();
    shown->fan->screens.front()->setViewControllers({}, false);
    std::weak_ptr<OVEpisodePage> gone = shown->page;
    shown->page.reset();
    ASSERT_EQ(gone.lock(), nullptr);
    EXPECT_EQ(playCell->delegate(), nullptr);
    playCell->didTapPlayButton();
    pagekit::deliver(pagekit::state({}));
}

}  // namespace
