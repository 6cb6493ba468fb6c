// Decoding content sets (contents with episodes, as the widget's state
// carries them) from JSON text, beside a bare parse of the same text.
#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVContent.hpp"
#include "support/StateBuilder.hpp"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

using orvane::test::StateBuilder;

std::string contentSetText(int contents, int tracks) {
    return StateBuilder().contents(contents).tracksPerContent(tracks).locations(0).build()["contents"].dump();
}

const std::string& smallSet() {
    static const std::string text = contentSetText(1, 6);  // about 3 KB
    return text;
}

const std::string& largeSet() {
    static const std::string text = contentSetText(33, 10);  // about 150 KB
    return text;
}

void parseOnly(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto json = platform::core::Json::parse(text);
        benchmark::DoNotOptimize(json);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void parseAndDecode(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto json = platform::core::Json::parse(text);
        auto contents = orvane::decodeValue<std::map<std::string, orvane::OVContent>>(json);
        if (!contents) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(contents);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void decodeOnly(benchmark::State& state, const std::string& text) {
    const auto json = platform::core::Json::parse(text);
    for (auto _ : state) {
        auto contents = orvane::decodeValue<std::map<std::string, orvane::OVContent>>(json);
        benchmark::DoNotOptimize(contents);
    }
}

void BM_Parse_3KB(benchmark::State& state) { parseOnly(state, smallSet()); }
void BM_ParseAndDecode_3KB(benchmark::State& state) { parseAndDecode(state, smallSet()); }
void BM_DecodeParsed_3KB(benchmark::State& state) { decodeOnly(state, smallSet()); }
void BM_Parse_150KB(benchmark::State& state) { parseOnly(state, largeSet()); }
void BM_ParseAndDecode_150KB(benchmark::State& state) { parseAndDecode(state, largeSet()); }
void BM_DecodeParsed_150KB(benchmark::State& state) { decodeOnly(state, largeSet()); }

}  // namespace

BENCHMARK(BM_Parse_3KB);
BENCHMARK(BM_ParseAndDecode_3KB);
BENCHMARK(BM_DecodeParsed_3KB);
BENCHMARK(BM_Parse_150KB);
BENCHMARK(BM_ParseAndDecode_150KB);
BENCHMARK(BM_DecodeParsed_150KB);

BENCHMARK_MAIN();
