// Decoding content sets (contents with episodes, as the widget's state
// carries them) from JSON text, beside a bare parse of the same text.
#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVContent.hpp"
#include "support/StateBuilder.hpp"

#include <benchmark/benchmark.h>

#include "DecodeBenchmarks.hpp"

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

using Contents = std::map<std::string, orvane::OVContent>;

void BM_Parse_3KB(benchmark::State& state) { decodebench::parseOnly(state, smallSet()); }
void BM_ParseAndDecode_3KB(benchmark::State& state) { decodebench::parseAndDecode<Contents>(state, smallSet()); }
void BM_DecodeParsed_3KB(benchmark::State& state) { decodebench::decodeParsed<Contents>(state, smallSet()); }
void BM_Parse_150KB(benchmark::State& state) { decodebench::parseOnly(state, largeSet()); }
void BM_ParseAndDecode_150KB(benchmark::State& state) { decodebench::parseAndDecode<Contents>(state, largeSet()); }
void BM_DecodeParsed_150KB(benchmark::State& state) { decodebench::decodeParsed<Contents>(state, largeSet()); }

}  // namespace

BENCHMARK(BM_Parse_3KB);
BENCHMARK(BM_ParseAndDecode_3KB);
BENCHMARK(BM_DecodeParsed_3KB);
BENCHMARK(BM_Parse_150KB);
BENCHMARK(BM_ParseAndDecode_150KB);
BENCHMARK(BM_DecodeParsed_150KB);

BENCHMARK_MAIN();
