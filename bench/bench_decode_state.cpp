// Decoding widget states ("stateUpdate" bodies) from JSON text into OVState,
// beside a bare parse of the same text: a typical state of about 10 KB and a
// large one of about 200 KB (many contents and episodes). The episodes'
// audio is in a Documents directory whose disk cache holds a few downloads,
// as on a device.
#include "orvane/widget/OVState.hpp"
#include "support/StateBuilder.hpp"

#include <benchmark/benchmark.h>

#include "DecodeBenchmarks.hpp"

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/FileManager.hpp"

namespace {

using orvane::test::StateBuilder;

// A temporary Documents directory whose audio cache holds two downloaded
// episodes of the states below; removed at exit.
struct Documents {
    std::filesystem::path root;
    Documents() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-bench-decode-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root = pattern;
        platform::core::FileManager::setDocumentsDirectory(root);
        orvane::OVAudioCache::save(platform::core::Data(1000, 1), "ep-0-1.mp3");
        orvane::OVAudioCache::save(platform::core::Data(1000, 2), "ep-3-2.mp3");
    }
    ~Documents() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};
const Documents documents;

const std::string& typicalText() {
    static const std::string text = StateBuilder::typical().dump();
    return text;
}

const std::string& largeText() {
    static const std::string text = StateBuilder::large().dump();
    return text;
}


// The derived getters an observer reads on every update.
void gettersOnLarge(benchmark::State& state) {
    const auto decoded = orvane::decodeValue<orvane::OVState>(platform::core::Json::parse(largeText()));
    for (auto _ : state) {
        auto track = decoded->currentTrack();
        auto following = decoded->followingTracks();
        auto position = decoded->audioPosition();
        auto color = decoded->mainColor();
        benchmark::DoNotOptimize(track);
        benchmark::DoNotOptimize(following);
        benchmark::DoNotOptimize(position);
        benchmark::DoNotOptimize(color);
    }
}

void BM_Parse_Typical10KB(benchmark::State& state) { decodebench::parseOnly(state, typicalText()); }
void BM_ParseAndDecodeState_Typical10KB(benchmark::State& state) { decodebench::parseAndDecode<orvane::OVState>(state, typicalText()); }
void BM_DecodeParsedState_Typical10KB(benchmark::State& state) { decodebench::decodeParsed<orvane::OVState>(state, typicalText()); }
void BM_Parse_Large200KB(benchmark::State& state) { decodebench::parseOnly(state, largeText()); }
void BM_ParseAndDecodeState_Large200KB(benchmark::State& state) { decodebench::parseAndDecode<orvane::OVState>(state, largeText()); }
void BM_DecodeParsedState_Large200KB(benchmark::State& state) { decodebench::decodeParsed<orvane::OVState>(state, largeText()); }
void BM_ParseAndDecodeBesideParse_Typical10KB(benchmark::State& state) { decodebench::parseAndDecodeBesideParse<orvane::OVState>(state, typicalText()); }
void BM_ParseAndDecodeBesideParse_Large200KB(benchmark::State& state) { decodebench::parseAndDecodeBesideParse<orvane::OVState>(state, largeText()); }
void BM_ParseAndDecodeHandedOverBesideParse_Large200KB(benchmark::State& state) {
    decodebench::parseAndDecodeBesideParse<orvane::OVState, decodebench::ParsedValue::handedOver>(state, largeText());
}
void BM_DerivedGetters_Large200KB(benchmark::State& state) { gettersOnLarge(state); }

}  // namespace

BENCHMARK(BM_Parse_Typical10KB);
BENCHMARK(BM_ParseAndDecodeState_Typical10KB);
BENCHMARK(BM_DecodeParsedState_Typical10KB);
BENCHMARK(BM_Parse_Large200KB);
BENCHMARK(BM_ParseAndDecodeState_Large200KB);
BENCHMARK(BM_DecodeParsedState_Large200KB);
BENCHMARK(BM_DerivedGetters_Large200KB);
// The budget's ratio, read from one run: parse + decode ÷ bare parse.
BENCHMARK(BM_ParseAndDecodeBesideParse_Typical10KB)->UseManualTime();
BENCHMARK(BM_ParseAndDecodeBesideParse_Large200KB)->UseManualTime();
BENCHMARK(BM_ParseAndDecodeHandedOverBesideParse_Large200KB)->UseManualTime();

BENCHMARK_MAIN();
