// Streaming an 8 MB file from a loopback server through the caching player
// item into a player (time to the first byte the player receives, and to the
// whole file), beside a direct transfer of the same file with a URL session.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>

#include "orvane/playback/OVCachePlayerItem.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/Player.hpp"
#include "platform/net/URLSession.hpp"
#include <httplib.h>

#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using platform::core::RunLoop;
using platform::core::URL;

constexpr std::size_t kFileBytes = 8 * 1024 * 1024;
constexpr double kWait = 60.0;

// A loopback server of the file, started on first use and kept for the run.
class FileServer {
public:
    FileServer() : body_(kFileBytes, '\0') {
        // Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono), 417 bytes each.
        for (std::size_t frame = 0; frame + 417 <= body_.size(); frame += 417) {
            body_[frame] = '\xFF';
            body_[frame + 1] = '\xFB';
            body_[frame + 2] = '\x90';
            body_[frame + 3] = '\xC0';
        }
        server_.Get("/episode.mp3", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body_, "audio/mpeg");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FileServer() {
        server_.stop();
        thread_.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/episode.mp3"; }

private:
    std::string body_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

const FileServer& server() {
    static FileServer instance;
    return instance;
}

double seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void BM_CachingItemToPlayer(benchmark::State& state) {
    const auto url = *URL::parse(server().url());
    double firstByteTotal = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto item = orvane::OVCachePlayerItem::create(url);
        auto player = platform::media::Player::create(item);
        if (!RunLoop::main().runUntil([&] { return item->loadedByteCount() > 0; }, kWait)) {
            state.SkipWithError("no first byte");
            break;
        }
        const auto firstByte = Clock::now();
        if (!RunLoop::main().runUntil([&] { return item->isFullyLoaded(); }, kWait)) {
            state.SkipWithError("file not complete");
            break;
        }
        const auto end = Clock::now();
        firstByteTotal += seconds(start, firstByte);
        state.SetIterationTime(seconds(start, end));
        player.reset();
        item.reset();
        RunLoop::main().runUntilIdle();
    }
    state.counters["first_byte_ms"] =
        benchmark::Counter(firstByteTotal * 1000.0, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFileBytes));
}
BENCHMARK(BM_CachingItemToPlayer)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A delegate that notes the first block and the end of a transfer.
class Watch : public platform::net::URLSessionDataDelegate {
public:
    void didReceiveData(const std::shared_ptr<platform::net::URLSession>&,
                        const std::shared_ptr<platform::net::URLSessionDataTask>&,
                        const platform::core::Data& data) override {
        if (received.fetch_add(static_cast<std::int64_t>(data.size())) == 0) firstByte.store(Clock::now());
    }
    void didCompleteWithError(const std::shared_ptr<platform::net::URLSession>&,
                              const std::shared_ptr<platform::net::URLSessionTask>&,
                              const std::optional<platform::net::URLError>& error) override {
        failed.store(error.has_value());
        end.store(Clock::now());
        done.store(true);
    }
    std::atomic<std::int64_t> received{0};
    std::atomic<Clock::time_point> firstByte{};
    std::atomic<Clock::time_point> end{};
    std::atomic<bool> done{false};
    std::atomic<bool> failed{false};
};

void BM_DirectTransfer(benchmark::State& state) {
    const auto url = *URL::parse(server().url());
    double firstByteTotal = 0;
    for (auto _ : state) {
        auto watch = std::make_shared<Watch>();
        const auto start = Clock::now();
        auto session = platform::net::URLSession::create(
            platform::net::URLSessionConfiguration::defaultConfiguration(), watch);
        session->dataTask(url)->resume();
        if (!RunLoop::main().runUntil([&] { return watch->done.load(); }, kWait) || watch->failed.load()) {
            state.SkipWithError("transfer failed");
            break;
        }
        firstByteTotal += seconds(start, watch->firstByte.load());
        state.SetIterationTime(seconds(start, watch->end.load()));
        session->finishTasksAndInvalidate();
    }
    state.counters["first_byte_ms"] =
        benchmark::Counter(firstByteTotal * 1000.0, benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kFileBytes));
}
BENCHMARK(BM_DirectTransfer)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
