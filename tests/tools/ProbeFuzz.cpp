// A fuzzing driver over the probe: media files of every kind the player
// opens (and files that lie about themselves) are mutated at random, and each
// mutant is probed whole and as a prefix of itself, the way a stream's first
// bytes are. Any input whose probe takes longer than the budget, or a process
// whose memory grows past its budget, stops the run; the input is written out
// so that it can be replayed.
//
//   orvane_probe_fuzz [--seconds N] [--seed S] [--max-ms M] [--max-rss-mb R]
//                     [--out DIR] [FILE...]
//
// FILEs are replayed (one probe each, whole and as prefixes) instead of
// fuzzing: a crash or a slow input found earlier. Built with the sanitizer
// build it also finds what AddressSanitizer and UndefinedBehaviorSanitizer
// see. A short run is part of the test suite; run it longer by hand.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/MediaProbe.hpp"
#include "support/EncodedMedia.hpp"
#include "support/MediaFiles.hpp"

namespace {

using platform::core::Data;
using Clock = std::chrono::steady_clock;
namespace t = orvane::testing;

struct Options {
    double seconds = 10;
    unsigned seed = 0;
    double maxMs = 2000;
    long maxRssMb = 1024;
    std::string out = ".";
    std::vector<std::string> replay;
};

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

std::vector<Data> seeds() {
    std::vector<Data> all = {
        t::makeWav(0.5),
        t::makeTone(0.3, 440, 44100, 2),
        t::makeMp3(12),
        t::makeMp3(8, 3000),
        t::makeMp4(44100, 44100, 4000),
        t::makeMp4(44100, 44100, 4000, true, true),
        t::makeWavClaiming(1'447'297'058, 1),
        t::makeWavClaiming(48000, 65535),
    };
    for (const auto* kind : {&t::kCbrMp3, &t::kVbrMp3Xing, &t::kM4aMovieFirst, &t::kM4aMovieLast, &t::kOggOpus,
                             &t::kAdtsAac, &t::kFlac}) {
        Data bytes = kind->make();
        if (bytes.empty()) continue;  // no ffmpeg tool: the files of our own only
        // The first 24 KB: the headers and the first packets, where the probe reads.
        if (bytes.size() > 24 * 1024 && kind != &t::kM4aMovieLast) bytes.resize(24 * 1024);
        all.push_back(std::move(bytes));
    }
    return all;
}

// One to eight random edits, biased towards the headers.
Data mutate(const Data& from, std::mt19937& random) {
    Data d = from;
    auto pick = [&](std::size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    auto offset = [&] {
        // Half the edits land in the first 256 bytes.
        return random() % 2 ? pick(std::min<std::size_t>(d.size(), 256)) : pick(d.size());
    };
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits && !d.empty(); ++i) {
        switch (random() % 7) {
            case 0:
                d[offset()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                break;
            case 1:
                d[offset()] = static_cast<std::uint8_t>(random());
                break;
            case 2: {
                static constexpr std::uint32_t kInteresting[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF,
                                                                 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x56432C22};
                const std::uint32_t value = kInteresting[random() % std::size(kInteresting)];
                const std::size_t at = offset();
                const std::size_t width = std::min<std::size_t>({std::size_t{1} << (random() % 3), d.size() - at});
                const bool bigEndian = random() % 2;
                for (std::size_t b = 0; b < width; ++b)
                    d[at + b] = static_cast<std::uint8_t>(value >> (8 * (bigEndian ? width - 1 - b : b)));
                break;
            }
            case 3:
                d.resize(1 + pick(d.size()));
                break;
            case 4: {
                const std::size_t at = offset();
                const std::size_t n = 1 + pick(std::min<std::size_t>(64, d.size() - at));
                d.erase(d.begin() + static_cast<std::ptrdiff_t>(at), d.begin() + static_cast<std::ptrdiff_t>(at + n));
                break;
            }
            case 5: {
                const std::size_t from = pick(d.size());
                const std::size_t n = 1 + pick(std::min<std::size_t>(256, d.size() - from));
                const Data chunk(d.begin() + static_cast<std::ptrdiff_t>(from),
                                 d.begin() + static_cast<std::ptrdiff_t>(from + n));
                d.insert(d.begin() + static_cast<std::ptrdiff_t>(offset()), chunk.begin(), chunk.end());
                break;
            }
            default: {
                const std::size_t at = offset();
                d.insert(d.begin() + static_cast<std::ptrdiff_t>(at), 1 + random() % 16,
                         static_cast<std::uint8_t>(random()));
                break;
            }
        }
    }
    return d;
}

// Probes `bytes` whole and as a prefix; the milliseconds the slower took.
double probeOnce(const Data& bytes, std::size_t prefix) {
    const auto length = static_cast<std::int64_t>(bytes.size());
    const auto start = Clock::now();
    (void)platform::media::probeMedia(bytes, length);
    const auto whole = Clock::now();
    (void)platform::media::probeMedia(std::span(bytes).first(std::min(prefix, bytes.size())), length);
    const auto end = Clock::now();
    return std::max(std::chrono::duration<double, std::milli>(whole - start).count(),
                    std::chrono::duration<double, std::milli>(end - whole).count());
}

void save(const Options& options, const Data& bytes, const std::string& why) {
    const auto path = std::filesystem::path(options.out) / ("probe-fuzz-" + why + ".bin");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    std::fprintf(stderr, "probe fuzz: %s (%zu bytes) written to %s\n", why.c_str(), bytes.size(), path.c_str());
}

int replay(const Options& options) {
    int failures = 0;
    for (const auto& file : options.replay) {
        std::ifstream in(file, std::ios::binary);
        const Data bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        double slowest = 0;
        for (std::size_t prefix : {bytes.size() / 4, bytes.size() / 2, bytes.size()})
            slowest = std::max(slowest, probeOnce(bytes, prefix));
        std::printf("%s: %zu bytes, slowest probe %.1f ms\n", file.c_str(), bytes.size(), slowest);
        if (slowest > options.maxMs) ++failures;
    }
    return failures == 0 ? 0 : 1;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (arg == "--seconds" && (v = value())) {
            options.seconds = std::atof(v);
        } else if (arg == "--seed" && (v = value())) {
            options.seed = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
        } else if (arg == "--max-ms" && (v = value())) {
            options.maxMs = std::atof(v);
        } else if (arg == "--max-rss-mb" && (v = value())) {
            options.maxRssMb = std::atol(v);
        } else if (arg == "--out" && (v = value())) {
            options.out = v;
        } else if (!arg.starts_with("--")) {
            options.replay.push_back(arg);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--seconds N] [--seed S] [--max-ms M] [--max-rss-mb R] [--out DIR] [FILE...]\n",
                     argv[0]);
        return 2;
    }
    const auto quiet = platform::core::discardDebugOutput();
    if (!options.replay.empty()) return replay(options);

    const std::vector<Data> corpus = seeds();
    std::mt19937 random(options.seed);
    const auto deadline = Clock::now() + std::chrono::duration<double>(options.seconds);
    long inputs = 0;
    double slowest = 0;
    std::size_t slowestSize = 0;
    while (Clock::now() < deadline) {
        const Data bytes = mutate(corpus[random() % corpus.size()], random);
        const std::size_t prefix = bytes.empty() ? 0 : random() % (bytes.size() + 1);
        const double ms = probeOnce(bytes, prefix);
        ++inputs;
        if (ms > slowest) {
            slowest = ms;
            slowestSize = bytes.size();
        }
        if (ms > options.maxMs) {
            save(options, bytes, "slow");
            std::fprintf(stderr, "probe fuzz: an input took %.1f ms (budget %.0f ms)\n", ms, options.maxMs);
            return 1;
        }
        if (peakRssMb() > options.maxRssMb) {
            save(options, bytes, "memory");
            std::fprintf(stderr, "probe fuzz: peak memory %ld MB (budget %ld MB)\n", peakRssMb(), options.maxRssMb);
            return 1;
        }
    }
    std::printf("probe fuzz: %ld inputs in %.0f s (seed %u, %zu seeds); slowest probe %.1f ms (%zu bytes); "
                "peak memory %ld MB\n",
                inputs, options.seconds, options.seed, corpus.size(), slowest, slowestSize, peakRssMb());
    return 0;
}
