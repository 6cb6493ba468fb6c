// Artwork decoding and PNG encoding: every remote artwork is decoded once on
// arrival (JPEG or PNG of podcast-cover size), and snapshots are saved as PNG.
// Drawing an image far larger than its view: the first draw of an image
// converts it for Cairo once (a reduced copy, read straight from its pixels),
// and later draws of it reuse that.
#include <benchmark/benchmark.h>

#include "platform/graphics/Image.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/views/ImageView.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/Window.hpp"

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

namespace {

constexpr int vastWidth = 16384, vastHeight = 4096;

// A 200 x 200 point image view, aspect fit, alone in a window at scale 2.
struct SmallView {
    std::shared_ptr<platform::ui::Window> window = platform::ui::Window::create({200, 200}, 2);
    std::shared_ptr<platform::ui::ImageView> view = platform::ui::ImageView::create(platform::ui::Rect{0, 0, 200, 200});

    SmallView() {
        view->setContentMode(platform::ui::ContentMode::scaleAspectFit);
        window->setRootView(view);
        window->layoutIfNeeded();
    }
};

std::vector<std::uint8_t> vastPixels() {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(vastWidth) * vastHeight * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 24);
    return rgba;
}

}  // namespace

// Each draw shows a new image (new pixels), so each converts.
static void BM_DrawVastImageInSmallView_FirstDraw(benchmark::State& state) {
    const auto pixels = vastPixels();
    SmallView small;
    for (auto _ : state) {
        state.PauseTiming();
        small.view->setImage(std::nullopt);
        auto image = Image::fromPixels(vastWidth, vastHeight, pixels);
        state.ResumeTiming();
        small.view->setImage(std::move(image));
        benchmark::DoNotOptimize(platform::ui::Renderer::render(*small.window));
    }
}
BENCHMARK(BM_DrawVastImageInSmallView_FirstDraw)->Unit(benchmark::kMillisecond);

// The same image drawn again and again.
static void BM_DrawVastImageInSmallView_LaterDraws(benchmark::State& state) {
    SmallView small;
    small.view->setImage(Image::fromPixels(vastWidth, vastHeight, vastPixels()));
    benchmark::DoNotOptimize(platform::ui::Renderer::render(*small.window));
    for (auto _ : state) benchmark::DoNotOptimize(platform::ui::Renderer::render(*small.window));
}
BENCHMARK(BM_DrawVastImageInSmallView_LaterDraws)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
