// Shared doubles for the now-playing tests: a player-action delegate that
// records what the remote commands ask of it, and a recorder of every
// assignment made to the now-playing information centre.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "platform/core/ObservationToken.hpp"
#include "platform/media/NowPlayingInfoCenter.hpp"

namespace nowplayingtest {

using platform::media::NowPlayingInfo;
namespace Key = platform::media::NowPlayingKey;

struct RecordingUserActions : orvane::OVPlayerUserActionDelegate {
    std::vector<std::string> calls;
    std::vector<float> sliderValues;
    std::function<void(bool)> sliderCompletion;

    void didTapBackward() override { calls.push_back("backward"); }
    void didTapPlay() override { calls.push_back("play"); }
    void didTapPause() override { calls.push_back("pause"); }
    void didTapForward() override { calls.push_back("forward"); }
    void didChangeSlider(float value, std::function<void(bool)> completionHandler) override {
        calls.push_back("slider");
        sliderValues.push_back(value);
        sliderCompletion = std::move(completionHandler);
    }
    void didTogglePlayPause() override { calls.push_back("toggle"); }
};

// Every assignment to the default centre from construction on; an assignment
// of none is recorded as an empty dictionary.
class PublishedInfo {
public:
    PublishedInfo()
        : token_(platform::media::NowPlayingInfoCenter::defaultCenter().observe(
              [this](const std::optional<NowPlayingInfo>& info) { all.push_back(info.value_or(NowPlayingInfo{})); })) {}

    std::size_t size() const { return all.size(); }
    const NowPlayingInfo& last() const { return all.back(); }
    const NowPlayingInfo& operator[](std::size_t index) const { return all.at(index); }

    std::vector<NowPlayingInfo> all;

private:
    platform::core::ObservationToken token_;
};

inline std::optional<std::string> title(const NowPlayingInfo& info) {
    return platform::media::nowPlayingText(info, Key::title);
}
inline std::optional<double> rate(const NowPlayingInfo& info) {
    return platform::media::nowPlayingNumber(info, Key::playbackRate);
}
inline std::optional<double> elapsed(const NowPlayingInfo& info) {
    return platform::media::nowPlayingNumber(info, Key::elapsedPlaybackTime);
}
inline std::optional<double> duration(const NowPlayingInfo& info) {
    return platform::media::nowPlayingNumber(info, Key::playbackDuration);
}
inline bool hasArtwork(const NowPlayingInfo& info) { return platform::media::nowPlayingArtwork(info) != nullptr; }

// The keys of a dictionary, sorted, for comparing what was published.
inline std::vector<std::string> keys(const NowPlayingInfo& info) {
    std::vector<std::string> out;
    for (const auto& [key, value] : info) out.push_back(key);
    return out;
}

}  // namespace nowplayingtest
