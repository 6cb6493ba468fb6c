// The main page's state observer: each widget state delivered through the
// bridge calls on the page only the updates whose inputs changed since the
// state before, and only those whose new value is there.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "MainPageKit.hpp"

namespace {

using mainpage::WidgetState;
using testsupport::Calls;

TEST(OVMainPageStateManager, CallsOnlyTheUpdatesWhoseInputsChangedForRepeatedPartialAndReturningStates) {
    mainpage::freshStart();
    std::optional<mainpage::Shown<mainpage::RecordingMainPage>> shown;
    shown.emplace();
    auto& page = *shown->page;
    EXPECT_TRUE(page.calls.empty()) << "no state yet: nothing applied when the view loaded";

    const WidgetState playing{.track = "show-1", .time = 10, .recommendations = {"next", "later"}, .status = "playing",
                       .duration = 100};
    auto with = [](WidgetState given, auto change) {
        change(given);
        return given;
    };
    struct Step {
        std::string what;
        WidgetState state;
        Calls calls;
    };
    const std::vector<Step> steps{
        {"a first state with nothing but a theme", WidgetState{},
         {"theme(light, rgb(228,87,46))", "recommendations()"}},
        {"the same state again", WidgetState{}, {}},
        {"only the main colour", WidgetState{.mainColor = "#1A2B3C"}, {"theme(light, rgb(26,43,60))"}},
        {"an episode arrives, playing, with recommendations and a position", playing,
         {"theme(light, rgb(228,87,46))", "episode(show-1 in show)", "recommendations(next-1 in next, later-1 in later)",
          "status(playing)", "position(10, 100)"}},
        {"the same state again", playing, {}},
        {"only the duration", with(playing, [](WidgetState& s) { s.duration = 120; }), {"position(10, 120)"}},
        {"the same recommendations in another order",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}; }),
         {"recommendations(later-1 in later, next-1 in next)"}},
        {"the episode disappears (and with it the position)",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.track.reset(); }),
         {}},
        {"the same episode comes back",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}; }),
         {"episode(show-1 in show)", "position(10, 120)"}},
        {"the same episode key in another podcast",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.content = "other"; }),
         {"episode(show-1 in other)"}},
        {"the player loses its status",
         with(playing,
              [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.content = "other", s.status.reset(); }),
         {}},
        {"the status it had comes back",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.content = "other"; }),
         {"status(playing)"}},
        {"the position disappears",
         with(playing,
              [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.content = "other", s.time.reset(); }),
         {}},
        {"the player part disappears: no location, so no episode, colour or recommendations",
         with(playing, [](WidgetState& s) { s.player = false; }),
         {"theme(light, rgb(0,0,255))", "recommendations()"}},
        {"it comes back as it was",
         with(playing, [](WidgetState& s) { s.duration = 120, s.recommendations = {"later", "next"}, s.content = "other"; }),
         {"theme(light, rgb(228,87,46))", "episode(show-1 in other)", "recommendations(later-1 in later, next-1 in next)",
          "status(playing)", "position(10, 120)"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        page.calls.clear();
        mainpage::deliver(step.state);
        EXPECT_EQ(page.calls, step.calls);
    }

    // A page made after states have arrived shows the last one when its view
    // loads; its manager starts from nothing.
    mainpage::Shown<mainpage::RecordingMainPage> later;
    EXPECT_EQ(later.page->calls,
              (Calls{"theme(light, rgb(228,87,46))", "episode(show-1 in other)",
                     "recommendations(later-1 in later, next-1 in next)", "status(playing)", "position(10, 120)"}));

    // Once the page is gone, states still arrive and nothing breaks.
    std::weak_ptr<mainpage::RecordingMainPage> gone = shown->page;
    shown.reset();
    EXPECT_TRUE(gone.expired());
    later.page->calls.clear();
    mainpage::deliver(playing);
    EXPECT_EQ(later.page->calls, (Calls{"episode(show-1 in show)", "recommendations(next-1 in next, later-1 in later)", "position(10, 100)"}));
}

}  // namespace
