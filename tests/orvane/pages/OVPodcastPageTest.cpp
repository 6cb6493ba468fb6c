// The podcast page as a listener uses it, on a screen of a recording root
// container in a window: its four rows for a podcast and the library, the
// subscription buttons (a change reported as done, with its popup, only once
// the library holds it), the unsubscribe and remove-episode sheets (also as
// popovers at a regular width), the episode list's choices, details and
// saves, and partners that are gone.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVEpisodePageInteractor.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/pages/OVPodcastPageInteractorInput.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/ui/controllers/AlertController.hpp"
#include "PodcastEpisodePageKit.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;
using platform::core::RunLoop;
using testsupport::Calls;
namespace content = testsupport::content;

// What shows of the subscription row's buttons.
struct Buttons {
    bool subscribe, unsubscribe, start, stop;
    friend bool operator==(const Buttons&, const Buttons&) = default;
};
std::ostream& operator<<(std::ostream& out, const Buttons& b) {
    return out << "{subscribe " << b.subscribe << ", unsubscribe " << b.unsubscribe << ", start " << b.start
               << ", stop " << b.stop << "}";
}
constexpr Buttons notSubscribed{true, false, false, false};
constexpr Buttons subscribedQuiet{false, true, true, false};
constexpr Buttons subscribedNotified{false, true, false, true};

struct Library {
    bool entry = false, subscribed = false, notification = false;
    friend bool operator==(const Library&, const Library&) = default;
};
std::ostream& operator<<(std::ostream& out, const Library& l) {
    return out << "{entry " << l.entry << ", subscribed " << l.subscribed << ", notification " << l.notification
               << "}";
}

class PodcastPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        podcast = content::podcast(
            {.key = "show", .title = "Night Shift", .episodes = 3, .newest = content::date("2024-08-15")});
        pagekit::localArtwork(podcast);
        pagekit::deliver(pagekit::state({}));  // the theme the rows need
    }

    // The page for `podcast`, made as its openers do, on a screen in a window.
    // `upToDate`: brought up to date first, as the main page's presenter
    // does; the library and discover pages' presenters do not.
    void open(std::shared_ptr<OVPageCoordinator> with, platform::graphics::Size size = {375, 1400},
              bool upToDate = true) {
        coordinator = std::move(with);
        auto page = OVPage::create<OVPodcastPage>(coordinator);
        if (upToDate) page->updateWithCurrentState();
        page->update(podcast);
        shown.emplace(page, size);
    }
    void fill(const Library& l, std::vector<std::shared_ptr<OVTrack>> saved = {}) {
        if (!l.entry) return content::fillLibrary({});
        content::fillLibrary({{.podcast = podcast, .subscribed = l.subscribed, .notification = l.notification,
                               .savedEpisodes = std::move(saved)}});
    }
    Library library() const {
        const auto& all = OVMock::UserData::shared().library();
        const auto entry = all.find(podcast);
        if (entry == all.end()) return {};
        return {true, entry->second.suscribed, entry->second.notification};
    }

    const std::shared_ptr<OVPodcastPage>& page() const { return shown->page; }
    template <class Cell>
    std::shared_ptr<Cell> cell(std::size_t row) const {
        const auto& elements = page()->interactor()->pageElements();
        return row < elements.size() ? std::dynamic_pointer_cast<Cell>(elements[row]->elementTableViewCell()) : nullptr;
    }
    std::shared_ptr<OVPodcastSubscriptionCell> subscriptionCell() const { return cell<OVPodcastSubscriptionCell>(1); }
    std::shared_ptr<OVPodcastEpisodesListCell> list() const { return cell<OVPodcastEpisodesListCell>(3); }
    Buttons buttons() const {
        const auto c = subscriptionCell();
        const bool notifications = !c->notificationButtonsContainer()->isHidden();
        return {!c->subscribeButton()->isHidden(), !c->unsuscribeButton()->isHidden(),
                notifications && !c->notificationStartButton()->isHidden(),
                notifications && !c->notificationStopButton()->isHidden()};
    }
    std::shared_ptr<OVEpisodeTableViewCell> episodeRow(int section, int index) const {
        return std::dynamic_pointer_cast<OVEpisodeTableViewCell>(
            list()->tableView()->cellForRow(IndexPath::forRow(index, section)));
    }
    platform::graphics::Point centreOfRow(int section, int index) const {
        const auto rect = list()->tableView()->rectForRow(IndexPath::forRow(index, section));
        return list()->tableView()->convertPoint({rect.midX(), rect.midY()}, nullptr);
    }
    // Runs the taps' animations and the sheets' dismissals out.
    void finish() {
        for (int i = 0; i < 2; ++i) {
            RunLoop::main().advance(1);
            shown->settle();
        }
    }
    std::string popupText(OVSubscription kind) const {
        return OVLibraryPage::popupAttributedText(kind, podcast.description->title)->string();
    }

    pagekit::Setting setting;
    OVContent podcast;
    std::shared_ptr<OVPageCoordinator> coordinator;
    std::optional<pagekit::Shown<OVPodcastPage>> shown;
};

TEST_F(PodcastPageTest, FourRowsShowThePodcastAndTheLibrary) {
    const auto saved = (*podcast.tracks)[1];
    struct Case {
        std::string name;
        Library library;
        std::vector<std::shared_ptr<OVTrack>> saved;
        Buttons buttons;
        int savedRows, otherRows;
        bool upToDate = true;
    };
    const std::vector<Case> cases{
        {"a podcast not followed", {}, {}, notSubscribed, 0, 3},
        {"followed with notifications, one episode saved", {true, true, true}, {saved}, subscribedNotified, 1, 2},
        {"opened without being brought up to date", {}, {}, notSubscribed, 0, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fill(c.library, c.saved);
        open(testsupport::RecordingCoordinator::create(), {375, 1400}, c.upToDate);
        EXPECT_EQ(page()->title(), localized("PODCAST_PAGE_TITLE"));
        ASSERT_EQ(page()->tableView()->numberOfRows(0), 4);
        EXPECT_NE(cell<OVContentIdentityCell>(0), nullptr);
        EXPECT_NE(subscriptionCell(), nullptr);
        EXPECT_NE(cell<OVDescriptionTextTableViewCell>(2), nullptr);
        ASSERT_NE(list(), nullptr);
        EXPECT_EQ(page()->tableView()->visibleCells().size(), 4u);
        EXPECT_EQ(cell<OVContentIdentityCell>(0)->titleLabel()->text(), "Night Shift");
        EXPECT_EQ(buttons(), c.buttons);
        EXPECT_NE(cell<OVDescriptionTextTableViewCell>(2)->textView()->text().find("a conversation about Night Shift"),
                  std::string::npos);
        EXPECT_EQ(list()->tableView()->numberOfRows(0), c.savedRows);
        EXPECT_EQ(list()->tableView()->numberOfRows(1), c.otherRows);
        // The bar shows; the rows' estimates are their cells' heights.
        EXPECT_TRUE(shown->fan->screens.front()->navigationBarIsDisplayed());
        EXPECT_EQ(page()->estimatedHeightForRow(*page()->tableView(), IndexPath::forRow(3, 0)),
                  list()->bounds().height());
        shown.reset();
    }
}

TEST_F(PodcastPageTest, AChangeIsReportedDoneWithItsPopupOnlyOnceTheLibraryHoldsIt) {
    enum class Partner { storing, refusing, gone };
    struct Case {
        std::string name;
        Partner partner;
        Library before;
        std::shared_ptr<Button> (*button)(const OVPodcastSubscriptionCell&);
        Calls toCoordinator;
        std::optional<OVSubscription> popup;
        Buttons after;
        Library library;
        bool done;
    };
    auto subscribe = [](const OVPodcastSubscriptionCell& c) { return c.subscribeButton(); };
    auto start = [](const OVPodcastSubscriptionCell& c) { return c.notificationStartButton(); };
    auto stop = [](const OVPodcastSubscriptionCell& c) { return c.notificationStopButton(); };
    const std::vector<Case> cases{
        {"subscribe", Partner::storing, {}, subscribe, {"subscription(podcast, show, true)"}, OVSubscription::podcast,
         subscribedNotified, {true, true, true}, true},
        {"subscribe, the change not stored", Partner::refusing, {}, subscribe, {"subscription(podcast, show, true)"},
         std::nullopt, notSubscribed, {}, false},
        {"subscribe, the coordinator gone", Partner::gone, {}, subscribe, {}, std::nullopt, notSubscribed, {}, false},
        {"start notifications", Partner::storing, {true, true, false}, start,
         {"subscription(notification, show, true)"}, OVSubscription::notification, subscribedNotified,
         {true, true, true}, true},
        {"stop notifications", Partner::storing, {true, true, true}, stop, {"subscription(notification, show, false)"},
         std::nullopt, subscribedQuiet, {true, true, false}, true},
        {"stop notifications, not stored", Partner::refusing, {true, true, true}, stop,
         {"subscription(notification, show, false)"}, std::nullopt, subscribedNotified, {true, true, true}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fill(c.before);
        std::shared_ptr<testsupport::RecordingCoordinator> recording;
        if (c.partner == Partner::refusing) recording = testsupport::RecordingCoordinator::create();
        else recording = pagekit::StoringCoordinator::create();
        open(recording);
        if (c.partner == Partner::gone) {
            coordinator.reset();
            recording.reset();
        }
        platform::core::DebugCapture capture;

        shown->tap(c.button(*subscriptionCell()));
        finish();
        EXPECT_EQ(recording ? recording->calls : Calls{}, c.toCoordinator);
        EXPECT_EQ(shown->fan->actionSheet(), nullptr);
        EXPECT_EQ(shown->fan->calls, c.popup ? Calls{"displayPopup(" + popupText(*c.popup) + ")"} : Calls{});
        EXPECT_EQ(buttons(), c.after);
        EXPECT_EQ(library(), c.library);
        EXPECT_EQ(capture.count("was not stored"), c.done ? 0u : 1u);
        shown.reset();
    }
}

TEST_F(PodcastPageTest, NotificationsCannotStartForAPodcastOutsideTheLibrary) {
    // The library keeps notifications only for a podcast it holds: asked
    // through the page for one it does not, nothing is reported done.
    open(pagekit::StoringCoordinator::create());
    std::vector<bool> completions;
    page()->subscription(OVSubscription::notification, true, [&](bool done) { completions.push_back(done); });
    EXPECT_EQ(completions, std::vector<bool>{false});
    EXPECT_TRUE(shown->fan->calls.empty());
    EXPECT_EQ(library(), Library{});

    // Before a podcast is set, nothing at all happens.
    auto bare = OVPage::create<OVPodcastPage>(coordinator);
    bare->subscription(OVSubscription::podcast, true, [&](bool done) { completions.push_back(done); });
    EXPECT_EQ(completions.size(), 1u);
}

TEST_F(PodcastPageTest, UnsubscribingAsksFirstInASheet) {
    for (const double width : {375.0, 768.0}) {
        SCOPED_TRACE(width);
        fill({true, true, true});
        auto recording = pagekit::StoringCoordinator::create();
        open(recording, {width, 1400});

        // Cancelled: nothing changes and nothing is reported.
        shown->tap(subscriptionCell()->unsuscribeButton());
        auto sheet = shown->fan->actionSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->preferredStyle(), AlertControllerStyle::actionSheet);
        EXPECT_EQ(sheet->alertTitle(), localized("UNSUBSCRIBE_ACTION_SHEET_TITLE"));
        EXPECT_EQ(sheet->message(), std::nullopt);
        ASSERT_EQ(sheet->actions().size(), 2u);
        EXPECT_EQ(sheet->actions()[0].title, localized("UNSUBSCRIBE_ACTION_SHEET_UNSUBSCRIBE"));
        EXPECT_EQ(sheet->actions()[0].style, AlertActionStyle::destructive);
        EXPECT_EQ(sheet->actions()[1].title, localized("CANCEL"));
        EXPECT_EQ(sheet->actions()[1].style, AlertActionStyle::cancel);
        // A popover at a regular width, pointing at the button.
        EXPECT_EQ(sheet->popoverAnchor().sourceView.lock(), subscriptionCell()->unsuscribeButton());
        EXPECT_EQ(buttons(), subscribedNotified);
        ASSERT_TRUE(sheet->tapAction(1));
        finish();
        EXPECT_EQ(shown->fan->actionSheet(), nullptr);
        EXPECT_TRUE(recording->calls.empty());
        EXPECT_EQ(library(), (Library{true, true, true}));
        EXPECT_EQ(buttons(), subscribedNotified);

        // Confirmed: removed from the library, the buttons switch, no popup.
        shown->tap(subscriptionCell()->unsuscribeButton());
        ASSERT_NE(shown->fan->actionSheet(), nullptr);
        ASSERT_TRUE(shown->fan->actionSheet()->tapAction(0));
        finish();
        EXPECT_EQ(recording->calls, (Calls{"subscription(podcast, show, false)"}));
        EXPECT_EQ(library(), Library{});
        EXPECT_EQ(buttons(), notSubscribed);
        EXPECT_TRUE(shown->fan->calls.empty());
        shown.reset();
    }
}

TEST_F(PodcastPageTest, ALongPressOnASavedEpisodeRemovesItOnlyOnceConfirmed) {
    const auto saved = (*podcast.tracks)[0];
    fill({true, true, false}, {saved});
    open(pagekit::StoringCoordinator::create());
    ASSERT_EQ(list()->tableView()->numberOfRows(0), 1);
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm);
        testsupport::longPress(*shown->window, centreOfRow(0, 0), 1.2);
        shown->settle();
        const auto sheet = shown->fan->actionSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->alertTitle(), localized("PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_TITLE"));
        ASSERT_EQ(sheet->actions().size(), 2u);
        EXPECT_EQ(sheet->actions()[0].title, localized("PODCAST_PAGE_REMOVE_EPISODE_ACTION_SHEET_REMOVE"));
        EXPECT_EQ(sheet->actions()[0].style, AlertActionStyle::destructive);
        EXPECT_EQ(sheet->actions()[1].style, AlertActionStyle::cancel);
        EXPECT_EQ(sheet->popoverAnchor().sourceView.lock(), list());
        ASSERT_TRUE(sheet->tapAction(confirm ? 0 : 1));
        finish();
        const auto& all = OVMock::UserData::shared().library();
        const auto entry = all.find(podcast);
        ASSERT_NE(entry, all.end()) << "the entry stays: the podcast is followed";
        EXPECT_EQ(entry->second.savedEpisodes.size(), confirm ? 0u : 1u);
        EXPECT_EQ(list()->tableView()->numberOfRows(0), confirm ? 0 : 1);
    }
}

TEST_F(PodcastPageTest, EpisodeRowsSelectOpenDetailsAndSave) {
    auto recording = testsupport::RecordingCoordinator::create();
    open(recording);
    const auto first = (*podcast.tracks)[0];

    // A row's tap selects its episode.
    testsupport::tap(*shown->window, centreOfRow(1, 0));
    shown->settle();
    EXPECT_EQ(recording->calls, (Calls{"didSelectEpisode(show-1 in show)"}));

    // Its details button pushes an episode page whose podcast link is off.
    ASSERT_NE(episodeRow(1, 1), nullptr);
    shown->tap(episodeRow(1, 1)->detailsButton());
    finish();
    const auto episodePage = std::dynamic_pointer_cast<OVEpisodePage>(shown->topPage());
    ASSERT_NE(episodePage, nullptr);
    const auto presenter = std::dynamic_pointer_cast<OVEpisodePageInteractor>(episodePage->interactor());
    ASSERT_NE(presenter, nullptr);
    EXPECT_EQ(presenter->displayedTrack(), (*podcast.tracks)[1]);
    EXPECT_EQ(presenter->displayedPodcast(), podcast);
    const auto header = std::dynamic_pointer_cast<OVContentIdentityCell>(
        episodePage->interactor()->pageElements().front()->elementTableViewCell());
    ASSERT_NE(header, nullptr);
    EXPECT_FALSE(header->subTitleLabel()->isUserInteractionEnabled());

    // Saving twice keeps one copy and confirms both times.
    page()->didSave(first, podcast);
    page()->didSave(first, podcast);
    EXPECT_EQ(OVMock::UserData::shared().library().at(podcast).savedEpisodes.size(), 1u);
    const std::string saved = OVLibraryPage::popupAttributedText(*first)->string();
    EXPECT_EQ(shown->fan->calls, (Calls{"displayPopup(" + saved + ")", "displayPopup(" + saved + ")"}));
}

TEST_F(PodcastPageTest, NothingBreaksWhenItsPartnersAreGone) {
    fill({true, true, true});
    auto recording = pagekit::StoringCoordinator::create();
    open(recording);

    // An unsubscribe sheet outliving the page and its presenter.
    shown->tap(subscriptionCell()->unsuscribeButton());
    const auto sheet = shown->fan->actionSheet();
    ASSERT_NE(sheet, nullptr);
    const auto list = this->list();
    const auto subscription = subscriptionCell();
    shown->fan->screens.front()->setViewControllers({}, false);
    std::weak_ptr<OVPodcastPage> gone = shown->page;
    shown->page.reset();
    ASSERT_EQ(gone.lock(), nullptr) << "the page is owned by its screen only";
    EXPECT_TRUE(sheet->tapAction(0));
    finish();
    EXPECT_TRUE(recording->calls.empty());
    EXPECT_EQ(library(), (Library{true, true, true}));

    // The cells it left behind report to no one; states still arrive.
    EXPECT_EQ(list->delegate(), nullptr);
    EXPECT_EQ(subscription->delegate(), nullptr);
    pagekit::deliver(pagekit::state({}));

    // A page whose coordinator is gone opens nothing and selects nothing.
    recording.reset();
    shown.reset();
    open(testsupport::RecordingCoordinator::create());
    coordinator.reset();
    shown->tap(episodeRow(1, 0)->detailsButton());
    testsupport::tap(*shown->window, centreOfRow(1, 0));
    finish();
    EXPECT_EQ(shown->topPage(), page());
}

}  // namespace
