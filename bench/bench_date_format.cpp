// Cost of an episode row's date as the row makes it each time it is handed
// out: a new formatter in the current locale and zone, its pattern from the
// "ddMMMM" skeleton, one date formatted and upper-cased; and the same with
// the formatter kept, for comparison. Also the phone faces' lookup through
// the substitution table against a face found by its own name.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/core/Date.hpp"
#include "platform/ui/text/DateFormatter.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/Locale.hpp"
#include "platform/ui/text/TimeZone.hpp"

namespace {

using namespace platform::ui;

constexpr platform::core::Date august15{1723723200};

void pin() {
    Locale::setCurrent(Locale{"fr_FR"});
    TimeZone::setCurrent(TimeZone{"Europe/Paris"});
}

void BM_DateBySkeletonNewFormatterEachTime(benchmark::State& state) {
    pin();
    for (auto _ : state) {
        DateFormatter formatter;
        formatter.setLocalizedDateFormatFromTemplate("ddMMMM");
        benchmark::DoNotOptimize(uppercased(formatter.string(august15)));
    }
}
BENCHMARK(BM_DateBySkeletonNewFormatterEachTime)->Unit(benchmark::kMicrosecond);

void BM_DateBySkeletonKeptFormatter(benchmark::State& state) {
    pin();
    DateFormatter formatter;
    formatter.setLocalizedDateFormatFromTemplate("ddMMMM");
    for (auto _ : state) benchmark::DoNotOptimize(uppercased(formatter.string(august15)));
}
BENCHMARK(BM_DateBySkeletonKeptFormatter)->Unit(benchmark::kMicrosecond);

void BM_FontByOwnName(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Font::named("Lato-Semibold", 15));
}
BENCHMARK(BM_FontByOwnName)->Unit(benchmark::kMicrosecond);

void BM_FontThroughTheSubstitutionTable(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Font::named("AvenirNext-DemiBold", 15));
}
BENCHMARK(BM_FontThroughTheSubstitutionTable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
