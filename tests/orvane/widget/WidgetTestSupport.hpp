// Shared doubles for the bridge tests: a player delegate that records what
// the bridge asks, an observer that records the states it is given, and a
// way to let every pending message, decoding and delivery finish.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/RunLoop.hpp"

namespace widgettest {

struct FakePlayer : orvane::OVWidgetManagerDelegate {
    std::vector<std::string> sources;
    int plays = 0;
    int pauses = 0;
    int timeQueries = 0;
    bool playAnswer = true;
    std::optional<double> currentTime;
    // When set, the play completion is kept here instead of being called.
    bool deferPlay = false;
    std::function<void(bool)> deferredCompletion;

    void widgetSetSource(const std::string& source) override { sources.push_back(source); }
    void widgetPlay(std::function<void(bool)> completion) override {
        ++plays;
        if (deferPlay) {
            deferredCompletion = std::move(completion);
        } else {
            completion(playAnswer);
        }
    }
    void widgetPause() override { ++pauses; }
    std::optional<double> widgetGetCurrentTime() override {
        ++timeQueries;
        return currentTime;
    }
};

// The position the widget reports for the current episode: distinct per
// test state, so it identifies a state.
inline std::optional<double> stateTime(const orvane::OVState& state) {
    auto location = state.location();
    if (!location || !location->track) return std::nullopt;
    return location->track->currentTime;
}

struct RecordingObserver : orvane::OVObserver {
    std::string name;
    std::vector<std::string>* callOrder = nullptr;
    std::vector<std::optional<double>> times;
    int lastStateMismatches = 0;
    std::function<void()> onReceive;

    void didReceive(const orvane::OVState& state) override {
        EXPECT_TRUE(platform::core::RunLoop::main().isCurrent());
        const auto& last = orvane::OVWidgetManager::shared().lastState();
        if (!last || stateTime(*last) != stateTime(state)) ++lastStateMismatches;
        times.push_back(stateTime(state));
        if (callOrder) callOrder->push_back(name);
        if (onReceive) onReceive();
    }
};

// Lets every message already posted be handled, decoded and delivered.
inline void settle() {
    auto* decodeQueue =
        dynamic_cast<platform::core::SerialQueue*>(orvane::OVWidgetManager::shared().decodeQueue().get());
    for (int round = 0; round < 3; ++round) {
        platform::core::RunLoop::main().runUntilIdle();
        if (decodeQueue) decodeQueue->drain();
    }
    platform::core::RunLoop::main().runUntilIdle();
}

// Makes the page's view the bridge's web view (its first message restarts
// the component, whose "PLAYER_OPEN" changes the widget's state) and lets
// all of that finish.
template <class Page>
void attach(Page& page) {
    page.evaluate("webkit.messageHandlers.setCurrentTime.postMessage({}); 0");
    settle();
    EXPECT_EQ(orvane::OVWidgetManager::shared().webView(), page.view);
}

}  // namespace widgettest
