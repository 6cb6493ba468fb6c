// The chip's state manager given each new state of the widget, as the bridge
// hands it out (one shared, never-changed state), beside the same delivery
// where the manager is handed a state it must copy to keep: the cost of a
// deep copy per delivery, for a typical state (about 10 KB of JSON) and a
// large one (about 200 KB). The two states alternate in their playing status
// and position, so each delivery pushes a change to the chip.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "orvane/coordinator/OVChip.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "support/StateBuilder.hpp"

namespace {

using orvane::OVState;
using orvane::OVWidgetManager;
using orvane::test::StateBuilder;

std::array<std::shared_ptr<const OVState>, 2> alternatingStates(StateBuilder builder) {
    auto make = [&](const char* status, double time) {
        builder.currentLocation(0).playingStatus(status).currentTime(time);
        return std::make_shared<const OVState>(OVState::decode(builder.build()));
    };
    return {make("playing", 10), make("paused", 20)};
}

// One chip, made once: its manager stays registered with the bridge.
void deliver(benchmark::State& bench, const std::array<std::shared_ptr<const OVState>, 2>& states, bool shared) {
    static const auto chip = [] {
        platform::core::setDebugSink([](std::string_view) {});
        return orvane::OVChip::create();
    }();
    auto& bridge = OVWidgetManager::shared();
    std::size_t next = 0;
    for (auto _ : bench) {
        const auto& state = states[next++ % states.size()];
        bridge.setLastState(state);
        if (shared) {
            bridge.dispatch(state);
        } else {
            bridge.dispatch(*state);
        }
    }
    benchmark::DoNotOptimize(chip.get());
}

const auto& typicalStates() {
    static const auto states = alternatingStates(StateBuilder().contents(4).tracksPerContent(4).locations(2));
    return states;
}
const auto& largeStates() {
    static const auto states = alternatingStates(StateBuilder().contents(44).tracksPerContent(10).locations(6));
    return states;
}

void BM_ChipStateShared_10KB(benchmark::State& bench) { deliver(bench, typicalStates(), true); }
void BM_ChipStateCopied_10KB(benchmark::State& bench) { deliver(bench, typicalStates(), false); }
void BM_ChipStateShared_200KB(benchmark::State& bench) { deliver(bench, largeStates(), true); }
void BM_ChipStateCopied_200KB(benchmark::State& bench) { deliver(bench, largeStates(), false); }
BENCHMARK(BM_ChipStateShared_10KB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChipStateCopied_10KB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChipStateShared_200KB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChipStateCopied_200KB)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
