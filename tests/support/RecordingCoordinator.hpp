// Test kit for the element and page tests: a coordinator as the pages see
// it (every protocol of `OVPageCoordinator`) that only writes each call, in
// order, into `calls`, as "name(arguments)". The slider's completions are
// kept for the test to run. Header-only; main thread.
//
//   auto coordinator = testsupport::RecordingCoordinator::create();
//   element = OVPageElement::create<OVPageElement::Player>(coordinator, page);
//   ... EXPECT_EQ(coordinator->calls, (Calls{"didTapPlay()"}));
#pragma once

#include <charconv>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVPageCoordinator.hpp"

namespace testsupport {

using Calls = std::vector<std::string>;

// Shortest text of a number ("12.5", "30").
inline std::string numberText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc{} ? std::string(buffer, end) : std::string("?");
}

inline std::string boolText(bool value) { return value ? "true" : "false"; }

inline std::string subscriptionText(orvane::OVSubscription kind) {
    return kind == orvane::OVSubscription::podcast ? "podcast" : "notification";
}

// "<episode key> in <podcast key>", "-" for no episode.
inline std::string pairText(const std::shared_ptr<orvane::OVTrack>& track, const orvane::OVContent& podcast) {
    return (track ? track->key() : std::string("-")) + " in " + podcast.identifier;
}

class RecordingCoordinator : public orvane::OVPageCoordinator {
public:
    static std::shared_ptr<RecordingCoordinator> create() { return std::make_shared<RecordingCoordinator>(); }

    void didTapBackward() override { calls.push_back("didTapBackward()"); }
    void didTapPlay() override { calls.push_back("didTapPlay()"); }
    void didTapPause() override { calls.push_back("didTapPause()"); }
    void didTapForward() override { calls.push_back("didTapForward()"); }
    void didChangeSlider(float value, std::function<void(bool)> completionHandler) override {
        calls.push_back("didChangeSlider(" + numberText(value) + ")");
        sliderCompletions.push_back(std::move(completionHandler));
    }
    void didTogglePlayPause() override { calls.push_back("didTogglePlayPause()"); }

    void didSelectEpisode(const orvane::OVTrackInPodcast& trackInPodcast) override {
        calls.push_back("didSelectEpisode(" + pairText(trackInPodcast.track, trackInPodcast.podcast) + ")");
    }
    void didTapDownload(const std::shared_ptr<orvane::OVTrack>& forTrack) override {
        calls.push_back("didTapDownload(" + (forTrack ? forTrack->key() : std::string("-")) + ")");
    }
    void subscription(orvane::OVSubscription forType, const orvane::OVContent& andPodcast,
                      bool didChangeToValue) override {
        calls.push_back("subscription(" + subscriptionText(forType) + ", " + andPodcast.identifier + ", " +
                        boolText(didChangeToValue) + ")");
    }
    void didTapSendUpButton() override { calls.push_back("didTapSendUpButton()"); }
    void didTapApplePodcastsButton() override { calls.push_back("didTapApplePodcastsButton()"); }

    Calls calls;
    // The completion of each slider change, in order (empty when none was given).
    std::vector<std::function<void(bool)>> sliderCompletions;
};

}  // namespace testsupport
