// Decoding: how many seconds of audio FFmpeg's libraries decode and resample
// to the output format per second of CPU, for MP3 and AAC (one minute of pink
// noise, stereo, 44.1 kHz, 128 kbit/s, made with Debian's ffmpeg tool); and
// the cost of one 0.5 s playback tick of a player that decodes MP3 into the
// time-keeping output, beside the same tick over 48 kHz PCM (whose decoding
// is a copy). Debug output is discarded.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"

namespace {

using namespace platform::media;
using platform::core::Data;
using platform::core::RunLoop;

constexpr double kSeconds = 60.0;

const Data& encoded(const std::string& codec) {
    static std::map<std::string, Data> made;
    if (auto it = made.find(codec); it != made.end()) return it->second;
    const std::string extension = codec == "aac" ? "m4a" : codec == "pcm_s16le" ? "wav" : "mp3";
    const std::string encoder = codec == "mp3" ? "libmp3lame -b:a 128k" : codec == "aac" ? "aac -b:a 128k" : codec;
    const std::string rate = codec == "pcm_s16le" ? "48000" : "44100";
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane-bench-" + std::to_string(::getpid()) + "-" + codec + "." + extension);
    const std::string command = "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i anoisesrc=d=" +
                                std::to_string(static_cast<int>(kSeconds)) + ":c=pink:a=0.3:r=" + rate +
                                " -ac 2 -c:a " + encoder + " '" + path.string() + "' < /dev/null";
    Data bytes;
    if (std::system(command.c_str()) == 0) {
        if (auto read = platform::core::FileManager::readFile(path)) bytes = std::move(*read);
    }
    std::filesystem::remove(path);
    return made.emplace(codec, std::move(bytes)).first->second;
}

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(const Data& bytes) : bytes_(bytes) {}
    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
        const auto size = static_cast<std::int64_t>(bytes_.size());
        if (offset >= size) return 0;
        const std::int64_t n = std::min(count, size - offset);
        std::memcpy(into, bytes_.data() + offset, static_cast<std::size_t>(n));
        return n;
    }
    std::optional<std::int64_t> length() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    const Data& bytes_;
};

void BM_DecodeThroughput(benchmark::State& bench, const std::string& codec) {
    const Data& bytes = encoded(codec);
    if (bytes.empty()) {
        bench.SkipWithError("the ffmpeg tool could not make the file");
        return;
    }
    double audioSeconds = 0;
    std::vector<std::int16_t> out;
    for (auto _ : bench) {
        auto opened = AudioDecoder::open(std::make_shared<MemorySource>(bytes));
        auto* decoder = std::get_if<std::unique_ptr<AudioDecoder>>(&opened);
        if (!decoder) {
            bench.SkipWithError("the file does not open");
            return;
        }
        std::int64_t frame = 0;
        for (;;) {
            out.clear();
            const auto rendered = (*decoder)->render(frame, kOutputSampleRate / 2, out);
            frame += rendered.frames;
            if (rendered.ended || rendered.frames == 0) break;
        }
        audioSeconds += static_cast<double>(frame) / kOutputSampleRate;
    }
    // Seconds of audio per second of CPU.
    bench.counters["audio_s_per_cpu_s"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_DecodeThroughput, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_DecodeThroughput, aac, std::string("aac"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Counting the packets of a whole file, as a player item's counting thread
// does while the file arrives (no decoding).
void BM_CountPackets(benchmark::State& bench, const std::string& codec) {
    const Data& bytes = encoded(codec);
    if (bytes.empty()) {
        bench.SkipWithError("the ffmpeg tool could not make the file");
        return;
    }
    double audioSeconds = 0;
    for (auto _ : bench) {
        const auto count = countPackets(std::make_shared<MemorySource>(bytes));
        if (!count) {
            bench.SkipWithError("the file does not count");
            return;
        }
        audioSeconds += count->seconds;
    }
    bench.counters["audio_s_per_cpu_s"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK_CAPTURE(BM_CountPackets, mp3, std::string("mp3"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_CountPackets, aac, std::string("aac"))->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// One 0.5 s tick of a playing player (one periodic observer, as the audio
// player installs), the position wrapping back to the start near the end.
void BM_PlaybackTick(benchmark::State& bench, const std::string& codec) {
    platform::core::setDebugSink([](std::string_view) {});
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
    RunLoop::main().useManualClock();
    const Data& bytes = encoded(codec);
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(bytes)));
    player->addPeriodicTimeObserver(MediaTime::make(1, 2), platform::core::DispatchQueue::main(), [](MediaTime) {});
    RunLoop::main().runUntilIdle();
    player->play();
    for (auto _ : bench) {
        RunLoop::main().advance(0.5);
        RunLoop::main().runUntilIdle();
        if (player->currentTime().seconds() > kSeconds - 1) {
            bench.PauseTiming();
            player->seek(MediaTime::zero());
            RunLoop::main().runUntilIdle();
            bench.ResumeTiming();
        }
    }
    if (player->rate() == 0) bench.SkipWithError("the player stopped");
}
BENCHMARK_CAPTURE(BM_PlaybackTick, decoding_mp3, std::string("mp3"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PlaybackTick, copying_pcm, std::string("pcm_s16le"))->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
