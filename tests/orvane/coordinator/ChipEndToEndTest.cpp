// The chip on screen, end to end: the host's configuration and root view
// controller, the reference widget page in the widget web view, and the
// states it posts put the coordinator's chip on the root view at the corner,
// size and margins of the location theme (vertical margins from the safe
// area, horizontal ones from the view's edges) once a layout pass ran; the
// status and the position move its indicators; a tap through the window
// reaches the coordinator's open action; a new start takes the old chip
// away first.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "ChipTestSupport.hpp"
#include "orvane/coordinator/OVChip.hpp"
#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"
#include "support/widget/WidgetPage.hpp"

namespace {

using namespace orvane;
using chiptest::state;
using chiptest::Theme;
using platform::core::Json;
using platform::graphics::EdgeInsets;
using platform::graphics::Rect;
using platform::graphics::Size;

const Size kPortrait{390, 844};
const EdgeInsets kPortraitInsets{47, 0, 34, 0};
const Size kLandscape{844, 390};
const EdgeInsets kLandscapeInsets{0, 47, 21, 47};

struct ChipEndToEndTest : ::testing::Test {
    void SetUp() override {
        window->setSafeAreaInsets(kPortraitInsets);
        Orvane::shared().setConfiguration(OVConfigurations("demo-key", std::nullopt, {0, 0}));
        window->setRootViewController(root);
        Orvane::shared().setRootController(root);
        page.injectListener();
        widgettest::attach(page);
    }

    // The widget loads a whole new state, which it then posts.
    void setState(const Json& json) {
        page.dispatch("{ type: 'WIDGET_SET_STATE', payload: " + json.dump() + " }");
        widgettest::settle();
    }
    // The chips on the root view.
    std::vector<std::shared_ptr<OVChip>> chips() const {
        std::vector<std::shared_ptr<OVChip>> found;
        for (const auto& view : root->view()->subviews())
            if (auto chip = std::dynamic_pointer_cast<OVChip>(view)) found.push_back(chip);
        return found;
    }
    std::shared_ptr<OVChip> chip() const {
        const auto found = chips();
        EXPECT_EQ(found.size(), 1u);
        return found.empty() ? nullptr : found.front();
    }
    // Shows a new root controller, lets the widget load `json` and starts
    // the component afresh: the state that follows its "PLAYER_OPEN" places
    // the new chip.
    void restartWithNewRoot(const Json& json) {
        root = platform::ui::ViewController::create();
        window->setRootViewController(root);
        Orvane::shared().setRootController(root);
        setState(json);
        Orvane::shared().start();
        widgettest::settle();
    }

    testsupport::TempDocuments documents;
    testsupport::WidgetPage page{state(Theme{})};
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create(kPortrait, 1);
    std::shared_ptr<platform::ui::ViewController> root = platform::ui::ViewController::create();
};

TEST_F(ChipEndToEndTest, TheLocationThemePlacesTheChipAtItsCornerSizeAndMargins) {
    struct Case {
        const char* name;
        Theme theme;
        bool landscape;
        Rect frame;
    };
    const Case cases[] = {
        {"big, top left, 10 and 30", {"top_left", "big", 10, 30}, false, {10, 47 + 30, 61, 61}},
        {"the default chip", {}, false, {390 - 20 - 49, 844 - 34 - 20 - 49, 49, 49}},
        {"small, top right, 5 and 0", {"top_right", "small", 5, 0}, false, {390 - 5 - 42, 47, 42, 42}},
        {"small, top left, no margins", {"top_left", "small", std::nullopt, std::nullopt}, false,
         {20, 47 + 20, 42, 42}},
        // Sideways the safe area is inset at the sides too; the horizontal
        // margin still counts from the view's edge.
        {"normal, bottom left, 0 and 15, landscape", {"bottom_left", "normal", 0, 15}, true,
         {0, 390 - 21 - 15 - 49, 49, 49}},
        {"big, bottom right, 0 and 0, landscape", {"bottom_right", "big", 0, 0}, true,
         {844 - 61, 390 - 21 - 61, 61, 61}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->setSize(c.landscape ? kLandscape : kPortrait);
        window->setSafeAreaInsets(c.landscape ? kLandscapeInsets : kPortraitInsets);
        restartWithNewRoot(state(c.theme));
        auto placed = chip();
        ASSERT_TRUE(placed);
        root->view()->layoutIfNeeded();
        EXPECT_EQ(placed->frame(), c.frame);
        const double side = c.frame.size.width;
        EXPECT_EQ(placed->equalizerAnimationView()->frame(), (Rect{side / 4, side / 4, side / 2, side / 2}));
        EXPECT_EQ(placed->circleSpinAnimationView()->frame(), (Rect{0, 0, side, side}));
        // The chip sits above the host's views.
        EXPECT_EQ(root->view()->subviews().back(), placed);
    }
}

TEST_F(ChipEndToEndTest, TheStatusMovesTheIndicatorsTheRingShowsTheFractionPlayedAndTheCornerStays) {
    restartWithNewRoot(state(Theme{"top_left", "big", 10, 30}, "playing", 12, 240));
    auto placed = chip();
    ASSERT_TRUE(placed);
    root->view()->layoutIfNeeded();
    EXPECT_EQ(placed->circleProgressionView()->value(), 0.05f);

    // 0.05 of a turn clockwise from 12 o'clock in the main colour; the rest
    // of the edge is the white disc. The chip is 61 across at (10, 77).
    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    auto onRing = [&](double degrees) {
        const double a = degrees * std::numbers::pi / 180 - std::numbers::pi / 2;
        return renderprobe::pixelAt(*image, 10 + 30.5 + 30 * std::cos(a), 77 + 30.5 + 30 * std::sin(a));
    };
    for (double inside : {3.0, 9.0, 15.0})
        EXPECT_TRUE(renderprobe::near(onRing(inside), {26, 43, 60, 255}, 60)) << inside << " "
                                                                               << renderprobe::describe(onRing(inside));
    for (double outside : {30.0, 90.0, 180.0, 300.0})
        EXPECT_GT(onRing(outside)[0], 200) << outside << " " << renderprobe::describe(onRing(outside));

    struct Step {
        const char* status;
        bool spinnerShown, spinnerTurns, barsMove;
    };
    const Step steps[] = {
        {"playing", false, false, true},
        {"loading", true, true, true},
        {"paused", false, false, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.status);
        setState(state(Theme{"top_left", "big", 10, 30}, s.status, 12, 240));
        EXPECT_EQ(!placed->circleSpinAnimationView()->isHidden(), s.spinnerShown);
        EXPECT_EQ(!placed->circleSpinAnimationView()->circleShapeLayer()->animationKeys().empty(), s.spinnerTurns);
        EXPECT_EQ(!placed->equalizerAnimationView()->rectLayers().front()->animationKeys().empty(), s.barsMove);
    }
    // A later corner and size are not applied.
    setState(state(Theme{"bottom_right", "small", 0, 0}, "paused", 12, 240));
    root->view()->layoutIfNeeded();
    EXPECT_EQ(placed->frame(), (Rect{10, 77, 61, 61}));
}

TEST_F(ChipEndToEndTest, TheFirstStateWithAThemeCallsInitStyleDisplayStyle) {
    auto recording = chiptest::RecordingChip::create();
    setState(state(Theme{"top_left", "big", 10, 30}, "playing", 12, 240));
    const std::string style = "style light rgba(0.10196078431372549,0.16862745098039217,0.23529411764705882,1)";
    EXPECT_EQ(recording->calls, (std::vector<std::string>{"initialize 61", style, "display top_left 30 10", style,
                                                          "status playing", "position 12/240"}));
    recording->removeFromSuperview();
}

TEST_F(ChipEndToEndTest, WithoutARootControllerTheFirstLaterStatePlacesTheChip) {
    root = platform::ui::ViewController::create();
    window->setRootViewController(root);
    Orvane::shared().setRootController(nullptr);
    Orvane::shared().start();
    widgettest::settle();
    setState(state(Theme{}, "paused", 1));
    EXPECT_TRUE(chips().empty());
    Orvane::shared().setRootController(root);
    EXPECT_TRUE(chips().empty());  // nothing until a state arrives
    setState(state(Theme{}, "paused", 2));
    ASSERT_TRUE(chip());
    root->view()->layoutIfNeeded();
    EXPECT_EQ(chip()->frame(), (Rect{321, 741, 49, 49}));
}

TEST_F(ChipEndToEndTest, ATapOnTheChipReachesTheCoordinatorsOpenActionAndClosingWhilePausedQuits) {
    // The root container comes from the storyboard; here a scene that
    // counts how often the open action asks for it.
    int asked = 0;
    platform::ui::NibRegistry::shared().registerStoryboard(
        "OVStoryboard",
        {{"root",
          [&](platform::ui::NibBuild& build) {
              ++asked;
              build.add(platform::ui::ViewController::create());
              return true;
          }}},
        "root");
    auto placed = chip();
    ASSERT_TRUE(placed);
    root->view()->layoutIfNeeded();
    const Rect frame = placed->frame();
    const platform::graphics::Point centre{frame.midX(), frame.midY()};
    testsupport::tap(*window, centre);
    EXPECT_EQ(asked, 1);
    testsupport::tap(*window, {frame.minX() - 5, frame.midY()});  // beside the chip
    EXPECT_EQ(asked, 1);
    // Without the host's root controller there is nothing to present over.
    Orvane::shared().setRootController(nullptr);
    testsupport::tap(*window, centre);
    EXPECT_EQ(asked, 1);
    // Closing while the player is paused quits at once: the chip goes.
    Orvane::shared().coordinator()->didTapClose();
    EXPECT_TRUE(chips().empty());
}

TEST_F(ChipEndToEndTest, StartingAgainRemovesTheOldChipBeforeTheNewCoordinatorExists) {
    struct Watcher : OVWebViewObserver {
        std::function<std::size_t()> chipsOnScreen;
        std::shared_ptr<OVCoordinator> oldCoordinator;
        std::vector<std::string> seen;
        void webViewDidReceive(const platform::web::ScriptMessage&) override {}
        void webViewWillSend(const std::string& javascript) override {
            for (const char* type : {"PLAYER_CLOSE", "TRACK_CLOSE", "PLAYER_OPEN"}) {
                if (javascript.find(type) == std::string::npos) continue;
                const bool oldCurrent = Orvane::shared().coordinator() == oldCoordinator;
                seen.push_back(std::string(type) + ": " + std::to_string(chipsOnScreen()) + " chip" +
                               (oldCurrent ? ", old coordinator" : ", new coordinator"));
            }
        }
    };
    const std::weak_ptr<OVChip> oldChip = chip();
    ASSERT_FALSE(oldChip.expired());
    auto watcher = std::make_shared<Watcher>();
    watcher->chipsOnScreen = [this] { return chips().size(); };
    watcher->oldCoordinator = Orvane::shared().coordinator();
    page.view->setObserver(watcher);
    Orvane::shared().start();
    // The new coordinator says its "PLAYER_OPEN" while it is being made,
    // before the facade holds it: the old chip had gone before.
    EXPECT_EQ(watcher->seen, (std::vector<std::string>{"PLAYER_CLOSE: 0 chip, old coordinator",
                                                       "TRACK_CLOSE: 0 chip, old coordinator",
                                                       "PLAYER_OPEN: 0 chip, old coordinator"}));
    EXPECT_TRUE(oldChip.expired());  // dropped with the old coordinator's quit
    // The new chip comes with the next state.
    widgettest::settle();
    setState(state(Theme{}, "paused", 3));
    EXPECT_TRUE(chip());
}

}  // namespace
