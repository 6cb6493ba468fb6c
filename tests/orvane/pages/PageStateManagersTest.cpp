// The podcast and episode pages follow the widget state through their state
// managers: brought up to date from the bridge's last state, then told of
// each delivered state only what changed (theme or colour, the current
// episode with its podcast, the player status), in that order; after the
// page is gone nothing is called and nothing is kept.
#include <gtest/gtest.h>

#include "orvane/pages/OVEpisodePage.hpp"
#include "orvane/pages/OVEpisodePageStateManager.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/pages/OVPodcastPageStateManager.hpp"
#include "PodcastEpisodePageKit.hpp"

namespace {

using namespace orvane;
using pagekit::StateSpec;
using testsupport::Calls;

template <class Page>
class PageStateManagers : public ::testing::Test {};

using Pages = ::testing::Types<OVPodcastPage, OVEpisodePage>;
TYPED_TEST_SUITE(PageStateManagers, Pages);

TYPED_TEST(PageStateManagers, OnlyWhatChangedReachesThePageInOrder) {
    pagekit::Setting setting;
    const auto coordinator = testsupport::RecordingCoordinator::create();
    const std::string red = "#E4572E", blue = "#1A2B3C";  // red channels 228 and 26

    pagekit::deliver(pagekit::state({}));  // before the page exists
    auto page = OVPage::create<pagekit::HearingPage<TypeParam>>(coordinator);
    const auto stateManager = page->stateManager();
    ASSERT_NE(stateManager, nullptr);

    // Brought up to date: everything the last state has, once.
    page->updateWithCurrentState();
    EXPECT_EQ(page->heard, (Calls{"theme(228)", "episode(ep-0-0 in content-0)", "status(playing)"}));
    page->heard.clear();
    page->updateWithCurrentState();
    EXPECT_TRUE(page->heard.empty());

    struct Step {
        std::string name;
        StateSpec spec;
        Calls heard;
    };
    const std::vector<Step> steps{
        {"the same state again", {}, {}},
        {"another episode, its podcast missing", {.track = "ep-0-1", .withContent = false}, {}},
        {"that episode with its podcast", {.track = "ep-0-1"}, {"episode(ep-0-1 in content-0)"}},
        {"the player without a status", {.track = "ep-0-1", .status = std::nullopt}, {}},
        {"the status back as it was", {.track = "ep-0-1", .status = "playing"}, {"status(playing)"}},
        {"colour and status", {.track = "ep-0-1", .status = "paused", .mainColor = blue},
         {"theme(26)", "status(paused)"}},
        {"all three", {.track = "ep-0-0", .status = "loading", .mainColor = red},
         {"theme(228)", "episode(ep-0-0 in content-0)", "status(loading)"}},
        {"no episode at all", {.track = std::nullopt, .status = "loading", .mainColor = red}, {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        page->heard.clear();
        pagekit::deliver(pagekit::state(step.spec));
        EXPECT_EQ(page->heard, step.heard);
        EXPECT_EQ(stateManager->lastUpdateState(), OVWidgetManager::shared().lastState())
            << "the bridge's state is kept, not a copy";
    }

    // Gone: later states reach the manager, call nothing and are not kept.
    page.reset();
    pagekit::deliver(pagekit::state({}));
    EXPECT_EQ(stateManager->page(), nullptr);
    EXPECT_EQ(stateManager->lastUpdateState(), nullptr);
    stateManager->updateWithCurrentState();
}

}  // namespace
