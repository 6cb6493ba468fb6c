// The widget bridge's hot paths, through a real page in JavaScriptCore:
//  - a state posted by the widget's store listener, decoded on the decoding
//    queue and delivered to an observer on the main queue (about 1.4 KB,
//    10 KB and 200 KB of state), beside a parse + decode of the same state's
//    text in the same run, made and warmed as bench_decode_state makes it
//    (extra_us: the delivery beyond parse + decode; ratio);
//  - the engine's JSON text of a state read into our JSON value, beside our
//    JSON parser reading the same text;
//  - the two thread hops of a delivery alone (decoding queue and back),
//    beside the same two hops handed over with a bare mutex and condition
//    variable to a thread of their own, back to back and with the main
//    thread busy in between;
//  - one script sent by the bridge and evaluated against the widget.
// Debug output is discarded, as a host that does not read it would have it.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/web/EngineJSON.hpp"
#include "support/StateBuilder.hpp"

#include "DecodeBenchmarks.hpp"
#include "PairedBaseline.hpp"

namespace {

using orvane::OVWidgetManager;
using orvane::test::StateBuilder;
using platform::core::Json;
using platform::core::RunLoop;

const std::filesystem::path kWidgetDirectory =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/support/widget";

struct CountingObserver : orvane::OVObserver {
    long received = 0;
    void didReceive(const orvane::OVState&) override { ++received; }
};

std::string pageWith(const Json& state) {
    return "<script>window.__orvaneInitialState__ = " + state.dump() +
           ";</script><script src=\"reference-widget.js\"></script>";
}

void setUpOnce() {
    static bool setUp = false;
    if (setUp) return;
    platform::core::discardDebugOutput();
    RunLoop::main().useManualClock();
    setUp = true;
}

// A widget page made the bridge's web view; with `listening`, the state
// listener is injected too. Pages are made once per kind and kept, since the
// benchmark functions run several times.
std::shared_ptr<orvane::OVWebView> attachedPage(const std::string& name, const Json& state, bool listening) {
    static std::map<std::string, std::shared_ptr<orvane::OVWebView>> pages;
    setUpOnce();
    auto& view = pages[name];
    if (!view) {
        view = orvane::OVWebView::create();
        view->loadHTMLString(pageWith(state), kWidgetDirectory);
        RunLoop::main().runUntilIdle();
        if (listening) RunLoop::main().advance(2.0);
    }
    OVWidgetManager::shared().setWebView(view);
    RunLoop::main().runUntilIdle();
    return view;
}

void stateToObserver(benchmark::State& bench, const std::string& name, const Json& state) {
    auto view = attachedPage(name, state, true);
    static auto observer = [] {
        auto counting = std::make_shared<CountingObserver>();
        OVWidgetManager::shared().addObserver(counting);
        return counting;
    }();
    const std::string change = "window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_TOGGLE_READ_MORE' })";
    const std::string text = state.dump();
    bool arrived = true;
    pairedbench::paired(
        bench, 1,
        [&] {
            const long before = observer->received;
            view->evaluateJavaScript(change);
            if (!RunLoop::main().runUntil([&] { return observer->received > before; }, 10)) arrived = false;
        },
        [&] {
            if (!decodebench::parseAndDecodeOnce<orvane::OVState>(text)) arrived = false;
        },
        pairedbench::BaselineWarmUp::oneCall);
    if (!arrived) bench.SkipWithError("the state never arrived");
    const auto bytes = static_cast<int64_t>(text.size());
    bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations()) * bytes);
    bench.counters["state_bytes"] = static_cast<double>(bytes);
}

void BM_StatePostedToObserver_1KB(benchmark::State& bench) {
    static const Json state = StateBuilder::small();
    stateToObserver(bench, "small", state);
}
BENCHMARK(BM_StatePostedToObserver_1KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_StatePostedToObserver_10KB(benchmark::State& bench) {
    static const Json state = StateBuilder::typical();
    stateToObserver(bench, "typical", state);
}
BENCHMARK(BM_StatePostedToObserver_10KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_StatePostedToObserver_200KB(benchmark::State& bench) {
    static const Json state = StateBuilder::large();
    stateToObserver(bench, "large", state);
}
BENCHMARK(BM_StatePostedToObserver_200KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The engine's JSON text of a state read into our JSON value (what every
// posted message goes through before it is queued), beside our JSON parser
// reading the same text in UTF-8.
// The UTF-16 form of valid UTF-8, as the engine holds a text.
std::u16string utf16FromUTF8(const std::string& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? byte : byte & (0x3F >> (length - 1));
        for (int k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += static_cast<std::size_t>(length);
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

void engineTextRead(benchmark::State& bench, const Json& state) {
    const std::string text = state.dump();
    const std::u16string engineText = utf16FromUTF8(text);
    bool read = true;
    pairedbench::paired(
        bench, 1,
        [&] {
            Json value;
            if (platform::web::jsonFromEngineText(engineText, value, 1000) != platform::web::EngineJSONOutcome::value) {
                read = false;
            }
            benchmark::DoNotOptimize(value);
        },
        [&] {
            auto value = Json::parse(text);
            benchmark::DoNotOptimize(value);
        },
        pairedbench::BaselineWarmUp::oneCall);
    Json value;
    (void)platform::web::jsonFromEngineText(engineText, value, 1000);
    if (!read || value != state) bench.SkipWithError("the text did not read as the state");
}

void BM_EngineTextRead_10KB(benchmark::State& bench) { engineTextRead(bench, StateBuilder::typical()); }
BENCHMARK(BM_EngineTextRead_10KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_EngineTextRead_200KB(benchmark::State& bench) { engineTextRead(bench, StateBuilder::large()); }
BENCHMARK(BM_EngineTextRead_200KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

// A thread of its own that takes a task through a bare mutex and condition
// variable and hands the main thread's wake-up back the same way.
class BareHandOver {
public:
    BareHandOver() : thread_([this] { run(); }) {}
    ~BareHandOver() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void roundTrip() {
        {
            std::lock_guard lock(mutex_);
            posted_ = true;
        }
        wake_.notify_one();
        std::unique_lock lock(mutex_);
        back_.wait(lock, [&] { return !posted_; });
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return posted_ || stopping_; });
            if (stopping_) return;
            posted_ = false;
            lock.unlock();
            back_.notify_one();
            lock.lock();
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable back_;
    bool posted_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

// Keeps this thread busy for `microseconds` (the page's script running
// between two states), so that a thread waiting for work meanwhile goes idle.
void busyFor(int microseconds) {
    const auto until = pairedbench::Clock::now() + std::chrono::microseconds(microseconds);
    while (pairedbench::Clock::now() < until) {
    }
}

// The two thread hops of a delivery alone: an empty task to the decoding
// queue that posts an empty task back to the main queue, timed beside the
// same round trip through a bare hand-over (ratio: what the queues add). The
// argument is how long the main thread is busy before each round trip (not
// timed): back to back (0), or long enough for the other thread to go idle
// in between (100 µs), as between two states.
void BM_DecodeQueueRoundTrip(benchmark::State& bench) {
    setUpOnce();
    const auto gap = static_cast<int>(bench.range(0));
    auto& queue = *OVWidgetManager::shared().decodeQueue();
    BareHandOver bare;
    bool arrived = true;
    double queues = 0, bareTotal = 0;
    for (auto _ : bench) {
        busyFor(gap);
        auto start = pairedbench::Clock::now();
        bool back = false;
        queue.async([&back] { platform::core::DispatchQueue::main().async([&back] { back = true; }); });
        if (!RunLoop::main().runUntil([&] { return back; }, 10)) arrived = false;
        const double once = pairedbench::secondsBetween(start, pairedbench::Clock::now());
        busyFor(gap);
        start = pairedbench::Clock::now();
        bare.roundTrip();
        bareTotal += pairedbench::secondsBetween(start, pairedbench::Clock::now());
        queues += once;
        bench.SetIterationTime(once);
    }
    if (!arrived) bench.SkipWithError("the round trip never came back");
    const auto n = static_cast<double>(bench.iterations());
    if (n == 0 || bareTotal <= 0) return;
    bench.counters["baseline_us"] = bareTotal / n * 1e6;
    bench.counters["extra_us"] = (queues - bareTotal) / n * 1e6;
    bench.counters["ratio"] = queues / bareTotal;
}
BENCHMARK(BM_DecodeQueueRoundTrip)->ArgName("busy_us")->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The script alone: the page has no state listener, so the widget's reaction
// posts nothing back.
void BM_BridgeScriptSentAndEvaluated(benchmark::State& bench) {
    static const Json state = StateBuilder::typical();
    attachedPage("quiet", state, false);
    auto& bridge = OVWidgetManager::shared();
    double time = 0;
    for (auto _ : bench) {
        bridge.send(OVWidgetManager::SDKEvent::timeUpdate(time += 0.5));
        RunLoop::main().runUntilIdle();  // the evaluation's completion
    }
}
BENCHMARK(BM_BridgeScriptSentAndEvaluated)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
