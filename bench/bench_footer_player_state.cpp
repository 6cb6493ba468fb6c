// The footer player's state manager given each new state of the widget, as
// the bridge hands it out (one shared, never-changed state): the states
// alternate in their position only, as while audio plays, so each delivery
// compares theme, episode, podcast, status and position and moves the
// bar's progress. For a typical state (about 10 KB of JSON) and a large one
// (about 200 KB); and the same delivery when nothing changed.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>

#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "support/StateBuilder.hpp"

namespace {

using orvane::OVState;
using orvane::OVWidgetManager;
using orvane::test::StateBuilder;

std::array<std::shared_ptr<const OVState>, 2> alternatingStates(StateBuilder builder, bool moving) {
    auto make = [&](double time) {
        builder.currentLocation(0).playingStatus("playing").currentTime(time);
        return std::make_shared<const OVState>(OVState::decode(builder.build()));
    };
    return {make(10), make(moving ? 20 : 10)};
}

// One bar, made once from its nib: its manager stays registered with the bridge.
void deliver(benchmark::State& bench, const std::array<std::shared_ptr<const OVState>, 2>& states) {
    static const auto bar = [] {
        platform::core::setDebugSink([](std::string_view) {});
        orvane::OVFooterPlayer::registerNib();
        return platform::ui::NibRegistry::shared().instantiateFirst<orvane::OVFooterPlayer>(
            std::string(orvane::OVFooterPlayer::NibName));
    }();
    if (!bar) {
        bench.SkipWithError("no footer player from its nib");
        return;
    }
    auto& bridge = OVWidgetManager::shared();
    std::size_t next = 0;
    for (auto _ : bench) {
        const auto& state = states[next++ % states.size()];
        bridge.setLastState(state);
        bridge.dispatch(state);
    }
    benchmark::DoNotOptimize(bar->progressView()->progress());
}

StateBuilder typical() { return StateBuilder().contents(4).tracksPerContent(4).locations(2); }
StateBuilder large() { return StateBuilder().contents(44).tracksPerContent(10).locations(6); }

void BM_FooterStatePosition_10KB(benchmark::State& bench) {
    static const auto states = alternatingStates(typical(), true);
    deliver(bench, states);
}
void BM_FooterStatePosition_200KB(benchmark::State& bench) {
    static const auto states = alternatingStates(large(), true);
    deliver(bench, states);
}
void BM_FooterStateUnchanged_200KB(benchmark::State& bench) {
    static const auto states = alternatingStates(large(), false);
    deliver(bench, states);
}
BENCHMARK(BM_FooterStatePosition_10KB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FooterStatePosition_200KB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FooterStateUnchanged_200KB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
