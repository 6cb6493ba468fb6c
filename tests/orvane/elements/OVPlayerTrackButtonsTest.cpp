// The transport buttons in the player row, as a listener taps them: what
// each player status shows, the skips switched off with the position, and
// where each tap goes (the coordinator, the widget's tracking on the
// reference widget page, the legacy bridge's events, the play haptic).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/ui/views/Application.hpp"
#include "support/ElementSnapshot.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"
#include "support/widget/WidgetPage.hpp"
#include "PlayerRowKit.hpp"

namespace {

using namespace orvane;
using platform::core::Json;
using platform::core::RunLoop;
using platform::graphics::Point;
using testsupport::Calls;

struct TrackButtonsTest : ::testing::Test {
    void SetUp() override {
        RunLoop::main().useManualClock();
        ASSERT_TRUE(row.cell);
        ASSERT_TRUE(row.buttons);
        row.cell->update(OVTheme::light, platform::graphics::Color{0.10, 0.35, 0.85, 1});
        row.cell->update(playerrow::episodeWithoutArtwork(), playerrow::podcast());
        row.cell->update(true);
    }

    // A tap in the middle of one of the row's buttons, through the window.
    void tap(testsupport::ShownCell& shown, const std::shared_ptr<platform::ui::View>& button) {
        const auto bounds = button->bounds();
        testsupport::tap(*shown.window, button->convertPoint({bounds.midX(), bounds.midY()}, nullptr));
        RunLoop::main().runUntilIdle();
    }

    testsupport::TempDocuments documents;
    playerrow::Row row;
};

TEST_F(TrackButtonsTest, EachStatusShowsItsButtonsAndTheSkipsFollowThePosition) {
    struct Case {
        OVAudioPlayerStatus status;
        bool play, pause, spinner;  // shown
    };
    const std::vector<Case> cases{
        {OVAudioPlayerStatus::loading, false, true, true},
        {OVAudioPlayerStatus::playing, false, true, false},
        {OVAudioPlayerStatus::paused, true, false, false},
        {OVAudioPlayerStatus::loading, false, true, true},
        {OVAudioPlayerStatus::paused, true, false, false},
    };
    auto& b = *row.buttons;
    // Before any status, the nib's own: play only.
    EXPECT_FALSE(b.playButton()->isHidden());
    EXPECT_TRUE(b.pauseButton()->isHidden());
    EXPECT_TRUE(b.spinAnimationView()->isHidden());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.status)));
        row.cell->update(c.status);
        EXPECT_EQ(!b.playButton()->isHidden(), c.play);
        EXPECT_EQ(!b.pauseButton()->isHidden(), c.pause);
        EXPECT_EQ(!b.spinAnimationView()->isHidden(), c.spinner);
        EXPECT_EQ(b.spinAnimationView()->circleShapeLayer()->animationKeys().size(), c.spinner ? 1u : 0u);
    }

    // The position fixed: the skips take no tap, play and pause still do.
    auto shown = testsupport::showCell(row.cell, 375, "player-buttons-fixed");
    row.cell->update(false);
    EXPECT_FALSE(b.backwardButton()->isEnabled());
    EXPECT_FALSE(b.forwardButton()->isEnabled());
    EXPECT_TRUE(b.playButton()->isEnabled());
    EXPECT_TRUE(b.pauseButton()->isEnabled());
    tap(shown, b.backwardButton());
    tap(shown, b.forwardButton());
    tap(shown, b.playButton());
    EXPECT_EQ(row.coordinator->calls, (Calls{"didTapPlay()"}));
    // A theme with any main colour gives the same images.
    row.cell->update(OVTheme::dark, platform::graphics::Color{1, 0, 0, 1});
    const auto dark = b.playButton()->image(platform::ui::ControlState::normal);
    row.cell->update(OVTheme::dark, platform::graphics::Color{0, 1, 0, 1});
    EXPECT_EQ(b.playButton()->image(platform::ui::ControlState::normal), dark);
    EXPECT_EQ(dark, OVTheme::dark.playImage());
    EXPECT_EQ(b.spinAnimationView()->color(), OVTheme::dark.spinAnimationColor());
}

TEST_F(TrackButtonsTest, PlayAndPauseReachTheCoordinatorAndTheWidgetOnlyPlayGivesAHaptic) {
    testsupport::WidgetPage page;
    page.injectListener();
    OVWidgetManager::shared().setWebView(page.view);
    auto shown = testsupport::showCell(row.cell, 375, "player-buttons-tracking");
    auto& application = platform::ui::Application::shared();

    struct Step {
        const char* name;
        OVAudioPlayerStatus status;  // what the player shows before the tap
        bool withDelegate;
        bool play;  // the play button, else the pause button
        Calls calls;
        int haptics;
        std::string tracking;
        platform::core::SystemVersion system{};
    };
    const std::vector<Step> steps{
        {"play", OVAudioPlayerStatus::paused, true, true, {"didTapPlay()"}, 1, "TRACK_MAIN_PLAY"},
        {"pause while loading", OVAudioPlayerStatus::loading, true, false, {"didTapPause()"}, 0, "TRACK_MAIN_PAUSE"},
        {"pause", OVAudioPlayerStatus::playing, true, false, {"didTapPause()"}, 0, "TRACK_MAIN_PAUSE"},
        {"play without delegate", OVAudioPlayerStatus::paused, false, true, {}, 1, "TRACK_MAIN_PLAY"},
        {"play on system 9: no haptic", OVAudioPlayerStatus::paused, true, true, {"didTapPlay()"}, 0, "TRACK_MAIN_PLAY",
         {9, 3}},
        {"play on system 10.0", OVAudioPlayerStatus::paused, true, true, {"didTapPlay()"}, 1, "TRACK_MAIN_PLAY", {10, 0}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        platform::core::SystemVersion::setCurrent(step.system);
        row.coordinator->calls.clear();
        row.buttons->setDelegate(step.withDelegate ? std::weak_ptr<OVPlayerUserActionDelegate>(row.coordinator)
                                                   : std::weak_ptr<OVPlayerUserActionDelegate>());
        row.cell->update(step.status);
        const std::size_t before = page.debug("actions").size();
        const int hapticsBefore = application.hapticFeedbackCount();
        tap(shown, step.play ? row.buttons->playButton() : row.buttons->pauseButton());
        widgettest::settle();
        EXPECT_EQ(row.coordinator->calls, step.calls);
        EXPECT_EQ(application.hapticFeedbackCount() - hapticsBefore, step.haptics);
        const Json actions = page.debug("actions");
        ASSERT_EQ(actions.size(), before + 1);
        EXPECT_EQ(actions.back(), step.tracking);
        // The buttons wait for the status to change what they show.
        EXPECT_EQ(row.buttons->playButton()->isHidden(), step.status != OVAudioPlayerStatus::paused);
    }
    platform::core::SystemVersion::setCurrent(platform::core::SystemVersion{});
    OVWidgetManager::shared().setWebView(nullptr);
}

TEST_F(TrackButtonsTest, SkipsReachTheCoordinatorAndSendTheirLegacyEvents) {
    testsupport::WidgetPage page;
    page.injectListener();
    page.evaluate(
        "var rewind = 'rewind', fastforward = 'fastforward';"
        "window.legacyPlayer = { calls: [], collectEvent: function () {"
        "  this.calls.push(Array.prototype.slice.call(arguments)); } }; 0");
    auto& legacy = OVWidgetManagerOLD::shared();
    const std::string player = legacy.player();
    legacy.setWebView(page.view);
    legacy.setPlayer("window.legacyPlayer");
    auto shown = testsupport::showCell(row.cell, 375, "player-buttons-skips");
    const int haptics = platform::ui::Application::shared().hapticFeedbackCount();

    tap(shown, row.buttons->backwardButton());
    tap(shown, row.buttons->forwardButton());
    row.buttons->setDelegate({});
    tap(shown, row.buttons->forwardButton());
    widgettest::settle();
    EXPECT_EQ(row.coordinator->calls, (Calls{"didTapBackward()", "didTapForward()"}));
    EXPECT_EQ(page.evaluate("window.legacyPlayer.calls"),
              Json::parse(R"([["rewind"], ["fastforward"], ["fastforward"]])"));
    EXPECT_EQ(platform::ui::Application::shared().hapticFeedbackCount(), haptics);

    legacy.setWebView(nullptr);
    legacy.setPlayer(player);
}

}  // namespace
