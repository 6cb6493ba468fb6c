// The root container end to end: the reference widget page in the widget
// web view, the chip it places, and a tap on that chip present the container
// from the storyboard over the host's root controller, as a bottom sheet at
// 390 points or a side panel at 1024. From there the listener's paths: the
// sheet dragged from preview to full screen, paging between the screens and
// back to the main one (the main page's side buttons in its bar once it is
// scrolled, drawn and tapped), every screen dragged sideways and upwards, the
// footer player following the page on show,
// the edge bounce, popups, the tap beside the sheet, the close button, the
// quit sheet's buttons and quitting. Time runs on the run loop's manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChipTestSupport.hpp"
#include "orvane/coordinator/OVChip.hpp"
#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/OVFanViewController.hpp"
#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/coordinator/OVPopup.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPlayerTrackButtons.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVDiscoverPage.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVMainPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/pages/OVViewShouldAcceptTouch.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/presentation/OVCancelButton.hpp"
#include "orvane/presentation/OVCompactVCPresentationTransitioning.hpp"
#include "orvane/presentation/OVRegularVCPresentationTransitioning.hpp"
#include "orvane/presentation/OVVCPresentationTransitioning.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/Animation.hpp"
#include "platform/ui/animation/TimingFunction.hpp"
#include "platform/ui/controllers/AlertController.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/input/Touch.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/lists/TableViewCell.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/MediaFiles.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using chiptest::state;
using chiptest::Theme;
using platform::core::RunLoop;
using platform::graphics::Point;
using platform::graphics::Size;
using platform::ui::PageViewControllerNavigationDirection;
using Direction = PageViewControllerNavigationDirection;

const Size kCompact{390, 844};
const Size kRegular{1024, 768};

// The types of the player and tracking actions sent to the widget, in order.
struct ActionRecorder : OVWebViewObserver {
    std::vector<std::string> types;
    void webViewDidReceive(const platform::web::ScriptMessage&) override {}
    void webViewWillSend(const std::string& javascript) override {
        const std::string marker = "type: '";
        const auto at = javascript.find(marker);
        if (at == std::string::npos) return;
        const auto start = at + marker.size();
        types.push_back(javascript.substr(start, javascript.find('\'', start) - start));
    }
    int count(const std::string& type) const {
        int n = 0;
        for (const auto& t : types) n += t == type;
        return n;
    }
};

// A row that keeps the container's pans off its left half, as the player
// row does on its slider.
class SelectiveCell : public platform::ui::TableViewCell, public OVViewShouldAcceptTouch {
public:
    static std::shared_ptr<SelectiveCell> create() { return std::make_shared<SelectiveCell>(ConstructorKey{}); }
    explicit SelectiveCell(ConstructorKey key) : TableViewCell(key, {}) {}
    bool accept(Point touch, const platform::ui::GestureRecognizer&) override { return touch.x > 195; }
};

// A page of one tall selective row.
class SelectivePage : public OVPage, public platform::ui::TableViewDataSource {
public:
    explicit SelectivePage(ConstructorKey key) : OVPage(key) {}
    void viewDidLoad() override {
        OVPage::viewDidLoad();
        tableView()->setRowHeight(400);
        tableView()->setDataSource(std::dynamic_pointer_cast<platform::ui::TableViewDataSource>(shared_from_this()));
    }
    int numberOfRows(platform::ui::TableView&, int) override { return 1; }
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView&,
                                                            const platform::ui::IndexPath&) override {
        return SelectiveCell::create();
    }
};

struct FanViewControllerEndToEndTest : ::testing::Test {
    void SetUp() override {
        window->setSafeAreaInsets({47, 0, 34, 0});
        Orvane::shared().setConfiguration(OVConfigurations("demo-key", std::nullopt, {0, 0}));
        window->setRootViewController(root);
        Orvane::shared().setRootController(root);
        page.injectListener();
        widgettest::attach(page);
        page.view->setObserver(recorder);
    }

    void setState(const platform::core::Json& json) {
        page.dispatch("{ type: 'WIDGET_SET_STATE', payload: " + json.dump() + " }");
        widgettest::settle();
    }
    void useWidth(Size size) {
        window->setSize(size);
        window->layoutIfNeeded();
    }
    void pass(double seconds) {
        RunLoop::main().runUntilIdle();
        RunLoop::main().advance(seconds);
        RunLoop::main().runUntilIdle();
    }
    std::shared_ptr<OVChip> chip() const {
        for (const auto& view : root->view()->subviews())
            if (auto c = std::dynamic_pointer_cast<OVChip>(view)) return c;
        return nullptr;
    }
    // The listener taps the chip; the opening animation runs to its end.
    std::shared_ptr<OVFanViewController> open() {
        const auto placed = chip();
        EXPECT_TRUE(placed);
        if (!placed) return nullptr;
        root->view()->layoutIfNeeded();
        const auto frame = placed->frame();
        testsupport::tap(*window, root->view()->convertPoint({frame.midX(), frame.midY()}, nullptr));
        pass(1.0);
        return std::dynamic_pointer_cast<OVFanViewController>(root->presentedViewController());
    }
    // The player shown, if any, put away as the swipe handle does.
    void putAway() {
        if (!root->presentedViewController()) return;
        Orvane::shared().coordinator()->didTapSwipeDown();
        pass(2.0);
    }
    // The sheet's top edge in the window.
    double sheetTop(const std::shared_ptr<OVFanViewController>& fan) const {
        return fan->view()->convertPoint({0, 0}, nullptr).y;
    }
    // The sheet from its preview up to full screen.
    void expand(const std::shared_ptr<OVFanViewController>& fan) {
        fan->presentationTransitioning()->fullExpand({});
        pass(2.0);
    }
    // Where the footer's top stands above the container's bottom.
    double footerOffset(const std::shared_ptr<OVFanViewController>& fan) const {
        const auto& top = fan->footerPlayerTopConstraint();
        return top ? top->constant() : 0;
    }
    // The listener drags across the shown screen's navigation bar, towards
    // the screen after (right to left) or before.
    void dragAcrossTheBar(const std::shared_ptr<OVFanViewController>& fan, bool forward) {
        const auto bar = fan->currentScreen()->navigationBar();
        const auto frame = bar->bounds();
        const auto left = bar->convertPoint({frame.minX() + 80, frame.midY()}, nullptr);
        const auto right = bar->convertPoint({frame.maxX() - 80, frame.midY()}, nullptr);
        testsupport::drag(*window, forward ? right : left, forward ? left : right, 0.2, 8);
        pass(0.5);
    }
    // The centre of a view in the window.
    static Point centre(const std::shared_ptr<platform::ui::View>& view) {
        const auto b = view->bounds();
        return view->convertPoint({b.midX(), b.midY()}, nullptr);
    }
    // A widget state whose main page is taller than the window: three
    // recommended episodes under the player.
    void recommendThree() {
        auto json = state(Theme{});
        json["locations"]["main"]["recommendations"]["keys"] = {"demo-podcast", "demo-podcast", "demo-podcast"};
        setState(json);
    }
    // The listener scrolls the page shown 300 points down its content.
    void scrollUpBy300(const std::shared_ptr<OVFanViewController>& fan) {
        const auto table = fan->currentPage()->tableView();
        const auto frame = table->convertRect(table->bounds(), nullptr);
        const Point from{frame.midX(), frame.maxY() - 150};
        testsupport::drag(*window, from, {from.x, from.y - 300}, 1.0, 20);
        pass(1.0);
    }
    // The listener taps the main page's left (library) or right (discover)
    // side button, scrolling first to show the bar when it is hidden; the
    // screen then slides in.
    void tapSideButton(const std::shared_ptr<OVFanViewController>& fan, bool right) {
        const auto main = fan->mainPage();
        ASSERT_TRUE(main);
        if (!fan->currentScreen()->navigationBarIsDisplayed()) scrollUpBy300(fan);
        const auto button = right ? main->rightButton() : main->leftButton();
        ASSERT_TRUE(button);
        ASSERT_FALSE(button->isHidden());
        window->layoutIfNeeded();
        testsupport::tap(*window, centre(button));
        pass(0.5);
    }
    std::shared_ptr<OVFanViewController> openFullScreen() {
        useWidth(kCompact);
        auto fan = open();
        if (fan) expand(fan);
        return fan;
    }

    testsupport::TempDocuments documents;
    testsupport::WidgetPage page{state(Theme{})};
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create(kCompact, 1);
    std::shared_ptr<platform::ui::ViewController> root = platform::ui::ViewController::create();
    std::shared_ptr<ActionRecorder> recorder = std::make_shared<ActionRecorder>();
};

TEST_F(FanViewControllerEndToEndTest, AChipTapPresentsTheContainerFromTheStoryboardAtEitherWidth) {
    struct Case {
        const char* name;
        Size size;
        bool regular;
    };
    for (const Case c : {Case{"compact, 390", kCompact, false}, Case{"regular, 1024", kRegular, true}}) {
        SCOPED_TRACE(c.name);
        putAway();
        recorder->types.clear();
        useWidth(c.size);
        const auto fan = open();
        ASSERT_TRUE(fan);
        EXPECT_EQ(recorder->types, std::vector<std::string>{"TRACK_HALFSCREEN"});
        EXPECT_EQ(Orvane::shared().coordinator()->fanVC(), fan);
        EXPECT_EQ(fan->coordinator(), Orvane::shared().coordinator());
        EXPECT_EQ(fan->ovDelegate(), std::static_pointer_cast<OVOpenCloseExpandDelegate>(fan->coordinator()));
        const auto& animator = fan->presentationTransitioning();
        EXPECT_EQ(std::dynamic_pointer_cast<OVRegularVCPresentationTransitioning>(animator) != nullptr, c.regular);
        EXPECT_EQ(std::dynamic_pointer_cast<OVCompactVCPresentationTransitioning>(animator) != nullptr, !c.regular);
        EXPECT_EQ(animator->delegate(), fan->ovDelegate());
        EXPECT_EQ(fan->modalPresentationStyle(), platform::ui::ModalPresentationStyle::custom);
        EXPECT_EQ(fan->preferredStatusBarStyle(), platform::ui::StatusBarStyle::lightContent);
        EXPECT_TRUE(fan->modalPresentationCapturesStatusBarAppearance());

        // Three screens, library, main and discover, the main one shown.
        const auto& screens = fan->interactor()->screens();
        ASSERT_EQ(screens.size(), 3u);
        EXPECT_TRUE(std::dynamic_pointer_cast<OVLibraryPage>(screens[0]->pages().front()));
        EXPECT_TRUE(std::dynamic_pointer_cast<OVMainPage>(screens[1]->pages().front()));
        EXPECT_TRUE(std::dynamic_pointer_cast<OVDiscoverPage>(screens[2]->pages().front()));
        EXPECT_EQ(fan->currentScreen(), screens[1]);
        EXPECT_EQ(fan->currentPageIndex(), 1);
        EXPECT_EQ(fan->interactor()->currentScreenIndex(), 1);
        EXPECT_EQ(fan->numberOfScreens(), 3);
        ASSERT_TRUE(fan->mainPage());
        const auto buttons = fan->mainPage()->navigationBarButtonIsDisplayed();
        EXPECT_TRUE(buttons.left);
        EXPECT_TRUE(buttons.right);
        EXPECT_EQ(screens[1]->fanViewController(), fan);

        // The footer player from its nib, 88 high across the container,
        // ready just below its bottom edge and not shown over the main page.
        const auto& footer = fan->footerPlayer();
        ASSERT_TRUE(footer);
        fan->view()->layoutIfNeeded();
        EXPECT_EQ(footer->frame().size, (Size{fan->view()->bounds().width(), 88}));
        EXPECT_TRUE(fan->footerIsReady());
        EXPECT_FALSE(footer->isHidden());
        EXPECT_FALSE(fan->footerPlyerIsDisplayed());
        EXPECT_EQ(footer->frame().minY(), fan->view()->bounds().height());
    }
}

TEST_F(FanViewControllerEndToEndTest, FromPreviewToFullScreenTracksItAndLetsTheListenerSwipe) {
    useWidth(kCompact);
    const auto fan = open();
    ASSERT_TRUE(fan);
    // In preview swiping is off and the dismiss pan waits; the scroll view
    // keeps its own default until the first change of `isSwipable`.
    EXPECT_FALSE(fan->isSwipable());
    EXPECT_TRUE(fan->scrollView()->isScrollEnabled());
    const auto sheet = std::dynamic_pointer_cast<OVCompactVCPresentationTransitioning>(fan->presentationTransitioning());
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->dismissPanGestureRecognizer()->isEnabled());

    expand(fan);
    // The full-screen tracking's type is written with a leading space.
    EXPECT_EQ(recorder->count(" TRACK_FULLSCREEN"), 1);
    EXPECT_TRUE(fan->isSwipable());
    EXPECT_TRUE(fan->scrollView()->isScrollEnabled());
    EXPECT_TRUE(sheet->dismissPanGestureRecognizer()->isEnabled());
    EXPECT_LE(sheetTop(fan), 47 + 40);
    // Over the main page the footer stays away.
    EXPECT_FALSE(fan->footerPlyerIsDisplayed());

    // Full screen again after a shrink is not a new full screen.
    fan->stateDidChange(OVCompactDisplayState::fullScreen, OVCompactDisplayState::shrinking);
    fan->stateDidChange(OVCompactDisplayState::shrinking, OVCompactDisplayState::fullScreen);
    // The full-screen tracking's type is written with a leading space.
    EXPECT_EQ(recorder->count(" TRACK_FULLSCREEN"), 1);
}

TEST_F(FanViewControllerEndToEndTest, PagingAndGoingBackToTheMainPageKeepIndicesAndFooterInStep) {
    recommendThree();
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    const auto& screens = fan->interactor()->screens();
    struct Step {
        const char* name;
        std::function<void()> act;
        int index;
        bool footer;
    };
    const Step steps[] = {
        {"the main page's right button: discover", [&] { tapSideButton(fan, true); }, 2, true},
        {"forward on the last screen: nothing", [&] { fan->swipe(Direction::forward); }, 2, true},
        {"the footer's open-main-page button", [&] { fan->didTapFooterPlayer(); }, 1, false},
        {"the main page's left button: library", [&] { tapSideButton(fan, false); }, 0, true},
        {"reverse on the first screen: nothing", [&] { fan->swipe(Direction::reverse); }, 0, true},
        {"back to the main page from the library", [&] { fan->moveToMainPage(); }, 1, false},
        {"the listener drags across the bar to discover", [&] { dragAcrossTheBar(fan, true); }, 2, true},
        {"and back to the main screen", [&] { dragAcrossTheBar(fan, false); }, 1, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        // The screen slides in; the indices and the footer follow once it
        // is in place.
        pass(0.4);
        EXPECT_EQ(fan->currentPageIndex(), s.index);
        EXPECT_EQ(fan->interactor()->currentScreenIndex(), s.index);
        EXPECT_EQ(fan->currentScreen(), screens[static_cast<std::size_t>(s.index)]);
        EXPECT_EQ(fan->footerPlyerIsDisplayed(), s.footer);
        EXPECT_EQ(footerOffset(fan), s.footer ? -100 : -12);
    }
}

// Every screen answers the listener's drags: a sideways one pages to the
// screen after or before wherever there is one and the pager allows it (not
// over a page pushed on a screen), however short the screen's content, and
// an upward one moves the page's own table (scrolling a tall one, bouncing a
// short one), also from a carousel with room to spare.
TEST_F(FanViewControllerEndToEndTest, EveryScreenPagesSidewaysBothWaysAndTakesUpwardDrags) {
    recommendThree();
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    auto& user = OVMock::UserData::shared();
    const auto state = OVWidgetManager::shared().lastState();
    ASSERT_TRUE(state);
    const auto next = state->followingTracks().at(0);
    const auto headlines = [&](std::size_t count) {
        user.setRecommendationsHeadlines(std::vector<OVContent>(count, next.podcast));
    };
    // Where a drag starts: 300 points below the top of the page's table, the
    // middle of the discover page's headlines, or that of its episodes
    // (below headlines that scroll sideways themselves).
    const auto belowTheTop = [&] {
        const auto table = fan->currentPage()->tableView();
        const auto frame = table->convertRect(table->bounds(), nullptr);
        return Point{frame.midX(), frame.minY() + 300};
    };
    const auto onTheHeadlines = [&] {
        for (const auto& cell : fan->currentPage()->tableView()->visibleCells())
            if (auto carousel = std::dynamic_pointer_cast<OVRecommendationHeadlinesCell>(cell))
                return centre(carousel->collectionView());
        ADD_FAILURE() << "no headlines shown";
        return Point{};
    };
    const auto onTheEpisodes = [&] {
        for (const auto& cell : fan->currentPage()->tableView()->visibleCells())
            if (std::dynamic_pointer_cast<OVDiscoverRecommendationsCell>(cell)) return centre(cell);
        ADD_FAILURE() << "no episodes shown";
        return Point{};
    };
    struct Screen {
        const char* name;
        int index;
        std::function<void()> show;  // from the main page at the top of its screen
        std::function<Point()> from;
        bool pages = true;
    };
    const Screen screens[] = {
        {"the main page", 1, [] {}, belowTheTop},
        {"discover, no headline", 2, [&] { headlines(0), fan->swipe(Direction::forward); }, belowTheTop},
        {"discover, one headline", 2, [&] { headlines(1), fan->swipe(Direction::forward); }, onTheHeadlines},
        {"discover, three headlines", 2, [&] { headlines(3), fan->swipe(Direction::forward); }, onTheEpisodes},
        {"the library, empty", 0, [&] { user.setLibrary({}), fan->swipe(Direction::reverse); }, belowTheTop},
        {"the library with an episode", 0,
         [&] { user.save(next.track, next.podcast), fan->swipe(Direction::reverse); }, belowTheTop},
        {"a podcast page", 1,
         [&] { fan->mainPage()->didSelectRow(*fan->mainPage()->tableView(), platform::ui::IndexPath::forRow(3, 0)); },
         belowTheTop, false},
        {"an episode page", 1, [&] { fan->mainPage()->didTapForDetails(next); }, belowTheTop, false},
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(s.name);
        fan->moveToMainPage();
        pass(1.0);
        s.show();
        pass(1.0);
        ASSERT_EQ(fan->currentPageIndex(), s.index);
        const auto page = fan->currentPage();
        ASSERT_TRUE(page);
        for (const int way : {+1, -1}) {
            SCOPED_TRACE(way > 0 ? "right to left" : "left to right");
            const Point from = s.from();
            testsupport::drag(*window, from, {from.x - 240 * way, from.y}, 0.2, 8);
            pass(1.0);
            EXPECT_EQ(fan->currentPageIndex(), s.pages ? std::clamp(s.index + way, 0, 2) : s.index);
            if (fan->currentPageIndex() != s.index) {
                fan->swipe(way > 0 ? Direction::reverse : Direction::forward);
                pass(1.0);
            }
            ASSERT_EQ(fan->currentPage(), page);
        }
        // Upwards by 200 points: the page's table follows the finger while
        // it is down (by half past the end of a short page).
        const auto& table = page->tableView();
        const double top = table->contentOffset().y;
        const Point from = s.from();
        window->sendTouch(0, platform::ui::TouchPhase::began, from);
        for (int i = 1; i <= 10; ++i) {
            RunLoop::main().advance(0.03);
            window->sendTouch(0, platform::ui::TouchPhase::moved, {from.x, from.y - 20.0 * i});
        }
        EXPECT_GE(table->contentOffset().y - top, 90);
        window->sendTouch(0, platform::ui::TouchPhase::ended, {from.x, from.y - 200});
        pass(1.0);
        table->setContentOffset({0, top});
    }
    user.setRecommendationsHeadlines({});
    user.setLibrary({});
}

TEST_F(FanViewControllerEndToEndTest, TheMainPagesSideButtonsAreDrawnInTheBarOnceScrolledAndTheirTapsSlideTheScreens) {
    recommendThree();
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    const auto main = fan->mainPage();
    ASSERT_TRUE(main);
    EXPECT_EQ(main->navigationBarDisplaysWhenScrolling(), OVPage::NavigationBarDisplay::whenScrolling);
    const auto left = main->leftButton();
    const auto right = main->rightButton();
    ASSERT_TRUE(left && right);
    // At the top the bar is away and the side buttons with it: a tap where
    // the right one stands does not page.
    EXPECT_FALSE(fan->currentScreen()->navigationBarIsDisplayed());
    EXPECT_TRUE(left->isHidden());
    EXPECT_TRUE(right->isHidden());
    window->layoutIfNeeded();
    testsupport::tap(*window, centre(right));
    pass(0.5);
    EXPECT_EQ(fan->currentPageIndex(), 1);

    scrollUpBy300(fan);
    EXPECT_GT(main->tableView()->contentOffset().y, 100);
    EXPECT_TRUE(fan->currentScreen()->navigationBarIsDisplayed());
    EXPECT_FALSE(left->isHidden());
    EXPECT_FALSE(right->isHidden());
    // Both are drawn in the bar: the pixels where each stands change when
    // it is taken away.
    window->layoutIfNeeded();
    const auto drawn = window->snapshot();
    left->setHidden(true);
    right->setHidden(true);
    const auto bare = window->snapshot();
    left->setHidden(false);
    right->setHidden(false);
    ASSERT_TRUE(drawn && bare);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        (void)drawn->writePng(std::string(dir) + "/fan-main-page-bar-shown.png");
    const auto bar = fan->currentScreen()->navigationBar();
    const auto barFrame = bar->convertRect(bar->bounds(), nullptr);
    for (const auto& button : {left, right}) {
        const auto frame = button->convertRect(button->bounds(), nullptr);
        EXPECT_GE(frame.size.width, 20);
        EXPECT_GE(frame.minY(), barFrame.minY());
        EXPECT_LE(frame.maxY(), barFrame.maxY());
        const int scale = static_cast<int>(drawn->scale());
        int changed = 0;
        for (int y = static_cast<int>(frame.minY() * scale); y < static_cast<int>(frame.maxY() * scale); ++y) {
            for (int x = static_cast<int>(frame.minX() * scale); x < static_cast<int>(frame.maxX() * scale); ++x) {
                const auto at = (static_cast<std::size_t>(y) * drawn->pixelWidth() + x) * 4;
                changed += !std::equal(drawn->pixels().begin() + at, drawn->pixels().begin() + at + 4,
                                       bare->pixels().begin() + at);
            }
        }
        EXPECT_GT(changed, 40) << "the button at x " << frame.minX() << " draws nothing";
    }

    // Their taps slide the screens: the right one to discover; back by
    // dragging, the main page still scrolled, the left one to the library.
    testsupport::tap(*window, centre(right));
    EXPECT_EQ(fan->currentScreen(), fan->interactor()->screens()[2]);
    EXPECT_EQ(fan->currentPageIndex(), 1) << "not before the screen is in place";
    pass(0.5);
    EXPECT_EQ(fan->currentPageIndex(), 2);
    dragAcrossTheBar(fan, false);
    ASSERT_EQ(fan->currentPageIndex(), 1);
    ASSERT_FALSE(left->isHidden());
    window->layoutIfNeeded();
    testsupport::tap(*window, centre(left));
    pass(0.5);
    EXPECT_EQ(fan->currentPageIndex(), 0);
    EXPECT_EQ(fan->currentScreen(), fan->interactor()->screens()[0]);
}

TEST_F(FanViewControllerEndToEndTest, TheFooterSlidesOnALaterTurnInAnEaseOutOfPoint3SecondsAndIgnoresRepeats) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    const auto& footer = fan->footerPlayer();
    ASSERT_TRUE(footer);
    fan->updateFooterPlayerDisplay(false);  // already hidden: nothing at all
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(footerOffset(fan), 0);

    fan->updateFooterPlayerDisplay(true);
    EXPECT_TRUE(fan->footerPlyerIsDisplayed());
    EXPECT_EQ(footerOffset(fan), 0);  // not before the queue has run
    fan->updateFooterPlayerDisplay(true);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(footerOffset(fan), -100);
    const auto keys = footer->layer()->animationKeys();
    ASSERT_FALSE(keys.empty());
    for (const auto& key : keys) {
        SCOPED_TRACE(key);
        const auto animation = footer->layer()->animation(key);
        ASSERT_TRUE(animation);
        EXPECT_DOUBLE_EQ(animation->duration(), 0.3);
        EXPECT_EQ(animation->timingFunction(),
                  platform::ui::TimingFunction::named(platform::ui::TimingFunction::Name::easeOut));
    }
    pass(0.3);
    const double shownTop = footer->frame().minY();
    EXPECT_EQ(shownTop, fan->view()->bounds().height() - 100);

    // A shrinking sheet hides it below 0.85 of its way, not at 0.85.
    fan->isShrinking(0.85);
    EXPECT_TRUE(fan->footerPlyerIsDisplayed());
    fan->isShrinking(0.849);
    EXPECT_FALSE(fan->footerPlyerIsDisplayed());
    pass(0.3);
    EXPECT_EQ(footerOffset(fan), -12);
    EXPECT_FALSE(footer->isHidden());

    // Past the first screen the footer follows the rubber band.
    fan->swipe(Direction::reverse);
    pass(0.4);
    ASSERT_EQ(fan->currentPageIndex(), 0);
    const auto scroll = fan->scrollView();
    ASSERT_TRUE(scroll->beginDragging());
    scroll->dragBy({30, 0});
    EXPECT_EQ(footer->transform(), platform::graphics::AffineTransform::translation(30, 0));
    scroll->endDragging();
    pass(0.5);
}

TEST_F(FanViewControllerEndToEndTest, TheFooterFollowsTheWidgetAndItsTapsReachTheCoordinatorOrTheMainPage) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    fan->swipe(Direction::forward);
    pass(0.4);
    pass(0.3);
    const auto& footer = fan->footerPlayer();
    ASSERT_TRUE(footer);
    setState(state(Theme{}, "playing", 30, 120));
    EXPECT_FLOAT_EQ(footer->progressView()->progress(), 0.25f);
    EXPECT_TRUE(footer->playButton()->isHidden());
    EXPECT_FALSE(footer->pauseButton()->isHidden());
    fan->view()->layoutIfNeeded();
    recorder->types.clear();
    testsupport::tap(*window, centre(footer->pauseButton()));
    EXPECT_EQ(recorder->types, std::vector<std::string>{"PLAYER_PAUSE"});
    setState(state(Theme{}, "paused", 30, 120));
    recorder->types.clear();
    testsupport::tap(*window, centre(footer->playButton()));
    EXPECT_EQ(recorder->types, std::vector<std::string>{"PLAYER_PLAY_REQUESTED"});
    testsupport::tap(*window, centre(footer->openMainPageButton()));
    pass(0.4);
    EXPECT_EQ(fan->currentPageIndex(), 1);
    EXPECT_FALSE(fan->footerPlyerIsDisplayed());
}

TEST_F(FanViewControllerEndToEndTest, PopToRootAndMoveToMainPagePopsTheThenCurrentScreenPoint4SecondsLater) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    const auto& screens = fan->interactor()->screens();
    const auto main = screens[1];
    // A page pushed on the main screen, which the listener then leaves.
    main->push(OVPage::create<OVPage>(), false);
    pass(0.5);
    ASSERT_EQ(main->viewControllers().size(), 2u);
    fan->swipe(Direction::forward);
    pass(0.4);
    ASSERT_EQ(fan->currentPageIndex(), 2);

    fan->popToRootAndMoveToMainPage();
    EXPECT_EQ(fan->currentScreen(), main);
    RunLoop::main().runUntilIdle();
    RunLoop::main().advance(0.39);
    EXPECT_EQ(fan->interactor()->currentScreenIndex(), 1);
    EXPECT_EQ(main->viewControllers().size(), 2u);
    RunLoop::main().advance(0.02);
    EXPECT_EQ(main->viewControllers().size(), 1u);

    // On the main screen it is `moveToMainPage`: the root page scrolled to
    // the top and an animated pop, at once.
    main->push(OVPage::create<OVPage>(), false);
    pass(0.5);
    const auto& table = main->pages().front()->tableView();
    table->setContentOffset({0, 120});
    fan->popToRootAndMoveToMainPage();
    EXPECT_EQ(table->contentOffset().y, 0);
    pass(1.0);
    EXPECT_EQ(main->viewControllers().size(), 1u);
}

TEST_F(FanViewControllerEndToEndTest, ATapBesideTheSheetPutsItAwayAndQuittingThenSendsSwipeDownCloseTrackClose) {
    useWidth(kCompact);
    const auto fan = open();
    ASSERT_TRUE(fan);
    const double top = sheetTop(fan);
    // A tap on the sheet itself is not for the close tap.
    testsupport::tap(*window, {195, top + 60});
    pass(1.0);
    EXPECT_EQ(root->presentedViewController(), fan);
    EXPECT_EQ(recorder->count("TRACK_SWIPE_DOWN"), 0);

    testsupport::tap(*window, {195, top / 2});
    EXPECT_EQ(recorder->count("TRACK_SWIPE_DOWN"), 1);
    EXPECT_FALSE(fan->footerPlyerIsDisplayed());
    pass(2.0);
    EXPECT_EQ(root->presentedViewController(), nullptr);

    recorder->types.clear();
    Orvane::shared().coordinator()->quit();
    EXPECT_EQ(recorder->types, (std::vector<std::string>{"TRACK_SWIPE_DOWN", "PLAYER_CLOSE", "TRACK_CLOSE"}));
}

TEST_F(FanViewControllerEndToEndTest, DismissingFromAPageWithTheFooterHidesIt) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    fan->swipe(Direction::forward);
    pass(0.3);
    ASSERT_TRUE(fan->footerPlyerIsDisplayed());
    recorder->types.clear();
    Orvane::shared().coordinator()->didTapSwipeDown();
    EXPECT_EQ(recorder->types, std::vector<std::string>{"TRACK_SWIPE_DOWN"});
    EXPECT_FALSE(fan->footerPlyerIsDisplayed());
    pass(2.0);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(footerOffset(fan), -12);
}

TEST_F(FanViewControllerEndToEndTest, ADragDownThatStartsWhereAVisibleRowRefusesItLeavesTheSheetInPlace) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    fan->currentScreen()->push(OVPage::create<SelectivePage>(), false);
    pass(0.5);
    ASSERT_TRUE(std::dynamic_pointer_cast<SelectivePage>(fan->currentPage()));
    const double top = sheetTop(fan);
    testsupport::drag(*window, {100, top + 200}, {100, top + 700}, 0.3, 10);
    pass(2.0);
    EXPECT_EQ(root->presentedViewController(), fan);
    testsupport::drag(*window, {300, top + 200}, {300, top + 700}, 0.3, 10);
    pass(2.0);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

// The listener's drags on the sheet at the speeds a pointer gives: where the
// finger goes down, how long it rests there first, how far and how long it
// moves (about 60 moves a second).
TEST_F(FanViewControllerEndToEndTest, TheSheetAnswersDragsFromWhereverTheyStartAtAnySpeed) {
    enum class Start { handle, title, artwork, topBar, middle };
    enum class Outcome { expanded, dismissed, scrolled };
    struct Case {
        const char* name;
        bool fullScreen;
        Start start;
        double dy, rest, duration;
        Outcome outcome;
    };
    const Case cases[] = {
        {"preview, slow drag up from the handle", false, Start::handle, -600, 0, 1.0, Outcome::expanded},
        {"preview, rest, then a slow drag up from the handle", false, Start::handle, -600, 0.1, 1.0,
         Outcome::expanded},
        {"preview, flick up from the handle", false, Start::handle, -300, 0, 0.12, Outcome::expanded},
        {"preview, slow drag up from the title", false, Start::title, -600, 0, 1.0, Outcome::expanded},
        {"preview, rest, then a slow drag up from the artwork", false, Start::artwork, -600, 0.1, 1.0,
         Outcome::expanded},
        {"preview, flick up from the artwork", false, Start::artwork, -300, 0, 0.12, Outcome::expanded},
        {"full screen, flick down from the top bar", true, Start::topBar, 400, 0, 0.12, Outcome::dismissed},
        {"full screen, rest, then a slow drag down from the top bar", true, Start::topBar, 400, 0.1, 1.0,
         Outcome::dismissed},
        {"full screen, flick down from the middle", true, Start::middle, 400, 0, 0.12, Outcome::dismissed},
        {"full screen, slow drag up from the middle", true, Start::middle, -300, 0.1, 1.0, Outcome::scrolled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        putAway();
        useWidth(kCompact);
        const auto fan = open();
        ASSERT_TRUE(fan);
        if (c.fullScreen) expand(fan);
        const auto cell = std::dynamic_pointer_cast<OVPlayerTableViewCell>(
            fan->mainPage()->tableView()->visibleCells().front());
        ASSERT_TRUE(cell);
        auto centre = [](const std::shared_ptr<platform::ui::View>& v) {
            const auto b = v->bounds();
            return v->convertPoint({b.midX(), b.midY()}, nullptr);
        };
        const double top = sheetTop(fan);
        const Point from = [&] {
            switch (c.start) {
                case Start::handle: return Point{195, top - 20};
                case Start::title: return centre(cell->trackLabel());
                case Start::artwork: return centre(cell->contentImgView());
                case Start::topBar: return Point{195, top + 20};
                case Start::middle: return Point{195, top + 400};
            }
            return Point{};
        }();
        const int steps = std::max(2, static_cast<int>(c.duration * 60));
        testsupport::drag(*window, from, {from.x, from.y + c.dy}, c.duration, steps, c.rest);
        pass(2.0);
        const double offset = fan->mainPage()->tableView()->contentOffset().y +
                              fan->mainPage()->tableView()->adjustedContentInset().top;
        switch (c.outcome) {
            case Outcome::expanded:
                EXPECT_EQ(root->presentedViewController(), fan);
                EXPECT_LE(sheetTop(fan), 47 + 40);
                break;
            case Outcome::dismissed: EXPECT_EQ(root->presentedViewController(), nullptr); break;
            case Outcome::scrolled:
                EXPECT_EQ(root->presentedViewController(), fan);
                EXPECT_EQ(sheetTop(fan), top);
                EXPECT_GT(offset, 50);
                break;
        }
    }
}

TEST_F(FanViewControllerEndToEndTest, OnlyTheDismissPanGoesTogetherWithThePagesTable) {
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    const auto sheet = std::dynamic_pointer_cast<OVCompactVCPresentationTransitioning>(fan->presentationTransitioning());
    ASSERT_TRUE(sheet);
    auto& tablePan = *fan->currentPage()->tableView()->panGestureRecognizer();
    auto& dismissPan = *sheet->dismissPanGestureRecognizer();
    const auto other = platform::ui::PanGestureRecognizer::create();
    EXPECT_TRUE(fan->gestureRecognizerShouldRecognizeSimultaneously(dismissPan, tablePan));
    EXPECT_TRUE(fan->gestureRecognizerShouldRecognizeSimultaneously(tablePan, dismissPan));
    EXPECT_FALSE(fan->gestureRecognizerShouldRecognizeSimultaneously(dismissPan, *other));
}

TEST_F(FanViewControllerEndToEndTest, APopupSpringsOutBelowTheFooterAndIsGoneAfter2Point9Seconds) {
    struct Case {
        const char* name;
        bool footer;
    };
    for (const Case c : {Case{"with the footer player", true}, Case{"without a footer player", false}}) {
        SCOPED_TRACE(c.name);
        putAway();
        if (!c.footer) platform::ui::NibRegistry::shared().unregisterNib("OVFooterPlayer");
        const auto fan = openFullScreen();
        ASSERT_TRUE(fan);
        EXPECT_EQ(fan->footerPlayer() != nullptr, c.footer);
        fan->displayPopup(platform::ui::AttributedString("Episode saved"));
        const auto& subviews = fan->view()->subviews();
        std::shared_ptr<OVPopup> popup;
        std::size_t at = 0;
        for (std::size_t i = 0; i < subviews.size(); ++i) {
            if (auto p = std::dynamic_pointer_cast<OVPopup>(subviews[i])) {
                popup = p;
                at = i;
            }
        }
        ASSERT_TRUE(popup);
        if (c.footer) {
            ASSERT_LT(at + 1, subviews.size());
            EXPECT_EQ(subviews[at + 1], fan->footerPlayer());
        }
        // At rest between the spring and the slide back, its bottom stands
        // 20 points above the footer's top (or the container's bottom).
        pass(0.6);
        pass(1.0);
        fan->view()->layoutIfNeeded();
        const double edge = c.footer ? fan->footerPlayer()->frame().minY() : fan->view()->bounds().height();
        const auto shown = popup->layer()->presented<Point>("position", popup->center());
        EXPECT_NEAR(shown.y + popup->bounds().height() / 2, edge - 20, 0.5);
        EXPECT_NEAR(shown.x, fan->view()->bounds().midX(), 0.5);
        EXPECT_EQ(popup->alpha(), 1.0);
        // Nothing to move at the edge without a footer.
        fan->scrollViewIsBouncing(25);
        pass(1.0);
        EXPECT_TRUE(popup->superview());
        pass(0.35);
        EXPECT_FALSE(popup->superview());
    }
    OVFooterPlayer::registerNib();
}

TEST_F(FanViewControllerEndToEndTest, CloseWhilePlayingAsksThroughTheQuitSheetAndOnlyQuitQuits) {
    struct Case {
        const char* name;
        Size size;
        std::size_t action;
        bool quits;
    };
    const Case cases[] = {
        {"keep playing, compact", kCompact, 0, false},
        {"cancel, compact", kCompact, 2, false},
        {"cancel, regular", kRegular, 2, false},
        {"quit, regular", kRegular, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        putAway();
        useWidth(c.size);
        const auto fan = open();
        ASSERT_TRUE(fan);
        const auto coordinator = Orvane::shared().coordinator();
        coordinator->play();
        recorder->types.clear();
        // The bottom sheet's close button asks; the side panel has none of
        // its own, and the coordinator hears the close directly.
        const auto animator = std::dynamic_pointer_cast<OVVCPresentationTransitioning>(fan->presentationTransitioning());
        ASSERT_TRUE(animator);
        const bool sidePanel = std::dynamic_pointer_cast<OVRegularVCPresentationTransitioning>(animator) != nullptr;
        EXPECT_EQ(sidePanel, c.size == kRegular);
        const auto close = animator->cancelButton();
        EXPECT_EQ(close == nullptr, sidePanel);
        if (close) {
            window->layoutIfNeeded();
            testsupport::tap(*window, centre(close));
        } else {
            coordinator->didTapClose();
        }
        const auto sheet = std::dynamic_pointer_cast<platform::ui::AlertController>(fan->presentedViewController());
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->preferredStyle(), platform::ui::AlertControllerStyle::actionSheet);
        EXPECT_EQ(sheet->alertTitle(), localized("QUIT_ACTION_SHEET_TITLE"));
        ASSERT_EQ(sheet->actions().size(), 3u);
        using platform::ui::AlertActionStyle;
        EXPECT_EQ(sheet->actions()[0].title, localized("QUIT_ACTION_SHEET_KEEP_PLAYING"));
        EXPECT_EQ(sheet->actions()[0].style, AlertActionStyle::defaultStyle);
        EXPECT_EQ(sheet->actions()[1].title, localized("QUIT_ACTION_SHEET_QUIT"));
        EXPECT_EQ(sheet->actions()[1].style, AlertActionStyle::destructive);
        EXPECT_EQ(sheet->actions()[2].title, localized("CANCEL"));
        EXPECT_EQ(sheet->actions()[2].style, AlertActionStyle::cancel);
        if (sidePanel) {
            EXPECT_EQ(sheet->popoverAnchor().sourceView.lock(), fan->view());
        }
        // The listener taps the action's button on the sheet.
        window->layoutIfNeeded();
        const auto button = sheet->actionButton(c.action);
        ASSERT_TRUE(button);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
            if (const auto picture = window->snapshot())
                (void)picture->writePng(std::string(dir) + "/fan-quit-sheet-" + std::to_string(c.action) + "-" +
                                        std::to_string(static_cast<int>(c.size.width)) + ".png");
        }
        testsupport::tap(*window, centre(button));
        pass(1.0);
        EXPECT_EQ(fan->presentedViewController(), nullptr);
        if (c.quits) {
            EXPECT_EQ(recorder->types, (std::vector<std::string>{"TRACK_SWIPE_DOWN", "PLAYER_CLOSE", "TRACK_CLOSE"}));
        } else {
            EXPECT_TRUE(recorder->types.empty());
        }
        coordinator->player()->pause();
    }
}

// The episode has played to its end: the player row's play button plays it
// again from its start, and its rewind button then goes back while playing
// goes on; what the row shows follows what is heard.
TEST_F(FanViewControllerEndToEndTest, AfterTheEndThePlayersPlayAndRewindButtonsPlayTheEpisodeAgain) {
    OVAudioCache::cache(orvane::testing::makeWav(3.0), "demo-episode-1.mp3");
    const auto fan = openFullScreen();
    ASSERT_TRUE(fan);
    page.dispatch("{ type: 'PLAYER_SELECT_TRACK', payload: { key: 'demo-episode-1' } }");
    const auto player = Orvane::shared().coordinator()->player();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->duration() == 3.0; }, 5));
    for (int step = 0; step < 8; ++step) {
        pass(0.5);
        widgettest::settle();
    }
    ASSERT_EQ(player->status(), OVAudioPlayerStatus::paused);
    ASSERT_EQ(player->widgetGetCurrentTime(), 3.0);

    const auto cell = std::dynamic_pointer_cast<OVPlayerTableViewCell>(
        fan->mainPage()->tableView()->cellForRow(platform::ui::IndexPath::forRow(0, 0)));
    ASSERT_TRUE(cell);
    const auto buttons = std::dynamic_pointer_cast<OVPlayerTrackButtons>(cell->buttonsView());
    ASSERT_TRUE(buttons);
    const auto tap = [&](const std::shared_ptr<platform::ui::Button>& button) {
        fan->view()->layoutIfNeeded();
        ASSERT_FALSE(button->isHidden());
        const auto b = button->bounds();
        testsupport::tap(*window, button->convertPoint({b.midX(), b.midY()}, nullptr));
        widgettest::settle();
    };
    const auto playsFrom = [&](double from) {
        for (const double heard : {0.5, 1.0}) {
            pass(0.5);
            widgettest::settle();
            EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
            EXPECT_NEAR(*player->widgetGetCurrentTime(), from + heard, 1e-6);
        }
        EXPECT_EQ(page.state()["player"]["playingStatus"], "playing");
        EXPECT_TRUE(buttons->playButton()->isHidden());
        EXPECT_FALSE(buttons->pauseButton()->isHidden());
    };

    tap(buttons->playButton());
    playsFrom(0.0);
    tap(buttons->backwardButton());
    playsFrom(0.0);
}

}  // namespace
