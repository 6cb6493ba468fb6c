// Streaming an 8 MB file from a loopback server through the caching player
// item into a player (time to the first byte the player receives, and to the
// whole file), beside a direct transfer of the same file with a URL session,
// and paired in the same run with a direct libcurl transfer (the budget's
// baseline: counters ratio and first_byte_extra_ms). The paired benchmark runs
// at 8 MB and 80 MB: the item's stream ends when the whole file is delivered
// (counted_ms: when its duration counted from every packet was known), and a
// heartbeat on the main run loop every
// millisecond shows the longest the main thread was kept busy meanwhile
// (main_longest_ms: how late the latest heartbeat ran, an upper bound of the
// longest single task). The direct transfer runs on the main thread;
// BM_DirectCurlOnAnotherThread runs it on a thread started before the clock,
// to show what reading on another thread costs to the first byte on this
// machine.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

#include "MainHeartbeat.hpp"
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

// Silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono), 417 bytes each.
std::string silentMp3(std::size_t bytes) {
    std::string body(bytes, '\0');
    for (std::size_t frame = 0; frame + 417 <= body.size(); frame += 417) {
        body[frame] = '\xFF';
        body[frame + 1] = '\xFB';
        body[frame + 2] = '\x90';
        body[frame + 3] = '\xC0';
    }
    return body;
}

// A loopback server of the files, started on first use and kept for the run:
// /episode.mp3 of kFileBytes, and /episode-<n>mb.mp3 of n MB.
class FileServer {
public:
    FileServer() : body_(silentMp3(kFileBytes)), large_(silentMp3(80 * 1024 * 1024)) {
        server_.Get("/episode.mp3", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body_, "audio/mpeg");
        });
        server_.Get("/episode-80mb.mp3", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(large_, "audio/mpeg");
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
    std::string url(std::int64_t megabytes) const {
        if (megabytes == 8) return url();
        return "http://127.0.0.1:" + std::to_string(port_) + "/episode-" + std::to_string(megabytes) + "mb.mp3";
    }

private:
    std::string body_;
    std::string large_;
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

// The baseline: the file fetched with libcurl's easy interface on this
// thread into a buffer, as anyone would.
struct CurlTransfer {
    platform::core::Data body;
    Clock::time_point firstByte{};
    bool ok = false;
};

std::size_t curlWrite(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<CurlTransfer*>(user);
    if (transfer->body.empty()) transfer->firstByte = Clock::now();
    transfer->body.insert(transfer->body.end(), data, data + size * count);
    return size * count;
}

CurlTransfer directCurl(const std::string& url, std::size_t expected = kFileBytes) {
    CurlTransfer transfer;
    transfer.body.reserve(expected);
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, curlWrite);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    transfer.ok = curl_easy_perform(curl) == CURLE_OK && transfer.body.size() == expected;
    curl_easy_cleanup(curl);
    return transfer;
}

using benchsupport::MainHeartbeat;

// Notes, on the item's session queue, when the player's request has been
// handed the first bytes and when it has been handed all of them (the item
// reports right after answering the requests), so that neither waits for the
// main loop to look.
class ItemWatch : public orvane::OVCachePlayerItemDelegate {
public:
    void playerItemDidDownloadBytesSoFar(const std::shared_ptr<orvane::OVCachePlayerItem>&, std::int64_t held,
                                         std::int64_t) override {
        if (held > 0 && !sawFirst.exchange(true)) firstByte.store(Clock::now());
    }
    void playerItemDidFinishDownloadingData(const std::shared_ptr<orvane::OVCachePlayerItem>&,
                                            const platform::core::Data&) override {
        end.store(Clock::now());
        finished.store(true);
    }
    std::atomic<bool> sawFirst{false};
    std::atomic<bool> finished{false};
    std::atomic<Clock::time_point> firstByte{};
    std::atomic<Clock::time_point> end{};
};

// Each iteration streams through the caching item, then transfers directly;
// the argument is the file's size in MB.
void BM_CachingItemBesideLibcurl(benchmark::State& state) {
    const std::int64_t megabytes = state.range(0);
    const std::size_t bytes = megabytes == 8 ? kFileBytes : static_cast<std::size_t>(megabytes) * 1024 * 1024;
    const auto url = *URL::parse(server().url(megabytes));
    double itemTotal = 0, curlTotal = 0, itemFirst = 0, curlFirst = 0, mainLongest = 0, countedTotal = 0;
    for (auto _ : state) {
        auto watch = std::make_shared<ItemWatch>();
        auto heartbeat = std::make_shared<MainHeartbeat>();
        heartbeat->start();
        auto start = Clock::now();
        auto item = orvane::OVCachePlayerItem::create(url);
        item->setDelegate(watch);
        auto player = platform::media::Player::create(item);
        if (!RunLoop::main().runUntil([&] { return item->loadedByteCount() > 0; }, kWait)) {
            state.SkipWithError("no first byte");
            break;
        }
        // The stream ends when every byte is delivered; the duration counted
        // from them (on the item's counting thread) is waited for too.
        std::optional<Clock::time_point> counted;
        if (!RunLoop::main().runUntil(
                [&] {
                    if (!counted && item->isDurationExact()) counted = Clock::now();
                    return item->isFullyLoaded() && watch->finished.load() && counted;
                },
                kWait)) {
            state.SkipWithError("file not complete");
            break;
        }
        heartbeat->stop();
        const auto firstByte = watch->firstByte.load();
        const auto end = watch->end.load();
        itemTotal += seconds(start, end);
        countedTotal += seconds(start, std::max(end, *counted));
        itemFirst += seconds(start, firstByte);
        mainLongest = std::max(mainLongest, heartbeat->longestSeconds());
        state.SetIterationTime(seconds(start, end));
        player.reset();
        item.reset();
        RunLoop::main().runUntilIdle();

        start = Clock::now();
        auto direct = directCurl(server().url(megabytes), bytes);
        const auto directEnd = Clock::now();
        if (!direct.ok) {
            state.SkipWithError("direct transfer failed");
            break;
        }
        curlTotal += seconds(start, directEnd);
        curlFirst += seconds(start, direct.firstByte);
    }
    const auto n = static_cast<double>(state.iterations());
    if (n == 0 || curlTotal <= 0) return;
    state.counters["baseline_ms"] = curlTotal / n * 1000.0;
    state.counters["ratio"] = itemTotal / curlTotal;
    state.counters["first_byte_ms"] = itemFirst / n * 1000.0;
    state.counters["baseline_first_byte_ms"] = curlFirst / n * 1000.0;
    state.counters["first_byte_extra_ms"] = (itemFirst - curlFirst) / n * 1000.0;
    state.counters["main_longest_ms"] = mainLongest * 1000.0;
    // When the duration counted from every packet was known on the main thread.
    state.counters["counted_ms"] = countedTotal / n * 1000.0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_CachingItemBesideLibcurl)->Arg(8)->Arg(80)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DirectCurlOnAnotherThread(benchmark::State& state) {
    double firstByteTotal = 0;
    for (auto _ : state) {
        double total = 0;
        bool ok = false;
        std::thread([&] {
            const auto start = Clock::now();
            auto transfer = directCurl(server().url());
            const auto end = Clock::now();
            ok = transfer.ok;
            firstByteTotal += seconds(start, transfer.firstByte);
            total = seconds(start, end);
        }).join();
        if (!ok) {
            state.SkipWithError("direct transfer failed");
            break;
        }
        state.SetIterationTime(total);
    }
    state.counters["first_byte_ms"] =
        benchmark::Counter(firstByteTotal * 1000.0, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DirectCurlOnAnotherThread)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
