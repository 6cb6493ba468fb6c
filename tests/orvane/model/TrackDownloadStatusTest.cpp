#include "orvane/model/OVTrack.hpp"
#include "platform/core/RunLoop.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;

namespace {

class RecordingDelegate : public OVTrackDownloadDelegate {
public:
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack, const OVTrack::DownloadStatus& to) override {
        std::string text;
        if (auto* progress = std::get_if<OVTrack::InProgress>(&to)) text = "inProgress(" + std::to_string(progress->value) + ")";
        else if (std::holds_alternative<OVTrack::Downloaded>(to)) text = "downloaded";
        else text = "notDownloaded";
        reports.push_back(forTrack->key() + ":" + text);
    }
    std::vector<std::string> reports;
};

std::shared_ptr<OVTrack> makeTrack(std::optional<std::string> address = std::nullopt) {
    return OVTrack::create("ep-1", "Episode", std::nullopt, OVAudio{std::move(address), 12.0}, OVObjDescription{},
                           std::nullopt);
}

}  // namespace

TEST(TrackDownloadStatus, NewEpisodeIsNotDownloadedAndNobodyHears) {
    auto track = makeTrack("https://media.example.com/never-cached-episode.mp3");
    EXPECT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(track->downloadStatus()));
    EXPECT_EQ(track->delegate(), nullptr);
}

TEST(TrackDownloadStatus, EveryAssignmentReachesTheLiveDelegateEvenWithoutChange) {
    auto track = makeTrack();
    auto delegate = std::make_shared<RecordingDelegate>();
    track->setDelegate(delegate);
    track->setDownloadStatus(OVTrack::NotDownloaded{});
    track->setDownloadStatus(OVTrack::NotDownloaded{});
    EXPECT_EQ(delegate->reports, (std::vector<std::string>{"ep-1:notDownloaded", "ep-1:notDownloaded"}));

    delegate.reset();  // gone: nobody is called and nothing fails
    track->setDownloadStatus(OVTrack::Downloaded{});
    EXPECT_TRUE(std::holds_alternative<OVTrack::Downloaded>(track->downloadStatus()));
}

TEST(TrackDownloadStatus, ReportsAreAppliedLaterOnTheMainQueueInOrder) {
    auto& loop = platform::core::RunLoop::main();
    auto track = makeTrack();
    auto delegate = std::make_shared<RecordingDelegate>();
    track->setDelegate(delegate);

    track->downloadDidProgress(track->audio(), 0.25f);
    track->downloadDidEnd(track->audio(), true);
    EXPECT_TRUE(delegate->reports.empty());  // nothing happens inside the report
    loop.runUntilIdle();
    EXPECT_EQ(delegate->reports, (std::vector<std::string>{"ep-1:inProgress(0.250000)", "ep-1:inProgress(1.000000)",
                                                           "ep-1:downloaded"}));

    delegate->reports.clear();
    track->downloadDidEnd(track->audio(), false);
    loop.runUntilIdle();
    EXPECT_EQ(delegate->reports, std::vector<std::string>{"ep-1:notDownloaded"});
}

TEST(TrackDownloadStatus, AQueuedReportKeepsTheEpisodeAlive) {
    auto& loop = platform::core::RunLoop::main();
    auto track = makeTrack();
    std::weak_ptr<OVTrack> weak = track;
    track->downloadDidProgress(track->audio(), 0.5f);
    track.reset();
    EXPECT_FALSE(weak.expired());
    loop.runUntilIdle();
    EXPECT_TRUE(weak.expired());
}

TEST(TrackDownloadStatus, DownloadWithoutAddressStartsInProgressThenFallsBack) {
    auto& loop = platform::core::RunLoop::main();
    auto track = makeTrack(std::nullopt);
    auto delegate = std::make_shared<RecordingDelegate>();
    track->setDelegate(delegate);
    track->download(delegate);
    // In progress at once; an audio without an address never reports back.
    EXPECT_EQ(delegate->reports, std::vector<std::string>{"ep-1:inProgress(0.000000)"});
    loop.runUntilIdle();
    EXPECT_EQ(delegate->reports.size(), 1u);
}
