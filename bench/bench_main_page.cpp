// Cost of the main page's response to one widget state while it shows: the
// bridge hands the decoded state to the page's state manager, which compares
// it with the last one and updates only the rows whose inputs changed, then
// the window makes its layout pass. During playback a state usually differs
// from the one before only by its position (the player row's slider and
// time labels); a new episode also changes the theme colour, the player,
// description, recommendation and current-podcast rows, the status and the
// recommendations (one batch of table updates). A state equal to the last
// one only costs the comparisons. Decoding is not included (see
// bench_decode_state).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/model/Decoding.hpp"
#include "orvane/pages/OVMainPage.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/StateBuilder.hpp"

using namespace orvane;
using platform::core::Json;

namespace {

// No artwork addresses: nothing is fetched while the rows are dressed.
void dropImages(Json& json) {
    if (json.is_object()) {
        json.erase("imgSrc");
        for (auto& [key, value] : json.items()) dropImages(value);
    } else if (json.is_array()) {
        for (auto& value : json) dropImages(value);
    }
}

std::shared_ptr<const OVState> makeState(int location, double time, const std::string& status) {
    auto json = test::StateBuilder().contents(4).tracksPerContent(4).locations(2).recommendationsPerLocation(2)
                    .currentLocation(location).currentTime(time).playingStatus(status).build();
    dropImages(json);
    if (location == 1) json["locations"]["location-1"]["theme"]["mainColor"] = "#1A5AD8";
    auto state = decodeValue<OVState>(json);
    return state ? std::make_shared<const OVState>(std::move(*state)) : nullptr;
}

struct ShownPage {
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<testsupport::RecordingFanViewController> fan = testsupport::RecordingFanViewController::create();
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create({375, 667});
    std::shared_ptr<OVMainPage> page;

    ShownPage() {
        platform::core::RunLoop::main().useManualClock();
        installLayerHooks();
        OVElementNibs::registerAll();
        OVWidgetManager::shared().setLastState(std::shared_ptr<const OVState>{});
        page = OVPage::create<OVMainPage>(coordinator);
        page->setNavigationBarButtonIsDisplayed({true, true});
        window->setRootViewController(fan);
        fan->hold(page);
        window->layoutIfNeeded();
        deliver(makeState(0, 1, "playing"));
        platform::core::RunLoop::main().advance(1);
    }

    void deliver(const std::shared_ptr<const OVState>& state) {
        OVWidgetManager::shared().setLastState(state);
        OVWidgetManager::shared().dispatch(state);
        window->layoutIfNeeded();
    }
};

void BM_MainPagePositionTick(benchmark::State& state) {
    ShownPage shown;
    std::vector<std::shared_ptr<const OVState>> ticks;
    for (int i = 0; i < 64; ++i) ticks.push_back(makeState(0, 2 + 0.5 * i, "playing"));
    std::size_t tick = 0;
    for (auto _ : state) {
        shown.deliver(ticks[tick % ticks.size()]);
        ++tick;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MainPagePositionTick);

void BM_MainPageNewEpisode(benchmark::State& state) {
    ShownPage shown;
    const std::shared_ptr<const OVState> states[] = {makeState(1, 30, "loading"), makeState(0, 10, "playing")};
    int tick = 0;
    for (auto _ : state) {
        shown.deliver(states[tick % 2]);
        ++tick;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MainPageNewEpisode);

void BM_MainPageSameState(benchmark::State& state) {
    ShownPage shown;
    const auto same = makeState(0, 5, "playing");
    shown.deliver(same);
    for (auto _ : state) shown.deliver(same);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MainPageSameState);

}  // namespace

BENCHMARK_MAIN();
