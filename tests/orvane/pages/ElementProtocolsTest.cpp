// Elements reach the coordinator and their page only through the protocols
// of the pages layer: a test element, made by its page while the page is
// being created, holds the coordinator and the page weakly as each protocol
// and a tap on each of its buttons arrives, in order, at the recording
// coordinator or the recording page.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvane/elements/OVAdUserInteractionDelegate.hpp"
#include "orvane/elements/OVContentIdentityCellDelegate.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/elements/OVEpisodePlayCellDelegate.hpp"
#include "orvane/elements/OVPodcastSubscriptionCellDelegate.hpp"
#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"
#include "orvane/pages/OVGenericPageElement.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"
#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPodcastPageUserAction.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/RecordingPage.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using namespace platform::graphics;
using namespace platform::ui;
using testsupport::Calls;

// A test element's cell: one button per call an element can make, each
// reaching its receiver through the one protocol it was handed as.
class OVProbeCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = "OVProbeCell";
    static std::shared_ptr<OVProbeCell> make() {
        return std::make_shared<OVProbeCell>(ConstructorKey{}, Rect{0, 0, 375, 250});
    }
    OVProbeCell(ConstructorKey key, const Rect& frame) : OVPageElementTableViewCell(key, frame) {}

    // What the element hands the cell.
    std::weak_ptr<OVPlayerUserActionDelegate> player;
    std::weak_ptr<OVEpisodeSelectionDelegate> selection;
    std::weak_ptr<OVUserTrackDownloadAction> download;
    std::weak_ptr<OVPodcastSubscriptionProtocol> subscriptions;
    std::weak_ptr<OVShareTableViewCellDelegate> share;
    std::weak_ptr<OVMainPageUserAction> mainPage;
    std::weak_ptr<OVPodcastPageUserAction> podcastPage;
    std::weak_ptr<OVLibraryPageUserAction> libraryPage;
    std::weak_ptr<OVDescriptionTextTableViewCellDelegate> description;
    std::weak_ptr<OVContentIdentityCellDelegate> identity;
    std::weak_ptr<OVEpisodePlayCellDelegate> episodePlay;
    std::weak_ptr<OVPodcastSubscriptionCellDelegate> subscriptionButtons;
    std::weak_ptr<OVDiscoverRecommendationsCellDelegate> discover;
    std::weak_ptr<OVRecommendationsHeadlinesDelegate> headlines;
    std::weak_ptr<OVAdUserInteractionDelegate> ad;

    // A button in the content view, 40 points square, eight to a row, below
    // where the screen's navigation bar lies over the top of the page.
    void addButton(std::function<void()> action) {
        auto tap = std::make_shared<Tap>(Tap{std::move(action)});
        const double index = static_cast<double>(buttons.size());
        auto button = Button::create();
        button->setFrame(Rect{12 + 45 * std::fmod(index, 8.0), 60 + 45 * std::floor(index / 8), 40, 40});
        button->setBackgroundColor(Color{0.2, 0.5, 0.9, 1});
        button->addTarget(tap, &Tap::fire, ControlEvents::touchUpInside);
        contentView()->addSubview(button);
        buttons.push_back(button);
        taps.push_back(tap);
    }
    std::vector<std::shared_ptr<Button>> buttons;

private:
    struct Tap {
        std::function<void()> action;
        void fire() { action(); }
    };
    std::vector<std::shared_ptr<Tap>> taps;
};

// Its element hands the cell its coordinator and page as the protocols.
class ProbeElement : public OVGenericPageElement<OVProbeCell> {
public:
    using OVGenericPageElement::OVGenericPageElement;
    void setDelegates() override {
        const auto& cell = tableViewCell();
        if (!cell) return;
        const auto c = coordinator();
        cell->player = c;
        cell->selection = c;
        cell->download = c;
        cell->subscriptions = c;
        cell->share = c;
        const auto p = std::dynamic_pointer_cast<testsupport::RecordingPage>(page());
        cell->mainPage = p;
        cell->podcastPage = p;
        cell->libraryPage = p;
        cell->description = p;
        cell->identity = p;
        cell->episodePlay = p;
        cell->subscriptionButtons = p;
        cell->discover = p;
        cell->headlines = p;
        cell->ad = p;
    }
};

TEST(ElementProtocols, ATestElementInAPageReachesTheCoordinatorAndThePageThroughEachProtocol) {
    platform::core::RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    NibRegistry::shared().registerNib(std::string(OVProbeCell::ReuseIdentifier), [](NibBuild& build) {
        build.add(OVProbeCell::make());
        return true;
    });
    const auto podcast = testsupport::content::podcast({.key = "pod", .episodes = 2});
    const auto episode = podcast.tracks->front();
    const OVTrackInPodcast pair(episode, podcast);

    // The page builds its element while it is made, handing it itself.
    auto coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<ProbeElement> element;
    auto page = OVPage::create<testsupport::RecordingPage>(
        coordinator, [&](const std::shared_ptr<testsupport::RecordingPage>& self) -> OVPageElements {
            element = OVGenericPageElement<OVProbeCell>::create<ProbeElement>(coordinator, self);
            return {element};
        });
    ASSERT_TRUE(element && element->tableViewCell());
    EXPECT_EQ(element->page(), page);
    auto cell = element->tableViewCell();

    struct Action {
        std::function<void()> tap;
        bool toPage;
        std::string call;
    };
    bool sliderDone = false;
    const std::vector<Action> actions{
        {[&] { cell->player.lock()->didTapBackward(); }, false, "didTapBackward()"},
        {[&] { cell->player.lock()->didTapPlay(); }, false, "didTapPlay()"},
        {[&] { cell->player.lock()->didTapPause(); }, false, "didTapPause()"},
        {[&] { cell->player.lock()->didTapForward(); }, false, "didTapForward()"},
        {[&] { cell->player.lock()->didChangeSlider(12.5f, [&](bool done) { sliderDone = done; }); }, false,
         "didChangeSlider(12.5)"},
        {[&] { cell->player.lock()->didTogglePlayPause(); }, false, "didTogglePlayPause()"},
        {[&] { cell->selection.lock()->didSelectEpisode(pair); }, false, "didSelectEpisode(pod-1 in pod)"},
        {[&] { cell->download.lock()->didTapDownload(episode); }, false, "didTapDownload(pod-1)"},
        {[&] { cell->subscriptions.lock()->subscription(OVSubscription::notification, podcast, false); }, false,
         "subscription(notification, pod, false)"},
        {[&] { cell->share.lock()->didTapSendUpButton(); }, false, "didTapSendUpButton()"},
        {[&] { cell->share.lock()->didTapApplePodcastsButton(); }, false, "didTapApplePodcastsButton()"},
        {[&] { cell->mainPage.lock()->didSelectEpisode(pair); }, true, "didSelectEpisode(pod-1 in pod)"},
        {[&] { cell->mainPage.lock()->didTapForDetails(pair); }, true, "didTapForDetails(pod-1 in pod)"},
        {[&] { cell->podcastPage.lock()->didSave(episode, podcast); }, true, "didSave(pod-1 in pod)"},
        {[&] { cell->podcastPage.lock()->didLongPress(episode, podcast, [] {}); }, true, "didLongPress(pod-1 in pod)"},
        {[&] { cell->podcastPage.lock()->subscription(OVSubscription::podcast, true, [](bool) {}); }, true,
         "subscription(podcast, true)"},
        {[&] { cell->subscriptionButtons.lock()->subscription(OVSubscription::notification, true, {}); }, true,
         "subscription(notification, true)"},
        {[&] { cell->libraryPage.lock()->didSelectPodcast(podcast); }, true, "didSelectPodcast(pod)"},
        {[&] { cell->libraryPage.lock()->didToggleNotification(podcast, true); }, true,
         "didToggleNotification(pod, true)"},
        {[&] { cell->description.lock()->didTapSeeMore(nullptr); }, true, "didTapSeeMore()"},
        {[&] { cell->identity.lock()->didTapSubtitle(); }, true, "didTapSubtitle()"},
        {[&] { cell->episodePlay.lock()->didTapPlay(); }, true, "didTapPlay()"},
        {[&] { cell->discover.lock()->didTapForDetails(episode, podcast); }, true,
         "didTapForDetails(forTrack: pod-1 in pod)"},
        {[&] { cell->headlines.lock()->didSelectPodcast(podcast); }, true, "didSelectPodcast(pod)"},
        {[&] { cell->ad.lock()->didTapSkipButton(); }, true, "didTapSkipButton()"},
    };
    for (const auto& action : actions) cell->addButton(action.tap);

    // The page on a screen of a root container, in a window; the listener
    // taps every button in turn.
    auto window = Window::create({375, 667});
    auto fan = testsupport::RecordingFanViewController::create();
    window->setRootViewController(fan);
    fan->hold(page);
    window->layoutIfNeeded();
    platform::core::RunLoop::main().runUntilIdle();
    ASSERT_EQ(page->tableView()->visibleCells().size(), 1u);
    ASSERT_EQ(page->tableView()->visibleCells().front(), cell);

    Calls toCoordinator, toPage;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const auto& button = cell->buttons[i];
        testsupport::tap(*window, button->convertPoint(Point{20, 20}, nullptr));
        (actions[i].toPage ? toPage : toCoordinator).push_back(actions[i].call);
        EXPECT_EQ(coordinator->calls, toCoordinator) << actions[i].call;
        EXPECT_EQ(page->calls, toPage) << actions[i].call;
    }

    // The closures handed over reach their receivers.
    ASSERT_EQ(coordinator->sliderCompletions.size(), 1u);
    coordinator->sliderCompletions.front()(true);
    EXPECT_TRUE(sliderDone);
    EXPECT_EQ(page->executeActions.size(), 1u);
    EXPECT_EQ(page->completions.size(), 2u);
    EXPECT_TRUE(fan->calls.empty());

    // Held weakly: with the page and the coordinator gone, the element's
    // protocols are gone too.
    fan->screens.front()->setViewControllers({}, false);
    window->setRootViewController(nullptr);
    fan.reset();
    page.reset();
    coordinator.reset();
    EXPECT_TRUE(cell->player.expired() && cell->selection.expired() && cell->share.expired());
    EXPECT_TRUE(cell->mainPage.expired() && cell->ad.expired());
}

}  // namespace
