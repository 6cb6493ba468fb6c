// Measures an operation beside its baseline in the same benchmark: each
// iteration times a batch of the operation, then a batch of the baseline, so
// both see the same machine at the same moment. The iteration time reported
// is the operation's; the counters give the baseline's time per call
// ("baseline_us"), the ratio of the two ("ratio") and their difference
// ("extra_us"). Run with --benchmark_repetitions=7 to read medians.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>

namespace pairedbench {

using Clock = std::chrono::steady_clock;

inline double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// How the baseline is warmed before each timed batch: not at all, or by one
// untimed call right before it, so that it runs as it does in a loop of its
// own (caches and allocator as its previous call left them), whatever the
// operation did just before.
enum class BaselineWarmUp { none, oneCall };

template <class Operation, class Baseline>
void paired(benchmark::State& state, int batch, Operation&& operation, Baseline&& baseline,
            BaselineWarmUp warmUp = BaselineWarmUp::none) {
    double operationTotal = 0;
    double baselineTotal = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < batch; ++i) operation();
        const auto middle = Clock::now();
        if (warmUp == BaselineWarmUp::oneCall) baseline();
        const auto baselineStart = Clock::now();
        for (int i = 0; i < batch; ++i) baseline();
        const auto end = Clock::now();
        operationTotal += secondsBetween(start, middle);
        baselineTotal += secondsBetween(baselineStart, end);
        state.SetIterationTime(secondsBetween(start, middle) / batch);
    }
    const double calls = static_cast<double>(state.iterations()) * batch;
    if (calls == 0 || baselineTotal <= 0) return;
    state.counters["baseline_us"] = baselineTotal / calls * 1e6;
    state.counters["extra_us"] = (operationTotal - baselineTotal) / calls * 1e6;
    state.counters["ratio"] = operationTotal / baselineTotal;
}

}  // namespace pairedbench
