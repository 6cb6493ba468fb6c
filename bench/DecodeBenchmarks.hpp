// The three measurements every decoding benchmark makes on one JSON text: a
// bare parse, parse + decode into `Record`, and decode alone from the parsed
// value.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "orvane/model/Decoding.hpp"
#include "platform/core/Json.hpp"

#include "PairedBaseline.hpp"

namespace decodebench {

inline void countBytes(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}

inline void parseOnly(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        auto json = platform::core::Json::parse(text);
        benchmark::DoNotOptimize(json);
    }
    countBytes(state, text);
}

// One parse + decode of `text`, the parsed value kept: what a decoding
// benchmark times, and the baseline other benchmarks time beside theirs.
template <class Record>
bool parseAndDecodeOnce(const std::string& text) {
    auto json = platform::core::Json::parse(text);
    auto decoded = orvane::decodeValue<Record>(json);
    benchmark::DoNotOptimize(decoded);
    return decoded.has_value();
}

template <class Record>
void parseAndDecode(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        if (!parseAndDecodeOnce<Record>(text)) state.SkipWithError("decoding failed");
    }
    countBytes(state, text);
}

// What becomes of the parsed value: kept for later (the bridge prints it
// after decoding), or handed over to the decoding, which takes its strings.
enum class ParsedValue { kept, handedOver };

// Parse + decode beside a bare parse of the same text, in the same run
// (register with UseManualTime; counters as in PairedBaseline.hpp).
template <class Record, ParsedValue parsed = ParsedValue::kept>
void parseAndDecodeBesideParse(benchmark::State& state, const std::string& text) {
    pairedbench::paired(
        state, 1,
        [&] {
            auto json = platform::core::Json::parse(text);
            auto decoded = parsed == ParsedValue::kept ? orvane::decodeValue<Record>(json)
                                                       : orvane::decodeValue<Record>(std::move(json));
            if (!decoded) std::abort();
            benchmark::DoNotOptimize(decoded);
        },
        [&] {
            auto json = platform::core::Json::parse(text);
            benchmark::DoNotOptimize(json);
        });
    countBytes(state, text);
}

template <class Record>
void decodeParsed(benchmark::State& state, const std::string& text) {
    const auto json = platform::core::Json::parse(text);
    for (auto _ : state) {
        auto decoded = orvane::decodeValue<Record>(json);
        benchmark::DoNotOptimize(decoded);
    }
}

}  // namespace decodebench
