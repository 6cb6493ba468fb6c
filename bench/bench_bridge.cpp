// The widget bridge's hot paths, through a real page in JavaScriptCore:
//  - a state posted by the widget's store listener, decoded on the decoding
//    queue and delivered to an observer on the main queue (about 10 KB and
//    about 200 KB of state), beside a parse + decode of the same state's text
//    in the same run (extra_us: the delivery beyond parse + decode; ratio);
//  - the two thread hops of a delivery alone (decoding queue and back);
//  - one script sent by the bridge and evaluated against the widget.
// Debug output is discarded so that the terminal does not dominate.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>

#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/StateBuilder.hpp"

#include "PairedBaseline.hpp"

namespace {

using orvane::OVWidgetManager;
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

// A widget page made the bridge's web view; with `listening`, the state
// listener is injected too. Pages are made once per kind and kept, since the
// benchmark functions run several times.
std::shared_ptr<orvane::OVWebView> attachedPage(const std::string& name, const Json& state, bool listening) {
    static std::map<std::string, std::shared_ptr<orvane::OVWebView>> pages;
    static bool setUp = false;
    if (!setUp) {
        platform::core::setDebugSink([](std::string_view) {});
        RunLoop::main().useManualClock();
        setUp = true;
    }
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
    // Baseline: parse + decode of the same state's text, on this thread.
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
            auto decoded = orvane::decodeValue<orvane::OVState>(Json::parse(text));
            if (!decoded) arrived = false;
            benchmark::DoNotOptimize(decoded);
        });
    if (!arrived) bench.SkipWithError("the state never arrived");
    const auto bytes = static_cast<int64_t>(state.dump().size());
    bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations()) * bytes);
    bench.counters["state_bytes"] = static_cast<double>(bytes);
}

void BM_StatePostedToObserver_10KB(benchmark::State& bench) {
    static const Json state = orvane::test::StateBuilder::typical();
    stateToObserver(bench, "typical", state);
}
BENCHMARK(BM_StatePostedToObserver_10KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_StatePostedToObserver_200KB(benchmark::State& bench) {
    static const Json state = orvane::test::StateBuilder::large();
    stateToObserver(bench, "large", state);
}
BENCHMARK(BM_StatePostedToObserver_200KB)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The two thread hops of a delivery alone: an empty task to the decoding
// queue that posts an empty task back to the main queue, timed beside the
// same parse + decode as the deliveries above (so that both threads sleep
// and wake as they do there). What a delivery costs beyond parse + decode,
// less this, is the page's and the bridge's own work.
void BM_DecodeQueueRoundTrip(benchmark::State& bench) {
    static const std::string text = orvane::test::StateBuilder::typical().dump();
    auto& queue = *OVWidgetManager::shared().decodeQueue();
    bool arrived = true;
    pairedbench::paired(
        bench, 1,
        [&] {
            bool back = false;
            queue.async([&back] { platform::core::DispatchQueue::main().async([&back] { back = true; }); });
            if (!RunLoop::main().runUntil([&] { return back; }, 10)) arrived = false;
        },
        [&] {
            auto decoded = orvane::decodeValue<orvane::OVState>(Json::parse(text));
            if (!decoded) arrived = false;
            benchmark::DoNotOptimize(decoded);
        });
    if (!arrived) bench.SkipWithError("the round trip never came back");
}
BENCHMARK(BM_DecodeQueueRoundTrip)->Unit(benchmark::kMicrosecond)->UseManualTime();

// The script alone: the page has no state listener, so the widget's reaction
// posts nothing back.
void BM_BridgeScriptSentAndEvaluated(benchmark::State& bench) {
    static const Json state = orvane::test::StateBuilder::typical();
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
