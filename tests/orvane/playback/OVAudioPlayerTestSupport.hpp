// Shared pieces of the audio player tests: a delegate that records every
// report as a line of text, and a fixture on the manual clock with a
// temporary Documents directory and helpers to load audio that the disk cache
// already holds (so no request is made and everything runs on the main loop).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/widget/OVWidgetScripts.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/PlayerItem.hpp"
#include "support/MediaFiles.hpp"
#include "support/TempDocuments.hpp"

namespace audiotest {

struct RecordingDelegate : orvane::OVAudioPlayerDelegate {
    std::vector<std::string> reports;

    void audioDurationIsKnown(double duration) override {
        reports.push_back("duration " + orvane::plainDescription(duration));
    }
    void audioPositionDidChange(orvane::OVAudioPosition position) override {
        reports.push_back("position " + orvane::plainDescription(position.time) + "/" +
                          orvane::plainDescription(position.duration));
    }
    void audioStatusDidChange(orvane::OVAudioPlayerStatus status) override {
        reports.push_back(std::string("status ") + std::string(orvane::rawValue(status)));
    }
    void audioDidEnd() override { reports.push_back("end"); }
    void audioInterruptionBegan() override { reports.push_back("interruption began"); }
    void audioInterruptionEnded(bool shouldResume) override {
        reports.push_back(std::string("interruption ended ") + (shouldResume ? "resume" : "no resume"));
    }

    // Reports whose text starts with `prefix`.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& report : reports)
            if (report.rfind(prefix, 0) == 0) out.push_back(report);
        return out;
    }
    std::vector<std::string> take() { return std::exchange(reports, {}); }
};

struct AudioPlayerFixture : ::testing::Test {
    void SetUp() override {
        platform::core::RunLoop::main().useManualClock();
        player = orvane::OVAudioPlayer::create();
        player->setDelegate(delegate);
    }
    // The watchdog keeps every player alive: leave none playing behind.
    void TearDown() override { player->cancel(); }

    // Puts a WAV of `seconds` into the disk cache under `name` and returns an
    // address whose last path component is that name (its host answers nothing).
    static std::string cachedWav(const std::string& name, double seconds) {
        orvane::OVAudioCache::cache(orvane::testing::makeWav(seconds), name);
        return "http://127.0.0.1:9/audio/" + name;
    }

    // Loads `source` from the widget's side and lets its item get ready.
    void loadReady(const std::string& source) {
        player->widgetSetSource(source);
        ASSERT_NE(player->player(), nullptr);
        ASSERT_TRUE(platform::core::RunLoop::main().runUntil(
            [&] { return player->player()->currentItem()->status() != platform::media::PlayerItemStatus::unknown; },
            5.0));
        ASSERT_EQ(player->player()->currentItem()->status(), platform::media::PlayerItemStatus::readyToPlay);
    }

    double avTime() const { return player->player()->currentTime().seconds(); }
    float avRate() const { return player->player()->rate(); }
    void idle() { platform::core::RunLoop::main().runUntilIdle(); }
    void advance(double seconds) { platform::core::RunLoop::main().advance(seconds); }

    testsupport::TempDocuments documents;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<orvane::OVAudioPlayer> player;
};

}  // namespace audiotest
