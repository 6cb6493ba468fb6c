// The now-playing work done for every widget state while audio plays: the
// state observer comparing a new state with the last one (position-only
// change, and no change at all) on a typical and a large state, and the
// publication of elapsed time and duration.
#include "orvane/playback/OVNowPlaying.hpp"
#include "orvane/playback/OVNowPlayingStateManager.hpp"
#include "orvane/widget/OVState.hpp"
#include "support/StateBuilder.hpp"

#include <benchmark/benchmark.h>

namespace {

using orvane::OVState;
using orvane::test::StateBuilder;

// Episodes without images: no artwork load goes to the network.
OVState stateAt(StateBuilder builder, double time) {
    auto json = builder.currentLocation(0).currentTime(time).build();
    for (auto& [key, content] : json["contents"].items())
        for (auto& track : content["tracks"]) track["description"].erase("imgSrc");
    return OVState::decode(json);
}

StateBuilder typical() { return StateBuilder().contents(4).tracksPerContent(4).locations(2); }
StateBuilder large() { return StateBuilder().contents(44).tracksPerContent(10).locations(6); }

// Two states that differ only in the position, delivered alternately: each
// delivery pushes elapsed time and duration.
void positionChanges(benchmark::State& state, StateBuilder builder) {
    auto nowPlaying = orvane::OVNowPlaying::create();
    const OVState states[2] = {stateAt(builder, 10.0), stateAt(builder, 10.5)};
    auto& manager = *nowPlaying->stateManager();
    std::size_t next = 0;
    for (auto _ : state) {
        manager.didReceive(states[next]);
        next ^= 1;
    }
}

// The same state again and again: nothing is pushed.
void unchangedStates(benchmark::State& state, StateBuilder builder) {
    auto nowPlaying = orvane::OVNowPlaying::create();
    const OVState same = stateAt(builder, 10.0);
    auto& manager = *nowPlaying->stateManager();
    for (auto _ : state) manager.didReceive(same);
}

void publishElapsedTime(benchmark::State& state) {
    auto nowPlaying = orvane::OVNowPlaying::create();
    nowPlaying->update("Épisode 12 : une histoire du fleuve", std::nullopt, true);
    double time = 0;
    for (auto _ : state) {
        nowPlaying->updateTime(time, 3600.0);
        time += 0.5;
    }
}

BENCHMARK_CAPTURE(positionChanges, typical, typical());
BENCHMARK_CAPTURE(positionChanges, large, large());
BENCHMARK_CAPTURE(unchangedStates, typical, typical());
BENCHMARK_CAPTURE(unchangedStates, large, large());
BENCHMARK(publishElapsedTime);

}  // namespace

BENCHMARK_MAIN();
