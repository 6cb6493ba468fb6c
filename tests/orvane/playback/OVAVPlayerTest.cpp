#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "orvane/playback/OVAVPlayer.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/PlayerItem.hpp"
#include "support/MediaFiles.hpp"
#include "support/MediaServerScripts.hpp"
#include "support/RawServer.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace orvane;
using platform::core::Data;
using platform::core::Notification;
using platform::core::NotificationCenter;
using platform::core::RunLoop;
using platform::core::URL;
using platform::media::MediaTime;
using platform::media::PlayerItem;
using platform::media::PlayerItemStatus;
using platform::net::URLError;
namespace t = orvane::testing;

constexpr double kWait = 10.0;

class RecordingPlayerDelegate : public OVAVPlayerDelegate {
public:
    void playerItemDownloadingFailedWith(const std::shared_ptr<OVCachePlayerItem>& item,
                                         const URLError& error) override {
        std::lock_guard lock(mutex_);
        failures_.emplace_back(item, error);
    }
    std::size_t count() const {
        std::lock_guard lock(mutex_);
        return failures_.size();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::shared_ptr<OVCachePlayerItem>, URLError>> failures_;
};

struct OVAVPlayerTest : ::testing::Test {
    void SetUp() override { RunLoop::main().useManualClock(); }

    std::shared_ptr<OVCachePlayerItem> cachingItem(const std::shared_ptr<OVAVPlayer>& player) {
        return std::dynamic_pointer_cast<OVCachePlayerItem>(player->currentItem());
    }
    bool readyOrFailed(const std::shared_ptr<OVAVPlayer>& player) {
        return player->currentItem()->status() != PlayerItemStatus::unknown;
    }

    testsupport::TempDocuments documents;
    std::shared_ptr<RecordingPlayerDelegate> delegate = std::make_shared<RecordingPlayerDelegate>();
};

TEST_F(OVAVPlayerTest, AStreamedFileIsCachedAndTheNextPlayerMakesNoRequest) {
    const Data mp3 = t::makeMp3(200);
    t::TestHttpServer server;
    server.serveBytes("/shows/ep42.mp3", mp3, "audio/mpeg");
    server.start();

    auto first = OVAVPlayer::create(*URL::parse(server.url("/shows/ep42.mp3")));
    first->setDelegate(delegate);
    EXPECT_FALSE(first->automaticallyWaitsToMinimizeStalling());
    auto streamed = cachingItem(first);
    ASSERT_NE(streamed, nullptr);
    EXPECT_FALSE(streamed->resourceLoaderDelegate()->playingFromData());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return OVAudioCache::isInCache("ep42.mp3"); }, kWait));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return readyOrFailed(first); }, kWait));
    EXPECT_EQ(streamed->status(), PlayerItemStatus::readyToPlay);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return streamed->isDurationExact(); }, kWait));
    EXPECT_NEAR(streamed->duration().seconds(), 200 * t::kMp3FrameSeconds, 1e-6);
    EXPECT_EQ(OVAudioCache::find("ep42.mp3"), mp3);
    EXPECT_EQ(server.requestCount("/shows/ep42.mp3"), 1);

    // Another address with the same last path component plays the same entry.
    auto second = OVAVPlayer::create(*URL::parse("https://elsewhere.example/feed/ep42.mp3?token=1"));
    auto cached = cachingItem(second);
    ASSERT_NE(cached, nullptr);
    EXPECT_TRUE(cached->resourceLoaderDelegate()->playingFromData());
    EXPECT_EQ(cached->resourceLoaderDelegate()->mimeType(), "mp3");
    EXPECT_EQ(cached->url().absoluteString(), "orvane://whatever/file.mp3");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return readyOrFailed(second); }, kWait));
    EXPECT_EQ(cached->status(), PlayerItemStatus::readyToPlay);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return cached->isDurationExact(); }, kWait));
    EXPECT_NEAR(cached->duration().seconds(), 200 * t::kMp3FrameSeconds, 1e-6);
    second->play();
    RunLoop::main().advance(2.0);
    EXPECT_NEAR(second->currentTime().seconds(), 2.0, 1e-6);
    EXPECT_EQ(cached->resourceLoaderDelegate()->session(), nullptr);
    EXPECT_EQ(server.totalRequestCount(), 1);
}

TEST_F(OVAVPlayerTest, ACachedAddressWithoutAnExtensionGivesEmptyTypeAndExtension) {
    const Data mp3 = t::makeMp3(50);
    OVAudioCache::cache(mp3, "episode");
    auto player = OVAVPlayer::create(*URL::parse("http://127.0.0.1:9/feed/episode"));
    auto item = cachingItem(player);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->resourceLoaderDelegate()->playingFromData());
    EXPECT_EQ(item->resourceLoaderDelegate()->mimeType(), "");
    EXPECT_EQ(item->url().absoluteString(), "orvane://whatever/file.");
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return readyOrFailed(player); }, kWait));
    EXPECT_EQ(item->status(), PlayerItemStatus::readyToPlay);
    EXPECT_EQ(item->contentType(), "");
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), nullptr);
}

TEST_F(OVAVPlayerTest, AnAnswerWithoutALengthIsStillCachedWhole) {
    const Data wav = t::makeWav(2.0);
    t::RawServer server(t::RawServer::noContentLength(wav, "audio/wav"));
    auto first = OVAVPlayer::create(*URL::parse(server.url("/nolength.wav")));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return OVAudioCache::isInCache("nolength.wav"); }, kWait));
    EXPECT_EQ(OVAudioCache::find("nolength.wav"), wav);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return readyOrFailed(first); }, kWait));
    // Without a length the duration is an estimate until every byte reached the player.
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return first->currentItem()->isFullyLoaded(); }, kWait));
    RunLoop::main().runUntilIdle();
    EXPECT_DOUBLE_EQ(first->currentItem()->duration().seconds(), 2.0);

    auto second = OVAVPlayer::create(*URL::parse(server.url("/nolength.wav")));
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return readyOrFailed(second); }, kWait));
    EXPECT_TRUE(second->currentItem()->isFullyLoaded());
    EXPECT_EQ(server.connectionCount(), 1);
}

TEST_F(OVAVPlayerTest, ANotFoundAnswerFailsWithoutCachingAnything) {
    t::TestHttpServer server;
    server.serveText("/gone.mp3", std::string(3000, 'x'), "text/html", 404);
    server.start();
    auto player = OVAVPlayer::create(*URL::parse(server.url("/gone.mp3")));
    player->setDelegate(delegate);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->count() == 1; }, kWait));
    RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_FALSE(OVAudioCache::isInCache("gone.mp3"));
    EXPECT_FALSE(OVAudioCache::find("gone.mp3").has_value());
    EXPECT_EQ(player->currentItem()->status(), PlayerItemStatus::unknown);
    EXPECT_EQ(player->currentItem()->loadedByteCount(), 0);
}

TEST_F(OVAVPlayerTest, AResetInTheMiddleFailsWithoutCachingAnything) {
    const Data wav = t::makeWav(4.0);
    t::RawServer server(t::RawServer::resetMidBody(wav, wav.size() / 2));
    auto player = OVAVPlayer::create(*URL::parse(server.url("/half.wav")));
    player->setDelegate(delegate);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return delegate->count() == 1; }, kWait));
    RunLoop::main().runUntil([] { return false; }, 0.05);
    EXPECT_FALSE(OVAudioCache::isInCache("half.wav"));
    EXPECT_LT(player->currentItem()->loadedByteCount(), static_cast<std::int64_t>(wav.size()));
}

TEST_F(OVAVPlayerTest, PlaybackOverASlowServerStallsAndReportsIt) {
    const Data wav = t::makeWav(10.0);  // 16000 bytes per second
    const std::size_t sent = 44 + 3 * 16000;
    t::RawServer server(t::stallAfter(wav, sent));
    auto player = OVAVPlayer::create(*URL::parse(server.url("/slow.wav")));
    auto item = player->currentItem();
    std::vector<const void*> stalls;
    auto token = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::playbackStalledNotification, static_cast<const PlayerItem*>(item.get()),
        [&](const Notification& n) { stalls.push_back(n.object.get()); });
    ASSERT_TRUE(RunLoop::main().runUntil(
        [&] {
            return item->loadedByteCount() == static_cast<std::int64_t>(sent) &&
                   item->status() != PlayerItemStatus::unknown;
        },
        kWait));
    ASSERT_EQ(item->status(), PlayerItemStatus::readyToPlay);
    player->play();
    RunLoop::main().advance(2.5);
    EXPECT_TRUE(stalls.empty());
    RunLoop::main().advance(2.0);
    ASSERT_EQ(stalls.size(), 1u);
    EXPECT_EQ(stalls[0], static_cast<const void*>(item.get()));
    // Where the bytes stop, less what the resampler holds back.
    EXPECT_NEAR(player->currentTime().seconds(), 3.0, 0.003);
    EXPECT_EQ(player->rate(), 0.0f);
    EXPECT_FALSE(OVAudioCache::isInCache("slow.wav"));
}

TEST_F(OVAVPlayerTest, OnlyTheCurrentItemsFailureReachesTheDelegate) {
    // The main queue does not run here: no loading request reaches the items,
    // so the only reports are the ones the test makes.
    auto player = OVAVPlayer::create(*URL::parse("http://127.0.0.1:9/none.mp3"));
    player->setDelegate(delegate);
    auto original = cachingItem(player);
    ASSERT_NE(original, nullptr);
    const URLError error{URLError::Code::networkConnectionLost, "lost", ""};
    player->playerItemDownloadingFailedWith(original, error);
    EXPECT_EQ(delegate->count(), 1u);
    auto other = OVCachePlayerItem::create(*URL::parse("http://127.0.0.1:9/other.mp3"));
    player->replaceCurrentItem(other);
    player->playerItemDownloadingFailedWith(original, error);
    EXPECT_EQ(delegate->count(), 1u);
    // A player without an address stores nothing.
    auto plain = OVAVPlayer::create(other);
    EXPECT_FALSE(plain->url().has_value());
    plain->playerItemDidFinishDownloadingData(other, t::makeMp3(3));
    EXPECT_FALSE(OVAudioCache::isInCache("other.mp3"));
}

TEST_F(OVAVPlayerTest, ARefusedAddressGivesAnItemThatFailsToLoad) {
    auto player = OVAVPlayer::create(*URL::parse("episode.mp3"));
    ASSERT_NE(player->currentItem(), nullptr);
    EXPECT_EQ(cachingItem(player), nullptr);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(player->currentItem()->status(), PlayerItemStatus::failed);
    player->play();
    RunLoop::main().advance(1.0);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 0.0);
}

}  // namespace
