// Cost of one widget state for a podcast page while it shows (on a screen, in
// a window): the bridge hands the state to the page's state manager, which
// compares it with the last one and, when the player status changed, passes
// it to the episode list's rows; then the window's layout pass. The widget
// posts a state at every position tick, so the unchanged case (comparison
// only) is the common one.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/pages/OVPodcastPage.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/StateBuilder.hpp"

using namespace orvane;

namespace {

std::shared_ptr<const OVState> makeState(const std::string& status, double time) {
    auto json =
        test::StateBuilder().contents(4).tracksPerContent(8).locations(2).playingStatus(status).currentTime(time).build();
    return std::make_shared<const OVState>(OVState::decode(json));
}

struct ShownPage {
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<testsupport::RecordingFanViewController> fan;
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<OVPodcastPage> page;

    ShownPage() {
        platform::core::RunLoop::main().useManualClock();
        installLayerHooks();
        OVElementNibs::registerAll();
        const auto first = makeState("playing", 1);
        OVWidgetManager::shared().setLastState(first);
        page = OVPage::create<OVPodcastPage>(coordinator);
        page->updateWithCurrentState();
        auto podcast = first->currentContent().value_or(OVContent{});
        // Without artwork addresses: nothing is loaded while measuring.
        if (podcast.description) podcast.description->image.reset();
        for (const auto& track : podcast.tracks.value_or(std::vector<std::shared_ptr<OVTrack>>{})) {
            auto description = track->description().value_or(OVObjDescription{});
            description.image.reset();
            track->setDescription(description);
        }
        page->update(podcast);
        window = platform::ui::Window::create({375, 812});
        fan = testsupport::RecordingFanViewController::create();
        window->setRootViewController(fan);
        const auto screen = fan->hold(page);
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
        window->layoutIfNeeded();
        platform::core::RunLoop::main().runUntilIdle();
    }
};

void BM_PodcastPageStatusChange(benchmark::State& state) {
    ShownPage shown;
    const std::vector<std::shared_ptr<const OVState>> states{makeState("paused", 2), makeState("playing", 3)};
    auto& bridge = OVWidgetManager::shared();
    std::size_t tick = 0;
    for (auto _ : state) {
        bridge.dispatch(states[tick++ % states.size()]);
        shown.window->layoutIfNeeded();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PodcastPageStatusChange);

void BM_PodcastPageUnchangedState(benchmark::State& state) {
    ShownPage shown;
    const std::vector<std::shared_ptr<const OVState>> states{makeState("playing", 2), makeState("playing", 2.5)};
    auto& bridge = OVWidgetManager::shared();
    std::size_t tick = 0;
    for (auto _ : state) {
        bridge.dispatch(states[tick++ % states.size()]);
        shown.window->layoutIfNeeded();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PodcastPageUnchangedState);

}  // namespace

BENCHMARK_MAIN();
