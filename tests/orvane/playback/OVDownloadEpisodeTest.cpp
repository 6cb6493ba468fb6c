// Downloading an episode's audio end to end: the episode's status changes on
// the main queue, the file lands in the audio download folder, a cached file
// is saved without a request, and failures leave no file and the episode not
// downloaded.
#include <gtest/gtest.h>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/model/OVAudio.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/MediaFiles.hpp"
#include "support/RawServer.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace orvane;
using orvane::testing::RawServer;
using orvane::testing::TestHttpServer;
using platform::core::RunLoop;

class StatusRecorder final : public OVTrackDownloadDelegate {
public:
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>&, const OVTrack::DownloadStatus& to) override {
        onMain = onMain && RunLoop::main().isCurrent();
        if (auto* progress = std::get_if<OVTrack::InProgress>(&to)) {
            fractions.push_back(progress->value);
            statuses.push_back("inProgress");
        } else if (std::holds_alternative<OVTrack::Downloaded>(to)) {
            statuses.push_back("downloaded");
        } else {
            statuses.push_back("notDownloaded");
        }
    }
    bool ended() const {
        return !statuses.empty() && (statuses.back() == "downloaded" || statuses.back() == "notDownloaded");
    }
    std::vector<std::string> statuses;
    std::vector<float> fractions;
    bool onMain = true;
};

std::shared_ptr<OVTrack> makeTrack(const std::string& address) {
    return OVTrack::create("ep", "Episode", std::nullopt, OVAudio{address, 60.0}, OVObjDescription{}, std::nullopt);
}

// Starts the download the way the coordinator does and waits for its end.
std::shared_ptr<StatusRecorder> downloadAndWait(const std::shared_ptr<OVTrack>& track) {
    auto recorder = std::make_shared<StatusRecorder>();
    track->setDelegate(recorder);
    track->download(recorder);
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return recorder->ended(); }, 10.0));
    RunLoop::main().runUntilIdle();
    return recorder;
}

}  // namespace

// The disk cache answers the episodes' downloads through the hooks the facade installs.
struct OVDownloadEpisode : ::testing::Test {
    void SetUp() override { orvane::installLayerHooks(); }
};

TEST_F(OVDownloadEpisode, ProgressThenDownloadedWithTheFileInTheDownloadFolder) {
    testsupport::TempDocuments documents;
    TestHttpServer server;
    const auto body = orvane::testing::makeMp3(1440);  // about 600 kB of audio
    server.serveBytes("/feed/episode-7.mp3", body, "audio/mpeg");
    server.start();
    platform::core::DebugCapture capture;

    auto track = makeTrack(server.url("/feed/episode-7.mp3"));
    ASSERT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(track->downloadStatus()));
    auto recorder = downloadAndWait(track);

    ASSERT_GE(recorder->statuses.size(), 3u);
    EXPECT_EQ(recorder->statuses.front(), "inProgress");
    EXPECT_EQ(recorder->fractions.front(), 0.0f);
    EXPECT_EQ(recorder->statuses.back(), "downloaded");
    EXPECT_EQ(recorder->fractions.back(), 1.0f);
    for (float value : recorder->fractions) {
        EXPECT_GE(value, 0.0f);
        EXPECT_LE(value, 1.0f);
    }
    EXPECT_TRUE(recorder->onMain);

    EXPECT_TRUE(OVAudioCache::isDownloaded("episode-7.mp3"));
    EXPECT_FALSE(OVAudioCache::isInCache("episode-7.mp3"));
    EXPECT_EQ(OVAudioCache::find("episode-7.mp3"), body);
    EXPECT_TRUE(track->audio().isDownloaded());
    EXPECT_TRUE(capture.contains("\"progress:\" 1.0"));
    EXPECT_EQ(server.requestCount("/feed/episode-7.mp3"), 1);
}

TEST_F(OVDownloadEpisode, ACachedFileIsSavedWithoutAnyRequest) {
    testsupport::TempDocuments documents;
    TestHttpServer server;
    server.serveBytes("/episode-3.mp3", TestHttpServer::patternBytes(1000));
    server.start();
    const platform::core::Data cached{'c', 'a', 'c', 'h', 'e', 'd'};
    OVAudioCache::cache(cached, "episode-3.mp3");

    auto track = makeTrack(server.url("/episode-3.mp3"));
    auto recorder = downloadAndWait(track);
    EXPECT_EQ(recorder->statuses, (std::vector<std::string>{"inProgress", "inProgress", "downloaded"}));
    EXPECT_EQ(recorder->fractions, (std::vector<float>{0.0f, 1.0f}));
    EXPECT_TRUE(OVAudioCache::isDownloaded("episode-3.mp3"));
    EXPECT_FALSE(OVAudioCache::isInCache("episode-3.mp3"));
    EXPECT_EQ(OVAudioCache::find("episode-3.mp3"), cached);
    EXPECT_EQ(server.totalRequestCount(), 0);
}

TEST_F(OVDownloadEpisode, FailedDownloadsLeaveNoFileAndTheEpisodeNotDownloaded) {
    testsupport::TempDocuments documents;
    TestHttpServer server;
    server.serveText("/missing.mp3", R"({"error":"not found"})", "application/json", 404);
    server.start();
    RawServer reset(RawServer::resetMidBody(TestHttpServer::patternBytes(400000), 100000));

    for (const auto& address : {server.url("/missing.mp3"), reset.url("/cut.mp3")}) {
        SCOPED_TRACE(address);
        auto track = makeTrack(address);
        auto recorder = downloadAndWait(track);
        EXPECT_EQ(recorder->statuses.front(), "inProgress");
        EXPECT_EQ(recorder->statuses.back(), "notDownloaded");
        for (float value : recorder->fractions) EXPECT_LT(value, 1.0f);
    }
    EXPECT_FALSE(OVAudioCache::isDownloaded("missing.mp3"));
    EXPECT_FALSE(OVAudioCache::isInCache("missing.mp3"));
    EXPECT_FALSE(OVAudioCache::isDownloaded("cut.mp3"));
    EXPECT_FALSE(OVAudioCache::isInCache("cut.mp3"));

    // The audio's own completion says false as well, before the delegate.
    std::vector<std::string> order;
    struct EndRecorder final : OVAudioDownloadDelegate {
        std::vector<std::string>* order;
        void downloadDidProgress(const OVAudio&, float) override {}
        void downloadDidEnd(const OVAudio&, bool completed) override {
            order->push_back(completed ? "delegate true" : "delegate false");
        }
    };
    auto endRecorder = std::make_shared<EndRecorder>();
    endRecorder->order = &order;
    OVAudio{server.url("/missing.mp3"), std::nullopt}.download(
        endRecorder, [&](bool ok) { order.push_back(ok ? "completion true" : "completion false"); });
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return order.size() == 2; }, 10.0));
    EXPECT_EQ(order, (std::vector<std::string>{"completion false", "delegate false"}));
}

TEST_F(OVDownloadEpisode, AGoneDelegateHearsNothingButTheFileIsSaved) {
    testsupport::TempDocuments documents;
    TestHttpServer server;
    server.serveBytes("/late.mp3", orvane::testing::makeMp3(120));
    server.start();

    struct Counting final : OVAudioDownloadDelegate {
        int* calls;
        void downloadDidProgress(const OVAudio&, float) override { ++*calls; }
        void downloadDidEnd(const OVAudio&, bool) override { ++*calls; }
    };
    int calls = 0;
    bool done = false;
    auto delegate = std::make_shared<Counting>();
    delegate->calls = &calls;
    OVAudio{server.url("/late.mp3"), std::nullopt}.download(delegate, [&](bool ok) { done = ok; });
    delegate.reset();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return done; }, 10.0));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(OVAudioCache::isDownloaded("late.mp3"));
}
