// Disk cache hot paths: a lookup that hits (audio and image entries), a lookup
// that misses, and the age sweep over a cache folder of 1,000 entries. Every
// lookup also sweeps its folder, so lookups are measured with a populated one.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/ui/TestImages.hpp"

using namespace orvane;
namespace fs = std::filesystem;

namespace {

// A temporary Documents directory for the whole run, removed at exit.
struct Documents {
    fs::path root;
    Documents() {
        std::string pattern = (fs::temp_directory_path() / "orvane-bench-cache-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        platform::core::FileManager::setDocumentsDirectory(root);
    }
    ~Documents() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

Documents& documents() {
    static Documents instance;
    return instance;
}

void fillAudioFolder(int entries) {
    documents();
    const platform::core::Data small(1000, 0x5a);
    for (int i = 0; i < entries; ++i) OVAudioCache::cache(small, "filler-" + std::to_string(i) + ".mp3");
}

}  // namespace

static void BM_AudioLookupHit(benchmark::State& state) {
    fillAudioFolder(100);
    const platform::core::Data payload(static_cast<std::size_t>(state.range(0)), 0x42);
    OVAudioCache::cache(payload, "episode.mp3");
    for (auto _ : state) {
        auto found = OVAudioCache::find("episode.mp3");
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_AudioLookupHit)->Arg(10'000)->Arg(1'000'000);

static void BM_AudioLookupMiss(benchmark::State& state) {
    fillAudioFolder(100);
    for (auto _ : state) {
        auto found = OVAudioCache::find("not-there.mp3");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_AudioLookupMiss);

static void BM_ImageLookupHit(benchmark::State& state) {
    documents();
    auto image = platform::ui::Image::fromData(testimages::png(300, 300, 1));
    OVImageCache::cache(*image, "cover.png");
    for (auto _ : state) {
        auto found = OVImageCache::find("cover.png");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_ImageLookupHit);

static void BM_AgeSweep1000Entries(benchmark::State& state) {
    fillAudioFolder(1000);
    for (auto _ : state) OVAudioCache::flush();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1000);
}
BENCHMARK(BM_AgeSweep1000Entries);

static void BM_KeyToFileName(benchmark::State& state) {
    const std::string key = "episode-12-of-the-long-running-show.mp3";
    for (auto _ : state) benchmark::DoNotOptimize(cacheFileName(key));
}
BENCHMARK(BM_KeyToFileName);

BENCHMARK_MAIN();
