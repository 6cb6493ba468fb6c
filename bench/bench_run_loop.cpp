// Cost of posting work to the main run loop and running it: immediate tasks,
// delayed tasks on a manual clock, and hand-offs from a serial queue.
#include <benchmark/benchmark.h>

#include <atomic>

#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"

using namespace platform::core;

static void BM_PostAndRun(benchmark::State& state) {
    RunLoop loop;
    const auto batch = static_cast<int>(state.range(0));
    long counter = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) loop.async([&counter] { ++counter; });
        loop.runUntilIdle();
    }
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostAndRun)->Arg(1)->Arg(64)->Arg(4096);

static void BM_DelayedPostAndAdvance(benchmark::State& state) {
    RunLoop loop;
    loop.useManualClock();
    const auto batch = static_cast<int>(state.range(0));
    long counter = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i) loop.asyncAfter(0.001 * (batch - i), [&counter] { ++counter; });
        loop.advance(0.001 * batch);
    }
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_DelayedPostAndAdvance)->Arg(64)->Arg(4096);

static void BM_SerialQueueToMain(benchmark::State& state) {
    auto& loop = RunLoop::main();
    auto queue = DispatchQueue::makeSerial("bench.serial");
    const auto batch = static_cast<int>(state.range(0));
    for (auto _ : state) {
        int received = 0;
        for (int i = 0; i < batch; ++i) {
            queue->async([&received] { DispatchQueue::main().async([&received] { ++received; }); });
        }
        loop.runUntil([&] { return received == batch; }, 10.0);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_SerialQueueToMain)->Arg(1024);

BENCHMARK_MAIN();
