// The chip and its state manager, given states as the bridge delivers them:
// what the manager calls on its chip for each sequence of states (placement
// once, then only what changed, in order); the ring's fraction, also for an
// episode of no duration; and a chip built twice.
#include <gtest/gtest.h>

#include "ChipTestSupport.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/toolkit/OVCircleProgressionView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;
using chiptest::state;
using chiptest::Theme;
using Calls = std::vector<std::string>;

const std::string kMain = "style light rgba(0.10196078431372549,0.16862745098039217,0.23529411764705882,1)";
const std::string kRed = "style light rgba(1,0,0,1)";
const std::string kBlue = "style light rgba(0,0,1,1)";  // a state without a location theme
const Calls kPlaced{"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120"};

Calls placedThen(Calls more) {
    Calls all = kPlaced;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

// As the bridge does: one state, kept as the last state and handed to the
// observers.
void deliver(const std::shared_ptr<const OVState>& decoded) {
    OVWidgetManager::shared().setLastState(decoded);
    OVWidgetManager::shared().dispatch(decoded);
}
void deliver(const platform::core::Json& json) { deliver(std::make_shared<const OVState>(OVState::decode(json))); }

TEST(OVChipTest, TheStateManagerPlacesOnceThenPushesOnlyWhatChangedInOrder) {
    auto window = platform::ui::Window::create({390, 844}, 1);
    auto root = platform::ui::ViewController::create();
    window->setRootViewController(root);
    Orvane::shared().setRootController(root);
    const Theme plain{};
    Theme red{};
    red.mainColor = "#FF0000";
    const Theme big{"top_left", "big", 10, 30};
    struct Case {
        const char* name;
        std::vector<platform::core::Json> states;
        Calls calls;
    };
    const std::vector<Case> cases{
        {"first state: build, colour, place, colour again, then status and position",
         {state(big, "playing", 12, 240)},
         {"initialize 61", kMain, "display top_left 30 10", kMain, "status playing", "position 12/240"}},
        {"an equal state pushes nothing; a later corner or size is not applied",
         {state(plain), state(plain), state(big)},
         kPlaced},
        {"a new main colour; status and position compared on their own",
         {state(plain), state(red, "paused", 5)},
         placedThen({kRed, "position 5/120"})},
        {"paused twice pushes once; dropped, then paused again, pushes again",
         {state(plain), state(plain), state(plain, std::nullopt), state(plain)},
         placedThen({"status paused"})},
        {"the same time with a new duration",
         {state(plain), state(plain, "paused", 0, 60)},
         placedThen({"position 0/60"})},
        {"no location theme places nothing; placed later, no unchanged status or position",
         {state(std::nullopt), state(plain)},
         {kBlue, "status paused", "position 0/120", "initialize 49", kMain, "display bottom_right none none", kMain}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto chip = chiptest::RecordingChip::create();
        for (const auto& s : c.states) deliver(s);
        EXPECT_EQ(chip->calls, c.calls);
        EXPECT_EQ(chip->superview(), root->view());
        chip->removeFromSuperview();
    }
    // A manager whose chip is gone keeps recording and pushes nothing.
    deliver(state(plain, "loading", 7));
}

TEST(OVChipTest, TheStateManagerKeepsTheBridgesStateItselfUntilTheNext) {
    auto window = platform::ui::Window::create({390, 844}, 1);
    auto root = platform::ui::ViewController::create();
    window->setRootViewController(root);
    Orvane::shared().setRootController(root);
    auto chip = chiptest::RecordingChip::create();
    auto first = std::make_shared<const OVState>(OVState::decode(state(Theme{}, "playing", 3)));
    const std::weak_ptr<const OVState> handed = first;
    deliver(first);
    OVWidgetManager::shared().setLastState(std::shared_ptr<const OVState>());
    first.reset();
    EXPECT_FALSE(handed.expired()) << "the manager holds the very state it was handed, not a copy";

    // Compared with the state it holds: only the new status is pushed.
    chip->calls.clear();
    deliver(state(Theme{}, "paused", 3));
    EXPECT_TRUE(handed.expired());
    EXPECT_EQ(chip->calls, Calls{"status paused"});
}

TEST(OVChipTest, TheRingShowsTheFractionPlayedAlsoForAnEpisodeOfNoDuration) {
    auto chip = OVChip::create();
    chip->update(OVState::AudioPosition{30, 120});  // not built: nothing, no failure
    chip->initialize(49);
    struct Case {
        double time, duration;
        float ring;
    };
    const Case cases[] = {{30, 120, 0.25f}, {130, 120, 130.0f / 120.0f}, {10, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        chip->update(OVState::AudioPosition{c.time, c.duration});
        EXPECT_EQ(chip->circleProgressionView()->value(), c.ring) << c.time << "/" << c.duration;
    }
}

TEST(OVChipTest, AChipWhoseRootViewWentIsBuiltAndPlacedAgainWithOneSetOfParts) {
    auto firstWindow = platform::ui::Window::create({390, 844}, 1);
    auto firstRoot = platform::ui::ViewController::create();
    firstWindow->setRootViewController(firstRoot);
    Orvane::shared().setRootController(firstRoot);
    auto chip = OVChip::create();
    deliver(state(Theme{}));
    ASSERT_EQ(chip->superview(), firstRoot->view());
    const std::size_t subviews = chip->subviews().size(), layers = chip->layer()->sublayers().size();
    const auto firstDisc = chip->backgroundLayer();

    // The host drops its screen; the next state places the chip on the new one.
    firstWindow.reset();
    firstRoot.reset();
    EXPECT_FALSE(chip->superview());
    auto window = platform::ui::Window::create({390, 844}, 1);
    auto root = platform::ui::ViewController::create();
    window->setRootViewController(root);
    Orvane::shared().setRootController(root);
    deliver(state(Theme{"top_left", "big", 10, 30}, "playing"));
    ASSERT_EQ(chip->superview(), root->view());
    EXPECT_EQ(chip->subviews().size(), subviews);
    EXPECT_EQ(chip->layer()->sublayers().size(), layers);
    EXPECT_EQ(std::ranges::count(chip->layer()->sublayers(), firstDisc), 0);
    EXPECT_EQ(chip->constraints().size(), 4u);  // width, height, top, left
    window->layoutIfNeeded();
    EXPECT_EQ(chip->frame(), (platform::graphics::Rect{10, 30, 61, 61}));
}

TEST(OVChipTest, TheVerticalMarginCountsFromTheSafeAreaFromSystem11AndFromTheViewsEdgesBefore) {
    struct RestoreVersion {
        ~RestoreVersion() { platform::core::SystemVersion::setCurrent({}); }
    } restore;
    struct Case {
        platform::core::SystemVersion version;
        OVThemePosition position;
        platform::ui::Rect frame;
    };
    // A 390 x 844 screen with 47 points unsafe at the top and 34 at the
    // bottom; margins of 30 (vertical) and 10 (horizontal).
    const Case cases[] = {
        {{10, 3}, OVThemePosition::topLeft, {10, 30, 49, 49}},
        {{10, 3}, OVThemePosition::bottomRight, {390 - 10 - 49, 844 - 30 - 49, 49, 49}},
        {{11, 0}, OVThemePosition::topRight, {390 - 10 - 49, 47 + 30, 49, 49}},
        {{11, 0}, OVThemePosition::bottomLeft, {10, 844 - 34 - 30 - 49, 49, 49}},
        {{17, 0}, OVThemePosition::topLeft, {10, 47 + 30, 49, 49}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor) + " " +
                     std::string(rawValue(c.position)));
        platform::core::SystemVersion::setCurrent(c.version);
        auto window = platform::ui::Window::create({390, 844}, 1);
        window->setSafeAreaInsets({47, 0, 34, 0});
        auto root = platform::ui::ViewController::create();
        window->setRootViewController(root);
        auto chip = OVChip::create();
        chip->initialize(49);
        chip->display(root, c.position, 30, 10);
        window->layoutIfNeeded();
        EXPECT_EQ(chip->frame(), c.frame);
    }
}

}  // namespace
