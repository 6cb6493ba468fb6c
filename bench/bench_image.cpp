// Artwork decoding and PNG encoding: every remote artwork is decoded once on
// arrival (JPEG or PNG of podcast-cover size), and snapshots are saved as PNG.
#include <benchmark/benchmark.h>

#include "platform/graphics/Image.hpp"
#include "platform/graphics/TestImages.hpp"

using platform::graphics::Image;

static void BM_DecodeJpegArtwork(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const auto bytes = testimages::jpeg(side, side, 7);
    for (auto _ : state) benchmark::DoNotOptimize(Image::fromData(bytes));
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_DecodeJpegArtwork)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

static void BM_DecodePngArtwork(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const auto bytes = testimages::png(side, side, 7);
    for (auto _ : state) benchmark::DoNotOptimize(Image::fromData(bytes));
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_DecodePngArtwork)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

static void BM_EncodePng750x1624(benchmark::State& state) {
    // A window of 375 x 812 points at scale 2.
    auto image = Image::fromPixels(750, 1624, testimages::rgbaPattern(750, 1624, 3), 2.0);
    for (auto _ : state) benchmark::DoNotOptimize(image->pngData());
}
BENCHMARK(BM_EncodePng750x1624)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
