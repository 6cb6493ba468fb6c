// Disk cache hot paths: a lookup that hits (audio and image entries), a lookup
// that misses, and the age sweep over a cache folder of 1,000 entries. Lookups
// are measured with a populated folder (100 entries), beside their baselines
// in the same run: an audio hit beside an open + read of the same entry file,
// a miss beside a plain stat of the missing file (counters baseline_us and
// ratio; see PairedBaseline.hpp).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/graphics/TestImages.hpp"

#include "PairedBaseline.hpp"

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

// The baseline of a hit: the whole file read into a buffer, as anyone would.
platform::core::Data openAndRead(const std::string& path) {
    platform::core::Data bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) std::abort();
    struct stat info {};
    if (::fstat(fd, &info) != 0) std::abort();
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

}  // namespace

static void BM_AudioLookupHit(benchmark::State& state) {
    fillAudioFolder(100);
    const platform::core::Data payload(static_cast<std::size_t>(state.range(0)), 0x42);
    OVAudioCache::cache(payload, "episode.mp3");
    const std::string file = (*OVAudioCache::subdirectory() / "episode.mp3").string();
    pairedbench::paired(
        state, 8,
        [] {
            auto found = OVAudioCache::find("episode.mp3");
            if (!found) std::abort();
            benchmark::DoNotOptimize(found);
        },
        [&] {
            auto bytes = openAndRead(file);
            benchmark::DoNotOptimize(bytes);
        });
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_AudioLookupHit)->Arg(10'000)->Arg(1'000'000)->UseManualTime();

static void BM_AudioLookupMiss(benchmark::State& state) {
    fillAudioFolder(100);
    const std::string file = (*OVAudioCache::subdirectory() / "not-there.mp3").string();
    pairedbench::paired(
        state, 16,
        [] {
            auto found = OVAudioCache::find("not-there.mp3");
            benchmark::DoNotOptimize(found);
        },
        [&] {
            struct stat info {};
            benchmark::DoNotOptimize(::stat(file.c_str(), &info));
        });
}
BENCHMARK(BM_AudioLookupMiss)->UseManualTime();

// What an episode asks while a state decodes.
static void BM_AudioIsDownloaded(benchmark::State& state) {
    fillAudioFolder(100);
    const std::string file = (*OVAudioCache::download() / "ep-3-4.mp3").string();
    pairedbench::paired(
        state, 16, [] { benchmark::DoNotOptimize(OVAudioCache::isDownloaded("ep-3-4.mp3")); },
        [&] {
            struct stat info {};
            benchmark::DoNotOptimize(::stat(file.c_str(), &info));
        });
}
BENCHMARK(BM_AudioIsDownloaded)->UseManualTime();

static void BM_ImageLookupHit(benchmark::State& state) {
    documents();
    auto image = platform::graphics::Image::fromData(testimages::png(300, 300, 1));
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
