// The chip's state manager, given states as the bridge delivers them: what
// it calls on its chip for each sequence of states (placement once, then
// only what changed, in order), and that it waits for the host's root view
// controller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChipTestSupport.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/ViewController.hpp"
#include "platform/ui/Window.hpp"

namespace {

using namespace orvane;
using chiptest::RecordingChip;
using chiptest::state;
using chiptest::Theme;
using Calls = std::vector<std::string>;

const std::string kMain = "style light rgba(0.10196078431372549,0.16862745098039217,0.23529411764705882,1)";
const std::string kRed = "style light rgba(1,0,0,1)";
const std::string kBlue = "style light rgba(0,0,1,1)";  // a state without a location theme

void deliver(const platform::core::Json& json) {
    const auto decoded = OVState::decode(json);
    OVWidgetManager::shared().setLastState(decoded);
    OVWidgetManager::shared().dispatch(decoded);
}

struct OVChipStateManagerTest : ::testing::Test {
    void SetUp() override {
        platform::core::RunLoop::main().useManualClock();
        window->setRootViewController(root);
        Orvane::shared().setRootController(root);
    }
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create({390, 844}, 1);
    std::shared_ptr<platform::ui::ViewController> root = platform::ui::ViewController::create();
};

TEST_F(OVChipStateManagerTest, EachStatePlacesOnceThenPushesOnlyWhatChangedInOrder) {
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
        {"the first state builds, colours, places, colours again, then status and position",
         {state(big, "playing", 12, 240)},
         {"initialize 61", kMain, "display top_left 30 10", kMain, "status playing", "position 12/240"}},
        {"no theme, corner or margins: the default chip at the bottom right",
         {state(plain)},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120"}},
        {"an equal state pushes nothing",
         {state(plain), state(plain)},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120"}},
        {"a new main colour pushes the style; status and position are compared on their own",
         {state(plain), state(red, "paused", 5)},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120", kRed,
          "position 5/120"}},
        {"paused twice pushes once; a dropped status, then paused again, pushes again",
         {state(plain, "paused"), state(plain, "paused"), state(plain, std::nullopt), state(plain, "paused")},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120",
          "status paused"}},
        {"the same time with a new duration is pushed",
         {state(plain, "paused", 0, 120), state(plain, "paused", 0, 60)},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120",
          "position 0/60"}},
        {"without a location theme nothing is placed; the first state with one places the chip, and gets no "
         "status or position that did not change",
         {state(std::nullopt), state(plain)},
         {kBlue, "status paused", "position 0/120", "initialize 49", kMain, "display bottom_right none none", kMain}},
        {"a later corner or size is not applied",
         {state(plain), state(big)},
         {"initialize 49", kMain, "display bottom_right none none", kMain, "status paused", "position 0/120"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto chip = RecordingChip::create();
        for (const auto& s : c.states) deliver(s);
        EXPECT_EQ(chip->calls, c.calls);
        EXPECT_EQ(chip->superview(), root->view());
        chip->removeFromSuperview();
    }
}

TEST_F(OVChipStateManagerTest, WithoutARootControllerTheFirstLaterStatePlacesTheChip) {
    Orvane::shared().setRootController(nullptr);
    auto chip = RecordingChip::create();
    deliver(state(Theme{}, "playing", 3));
    deliver(state(Theme{}, "playing", 4));
    EXPECT_FALSE(chip->superview());
    EXPECT_EQ(chip->calls, (Calls{kMain, "status playing", "position 3/120", "position 4/120"}));

    chip->calls.clear();
    Orvane::shared().setRootController(root);
    // The same status and position again: only the placement happens.
    deliver(state(Theme{}, "playing", 4));
    EXPECT_EQ(chip->calls, (Calls{"initialize 49", kMain, "display bottom_right none none"}));
    EXPECT_EQ(chip->superview(), root->view());

    // The bridge's last state re-applied through the chip: equal, so nothing.
    chip->calls.clear();
    chip->updateWithCurrentSate();
    EXPECT_TRUE(chip->calls.empty());
}

TEST_F(OVChipStateManagerTest, AManagerWhoseChipIsGoneRecordsStatesAndPushesNothing) {
    auto chip = RecordingChip::create();
    deliver(state(Theme{}));
    chip->removeFromSuperview();
    chip.reset();
    deliver(state(Theme{}, "playing", 9));  // nothing to push into, no failure
    auto next = RecordingChip::create();
    deliver(state(Theme{}, "playing", 9));
    EXPECT_EQ(next->calls.front(), "initialize 49");
}

}  // namespace
