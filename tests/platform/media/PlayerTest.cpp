#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <random>
#include <string_view>
#include <mutex>
#include <functional>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/AudioSession.hpp"
#include "platform/media/Player.hpp"
#include "platform/media/PlayerItem.hpp"
#include "platform/media/URLAsset.hpp"
#include "platform/core/FileManager.hpp"
#include "support/EncodedMedia.hpp"
#include "support/MediaFiles.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace platform::media;
using platform::core::Data;
using platform::core::DispatchQueue;
using platform::core::Notification;
using platform::core::NotificationCenter;
using platform::core::RunLoop;
using platform::core::URL;
namespace t = orvane::testing;

// A loader delegate whose requests the test answers by hand, from `bytes`.
class ScriptedLoader : public ResourceLoaderDelegate {
public:
    explicit ScriptedLoader(Data bytes) : bytes(std::move(bytes)) {}

    bool resourceLoaderShouldWaitForLoadingOfRequestedResource(
        ResourceLoader&, const std::shared_ptr<LoadingRequest>& request) override {
        EXPECT_TRUE(RunLoop::main().isCurrent());
        requests.push_back(request);
        return true;
    }
    void resourceLoaderDidCancel(ResourceLoader&, const std::shared_ptr<LoadingRequest>& request) override {
        cancelled.push_back(request);
    }

    // Answers the content information, and the data part up to `upTo` bytes
    // of the resource; finishes the request when its range is complete.
    void answer(const std::shared_ptr<LoadingRequest>& request, std::int64_t upTo) {
        if (auto* info = request->contentInformationRequest()) {
            info->setContentType("audio/wav");
            info->setContentLength(static_cast<std::int64_t>(bytes.size()));
            info->setByteRangeAccessSupported(true);
        }
        auto* data = request->dataRequest();
        const std::int64_t end = std::min({upTo, static_cast<std::int64_t>(bytes.size()),
                                           data->requestedOffset() + data->requestedLength()});
        const std::int64_t from = data->currentOffset();
        if (end > from)
            data->respond(std::span<const std::uint8_t>(bytes.data() + from, static_cast<std::size_t>(end - from)));
        if (data->currentOffset() >= data->requestedOffset() + data->requestedLength()) request->finishLoading();
    }
    // Answers every open request up to `upTo` and lets the main queue run,
    // waiting for `item` (when given) to be opened: the probe of bytes that
    // come through the loader reports from a thread of its own.
    void answerAll(std::int64_t upTo, const std::shared_ptr<PlayerItem>& item = nullptr) {
        for (int round = 0; round < 4; ++round) {
            for (auto& request : std::vector(requests))
                if (!request->isFinished() && !request->isCancelled()) answer(request, upTo);
            RunLoop::main().runUntilIdle();
            if (item && round == 1)
                RunLoop::main().runUntil([&] { return item->status() != PlayerItemStatus::unknown; }, 5.0);
        }
    }

    Data bytes;
    std::vector<std::shared_ptr<LoadingRequest>> requests;
    std::vector<std::shared_ptr<LoadingRequest>> cancelled;
};

struct Fixture : ::testing::Test {
    void SetUp() override { RunLoop::main().useManualClock(); }

    // A player of a custom-scheme asset served by `loader`.
    std::shared_ptr<Player> makeStreamingPlayer(const Data& bytes) {
        loader = std::make_shared<ScriptedLoader>(bytes);
        auto asset = URLAsset::create(*URL::parse("orvane://host/audio.wav"));
        asset->resourceLoader().setDelegate(loader, DispatchQueue::main());
        item = PlayerItem::create(asset);
        auto player = Player::create(item);
        RunLoop::main().runUntilIdle();
        return player;
    }
    std::size_t count(const std::vector<const void*>& posts) const {
        return static_cast<std::size_t>(std::count(posts.begin(), posts.end(), static_cast<const void*>(item.get())));
    }

    std::shared_ptr<ScriptedLoader> loader;
    std::shared_ptr<PlayerItem> item;
};

using PlayerItemLoadingTest = Fixture;
using PlayerPlaybackTest = Fixture;

TEST_F(PlayerItemLoadingTest, FirstRequestAsksForContentInformationThenDataFollows) {
    const Data wav = t::makeWav(4.0);  // 16000 bytes per second
    auto player = makeStreamingPlayer(wav);
    std::vector<std::pair<PlayerItemStatus, PlayerItemStatus>> changes;
    auto token = item->observeStatus([&](const PlayerItemStatus& now, const PlayerItemStatus& old) {
        changes.emplace_back(now, old);
    });

    ASSERT_EQ(loader->requests.size(), 1u);
    auto first = loader->requests[0];
    ASSERT_NE(first->contentInformationRequest(), nullptr);
    ASSERT_NE(first->dataRequest(), nullptr);
    EXPECT_EQ(first->dataRequest()->requestedOffset(), 0);
    EXPECT_LE(first->dataRequest()->requestedLength(), 16);
    EXPECT_TRUE(item->duration().isIndefinite());

    loader->answerAll(100, item);
    ASSERT_EQ(loader->requests.size(), 2u);
    auto second = loader->requests[1];
    EXPECT_EQ(second->contentInformationRequest(), nullptr);
    ASSERT_NE(second->dataRequest(), nullptr);
    EXPECT_EQ(second->dataRequest()->requestedOffset() + second->dataRequest()->requestedLength(),
              static_cast<std::int64_t>(wav.size()));
    EXPECT_EQ(item->contentLength(), static_cast<std::int64_t>(wav.size()));
    EXPECT_EQ(item->contentType(), "audio/wav");
    EXPECT_EQ(item->status(), PlayerItemStatus::readyToPlay);
    EXPECT_DOUBLE_EQ(item->duration().seconds(), 4.0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, PlayerItemStatus::readyToPlay);
    EXPECT_EQ(changes[0].second, PlayerItemStatus::unknown);
    EXPECT_EQ(item->loadedByteCount(), 100);
}

TEST_F(PlayerItemLoadingTest, BytesThatAreNotAudioFailTheItem) {
    const struct {
        const char* name;
        Data bytes;
        const char* reason;
    } cases[] = {
        {"an HTML page", t::makeHtmlPage(3000), "Cannot open: not an audio file"},
        {"a WAV claiming 1,447,297,058 Hz", t::makeWavClaiming(1'447'297'058, 1),
         "Cannot open: not what an audio file holds (a sample rate of 1447297058 Hz)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::core::DebugCapture capture;
        auto player = makeStreamingPlayer(c.bytes);
        loader->answerAll(static_cast<std::int64_t>(c.bytes.size()), item);
        EXPECT_EQ(item->status(), PlayerItemStatus::failed);
        ASSERT_TRUE(item->error().has_value());
        EXPECT_TRUE(item->error()->localizedDescription.starts_with(c.reason)) << item->error()->localizedDescription;
        // Said once, in the item's line.
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_NE(capture.lines()[0].find(c.reason), std::string::npos);
        EXPECT_TRUE(item->duration().isIndefinite());
        player->play();
        RunLoop::main().advance(1.0);
        EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 0.0);
    }
}

TEST_F(PlayerItemLoadingTest, ARequestFinishedWithAnErrorFailsTheItem) {
    auto player = makeStreamingPlayer(t::makeWav(1.0));
    loader->requests[0]->finishLoading(MediaError{"test", 7, "broken"});
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(item->status(), PlayerItemStatus::failed);
    EXPECT_EQ(item->error()->localizedDescription, "broken");
}

TEST_F(PlayerItemLoadingTest, NoDelegateFailsTheItem) {
    auto asset = URLAsset::create(*URL::parse("orvane://host/a.mp3"));
    auto lonely = PlayerItem::create(asset);
    auto player = Player::create(lonely);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(lonely->status(), PlayerItemStatus::failed);
}

TEST_F(PlayerItemLoadingTest, InMemoryAndFileAssetsNeedNoLoader) {
    auto memory = PlayerItem::create(URLAsset::createWithData(t::makeMp3(100)));
    auto player = Player::create(memory);
    // Without a header stating it, the duration is counted on the item's
    // counting thread; the item holds every byte, so it waits for the count.
    ASSERT_TRUE(
        RunLoop::main().runUntil([&] { return memory->status() == PlayerItemStatus::readyToPlay; }, 5.0));
    EXPECT_TRUE(memory->isDurationExact());
    EXPECT_NEAR(memory->duration().seconds(), 100 * t::kMp3FrameSeconds, 1e-6);
    EXPECT_TRUE(memory->isFullyLoaded());

    testsupport::TempDocuments documents;
    const auto path = documents.path() / "local file.wav";
    const Data wav = t::makeWav(1.5);
    ASSERT_TRUE(platform::core::FileManager::writeFileAtomically(path, wav).has_value());
    auto fromFile = Player::create(URL::fileURL(path));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(fromFile->currentItem()->status(), PlayerItemStatus::readyToPlay);
    EXPECT_DOUBLE_EQ(fromFile->currentItem()->duration().seconds(), 1.5);

    auto missing = Player::create(URL::fileURL(documents.path() / "absent.wav"));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(missing->currentItem()->status(), PlayerItemStatus::failed);
}

TEST_F(PlayerItemLoadingTest, SeekingFarAheadCancelsTheRunningRequestAndAsksFromThere) {
    const Data wav = t::makeWav(120.0);  // 16000 bytes per second
    auto player = makeStreamingPlayer(wav);
    loader->answerAll(1000, item);
    ASSERT_EQ(item->status(), PlayerItemStatus::readyToPlay);
    auto running = loader->requests.back();
    std::optional<bool> finished;
    player->seek(MediaTime::make(100, 1), [&](bool f) { finished = f; });
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(finished.has_value());  // nothing to play there yet
    ASSERT_EQ(loader->cancelled.size(), 1u);
    EXPECT_EQ(loader->cancelled[0], running);
    EXPECT_TRUE(running->isCancelled());
    auto fresh = loader->requests.back();
    ASSERT_NE(fresh, running);
    EXPECT_NEAR(static_cast<double>(fresh->dataRequest()->requestedOffset()), 44 + 100 * 16000.0, 2);
    // Bytes sent to the cancelled request are dropped.
    const auto before = running->respondedByteCount();
    running->dataRequest()->respond(std::span<const std::uint8_t>(wav.data() + 1000, 10));
    EXPECT_EQ(running->respondedByteCount(), before);
    // The seek completes once bytes at its target have come.
    fresh->dataRequest()->respond(std::span<const std::uint8_t>(
        wav.data() + fresh->dataRequest()->requestedOffset(), 3200));
    RunLoop::main().runUntilIdle();
    ASSERT_TRUE(finished.has_value());
    EXPECT_TRUE(*finished);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 100.0);
}

TEST_F(PlayerItemLoadingTest, DestroyingThePlayerCancelsItsRequests) {
    auto player = makeStreamingPlayer(t::makeWav(10.0));
    loader->answerAll(500, item);
    auto running = loader->requests.back();
    player.reset();
    item.reset();
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(running->isCancelled());
    EXPECT_EQ(loader->cancelled.size(), 1u);
}

// An item whose probe, the first time it reads bytes past `from` that have
// not arrived, has the rest of the resource delivered to `request` (as the
// session's thread would) before the read answers that they are missing.
class CompletedWhileOpeningItem final : public PlayerItem {
public:
    CompletedWhileOpeningItem(std::shared_ptr<URLAsset> asset, Data bytes)
        : PlayerItem(std::move(asset)), hook_(std::make_shared<Hook>()) {
        hook_->bytes = std::move(bytes);
    }
    void completeAtReadPast(std::int64_t from, std::shared_ptr<LoadingRequest> request) {
        std::lock_guard lock(hook_->mutex);
        hook_->from = from;
        hook_->request = std::move(request);
    }
    bool completed() const { return hook_->completed; }

private:
    struct Hook {
        std::mutex mutex;
        Data bytes;
        std::int64_t from = 0;
        std::shared_ptr<LoadingRequest> request;
        std::atomic<bool> completed = false;
    };
    class Source final : public ByteSource {
    public:
        Source(std::shared_ptr<ByteSource> held, std::shared_ptr<Hook> hook)
            : held_(std::move(held)), hook_(std::move(hook)) {}
        std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
            const std::int64_t n = held_->read(offset, into, count);
            if (n >= 0 || hook_->completed) return n;
            std::lock_guard lock(hook_->mutex);
            if (!hook_->request || offset < hook_->from) return n;
            auto* data = hook_->request->dataRequest();
            const std::int64_t next = data->currentOffset();
            data->respond(std::span<const std::uint8_t>(hook_->bytes).subspan(static_cast<std::size_t>(next)));
            hook_->request->finishLoading();
            hook_->completed = true;
            return n;
        }
        std::optional<std::int64_t> length() const override { return held_->length(); }

    private:
        std::shared_ptr<ByteSource> held_;
        std::shared_ptr<Hook> hook_;
    };
    std::shared_ptr<ByteSource> probeSource(std::shared_ptr<ByteSource> held) override {
        return std::make_shared<Source>(std::move(held), hook_);
    }
    std::shared_ptr<Hook> hook_;
};

// The last bytes of a stream arrive while its decoder is being opened on the
// bytes before them: the item opens it again on the whole, and plays it.
TEST_F(PlayerItemLoadingTest, BytesCompletedWhileTheDecoderOpensAreOpenedAgain) {
    struct Case {
        const char* name;
        Data bytes;
        std::int64_t prefix;  // held when the open begins
        double seconds;
    };
    const Data m4a = t::kM4aMovieLast.make();
    ASSERT_FALSE(m4a.empty());
    const std::vector<Case> cases = {
        {"M4A with the movie header at the end", m4a, static_cast<std::int64_t>(m4a.size() / 2), 5.0},
        {"MP3 behind a 200 KB ID3 tag", t::makeMp3(200, 200 * 1024), 4096, 200 * t::kMp3FrameSeconds},
        {"short WAV", t::makeWav(0.25), 20, 0.25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        loader = std::make_shared<ScriptedLoader>(c.bytes);
        auto asset = URLAsset::create(*URL::parse("orvane://host/audio"));
        asset->resourceLoader().setDelegate(loader, DispatchQueue::main());
        auto racing = std::make_shared<CompletedWhileOpeningItem>(asset, c.bytes);
        auto player = Player::create(racing);
        RunLoop::main().runUntilIdle();
        ASSERT_EQ(loader->requests.size(), 1u);
        loader->answer(loader->requests[0], c.prefix);
        RunLoop::main().runUntilIdle();
        ASSERT_EQ(loader->requests.size(), 2u);
        racing->completeAtReadPast(c.prefix, loader->requests[1]);
        loader->answer(loader->requests[1], c.prefix);
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return racing->status() != PlayerItemStatus::unknown; }, 10.0));
        EXPECT_TRUE(racing->completed());
        EXPECT_EQ(racing->status(), PlayerItemStatus::readyToPlay);
        EXPECT_TRUE(racing->isFullyLoaded());
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return racing->isDurationExact(); }, 10.0));
        EXPECT_NEAR(racing->duration().seconds(), c.seconds, 0.03);
    }
}

TEST_F(PlayerPlaybackTest, PlaysOnTheRunLoopClockAndFiresPeriodicObservers) {
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(t::makeWav(3.0))));
    RunLoop::main().runUntilIdle();
    std::vector<double> fires;
    player->addPeriodicTimeObserver(MediaTime::make(1, 2), DispatchQueue::main(),
                                    [&](MediaTime time) { fires.push_back(time.seconds()); });
    player->play();
    RunLoop::main().runUntilIdle();
    ASSERT_EQ(fires.size(), 1u);  // playback starts
    RunLoop::main().advance(1.2);
    EXPECT_NEAR(player->currentTime().seconds(), 1.2, 1e-6);
    EXPECT_EQ(fires, (std::vector<double>{0.0, 0.5, 1.0}));
    player->pause();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(fires.size(), 4u);  // playback stops
    RunLoop::main().advance(5.0);
    EXPECT_NEAR(player->currentTime().seconds(), 1.2, 1e-6);
    EXPECT_EQ(fires.size(), 4u);
}

TEST_F(PlayerPlaybackTest, ReachingTheDurationPostsPlayedToEndOnceAndStopsThere) {
    auto memoryItem = PlayerItem::create(URLAsset::createWithData(t::makeWav(2.0)));
    item = memoryItem;
    auto player = Player::create(memoryItem);
    std::vector<const void*> ends;
    auto token = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::didPlayToEndTimeNotification, static_cast<const PlayerItem*>(memoryItem.get()),
        [&](const Notification& n) { ends.push_back(n.object.get()); });
    RunLoop::main().runUntilIdle();
    player->play();
    RunLoop::main().advance(10.0);
    EXPECT_EQ(count(ends), 1u);
    EXPECT_EQ(ends.size(), 1u);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 2.0);
    EXPECT_EQ(player->rate(), 0.0f);
    RunLoop::main().advance(1.0);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 2.0);
    EXPECT_EQ(ends.size(), 1u);
}

// Once the item has played to its end, play plays it again from its start
// (or from where a seek took it since); a play at the end a seek went to
// reaches the end at once. Whenever the rate says playing, the time moves.
TEST_F(PlayerPlaybackTest, PlayAfterTheEndPlaysAgainAndAPlayAtASoughtEndEndsAtOnce) {
    struct Case {
        const char* name;
        bool playToTheEndFirst;
        std::function<void(Player&)> then;
        double position;  // half a second later
        float rate;
        std::size_t ends;
    };
    const auto seekTo = [](double seconds) {
        return [seconds](Player& player) {
            player.seek(MediaTime::makeWithSeconds(seconds, 1000));
            RunLoop::main().runUntilIdle();
        };
    };
    const std::vector<Case> cases = {
        {"play", true, [](Player& p) { p.play(); }, 0.5, 1.0f, 1},
        {"seek back, play", true, [&](Player& p) { seekTo(1.0)(p); p.play(); }, 1.5, 1.0f, 1},
        {"seek to the start, play", true, [&](Player& p) { seekTo(0)(p); p.play(); }, 0.5, 1.0f, 1},
        {"seek to the end, play", true, [&](Player& p) { seekTo(2.0)(p); p.play(); }, 2.0, 0.0f, 2},
        {"seek to the end, play, play", true,
         [&](Player& p) {
             seekTo(2.0)(p);
             p.play();
             p.play();
         },
         0.5, 1.0f, 2},
        {"never played: seek to the end, play", false, [&](Player& p) { seekTo(2.0)(p); p.play(); }, 2.0, 0.0f, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        item = PlayerItem::create(URLAsset::createWithData(t::makeWav(2.0)));
        auto player = Player::create(item);
        std::vector<const void*> ends;
        auto token = NotificationCenter::defaultCenter().addObserver(
            PlayerItem::didPlayToEndTimeNotification, static_cast<const PlayerItem*>(item.get()),
            [&](const Notification& n) { ends.push_back(n.object.get()); });
        RunLoop::main().runUntilIdle();
        if (c.playToTheEndFirst) {
            player->play();
            RunLoop::main().advance(3.0);
            ASSERT_EQ(ends.size(), 1u);
        }
        c.then(*player);
        RunLoop::main().runUntilIdle();
        const double before = player->currentTime().seconds();
        RunLoop::main().advance(0.5);
        EXPECT_NEAR(player->currentTime().seconds(), c.position, 1e-6);
        EXPECT_EQ(player->rate(), c.rate);
        EXPECT_EQ(player->isAdvancing(), c.rate > 0);
        EXPECT_EQ(player->currentTime().seconds() > before, c.rate > 0);
        EXPECT_EQ(ends.size(), c.ends);
        RunLoop::main().advance(2.0);
        EXPECT_EQ(ends.size(), c.ends + (c.rate > 0 ? 1 : 0));
        EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 2.0);
    }
}

// Playback stops where the bytes held stop, short of it by the few samples
// that the resampler holds back until it has the ones after them.
constexpr double kResamplerTail = 0.003;

TEST_F(PlayerPlaybackTest, RunningPastTheDeliveredBytesStalls) {
    const Data wav = t::makeWav(10.0);  // 16000 bytes per second after a 44-byte header
    auto player = makeStreamingPlayer(wav);
    player->setAutomaticallyWaitsToMinimizeStalling(false);
    std::vector<const void*> stalls;
    auto token = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::playbackStalledNotification, nullptr,
        [&](const Notification& n) { stalls.push_back(n.object.get()); });
    loader->answerAll(44 + 2 * 16000, item);  // two seconds
    player->play();
    RunLoop::main().advance(1.5);
    EXPECT_TRUE(stalls.empty());
    RunLoop::main().advance(1.5);
    EXPECT_EQ(count(stalls), 1u);
    EXPECT_NEAR(player->currentTime().seconds(), 2.0, kResamplerTail);
    EXPECT_EQ(player->rate(), 0.0f);
    // More bytes do not restart a player that does not wait by itself.
    loader->answerAll(44 + 6 * 16000, item);
    RunLoop::main().advance(1.0);
    EXPECT_NEAR(player->currentTime().seconds(), 2.0, kResamplerTail);
    player->play();
    RunLoop::main().advance(1.0);
    EXPECT_NEAR(player->currentTime().seconds(), 3.0, kResamplerTail);
}

TEST_F(PlayerPlaybackTest, AWaitingPlayerResumesWhenBytesArrive) {
    const Data wav = t::makeWav(10.0);
    auto player = makeStreamingPlayer(wav);
    std::vector<const void*> stalls;
    auto token = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::playbackStalledNotification, nullptr,
        [&](const Notification& n) { stalls.push_back(n.object.get()); });
    loader->answerAll(44 + 8000, item);  // half a second: not enough to start
    player->play();
    RunLoop::main().advance(1.0);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 0.0);
    loader->answerAll(44 + 3 * 16000, item);
    RunLoop::main().advance(5.0);
    EXPECT_EQ(stalls.size(), 1u);
    EXPECT_NEAR(player->currentTime().seconds(), 3.0, kResamplerTail);
    EXPECT_EQ(player->rate(), 1.0f);
    loader->answerAll(static_cast<std::int64_t>(wav.size()), item);
    RunLoop::main().advance(20.0);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 10.0);
}

TEST_F(PlayerPlaybackTest, ALaterSeekSupersedesAnEarlierOne) {
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(t::makeWav(30.0))));
    RunLoop::main().runUntilIdle();
    std::vector<std::pair<int, bool>> completions;
    player->seek(MediaTime::make(5, 1), [&](bool f) { completions.emplace_back(1, f); });
    player->seek(MediaTime::make(12, 1), [&](bool f) { completions.emplace_back(2, f); });
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completions, (std::vector<std::pair<int, bool>>{{1, false}, {2, true}}));
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 12.0);
    // Targets are held within the item.
    player->seek(MediaTime::make(-20, 1));
    RunLoop::main().runUntilIdle();
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 0.0);
    player->seek(MediaTime::make(500, 1));
    RunLoop::main().runUntilIdle();
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 30.0);
}

TEST_F(PlayerPlaybackTest, ASeekBeforeTheItemIsReadyCompletesOnceItIs) {
    auto player = makeStreamingPlayer(t::makeWav(20.0));
    std::optional<bool> finished;
    player->seek(MediaTime::make(3, 1), [&](bool f) { finished = f; });
    RunLoop::main().runUntilIdle();
    EXPECT_FALSE(finished.has_value());
    loader->answerAll(1000, item);  // ready, but nothing yet at 3 s
    EXPECT_FALSE(finished.has_value());
    loader->answerAll(44 + 4 * 16000, item);
    ASSERT_TRUE(finished.has_value());
    EXPECT_TRUE(*finished);
    EXPECT_DOUBLE_EQ(player->currentTime().seconds(), 3.0);
}

TEST_F(PlayerPlaybackTest, ObserversGoWithThePlayer) {
    auto player = Player::create(PlayerItem::create(URLAsset::createWithData(t::makeWav(5.0))));
    RunLoop::main().runUntilIdle();
    int fires = 0;
    const auto tokenA = player->addPeriodicTimeObserver(MediaTime::make(1, 2), DispatchQueue::main(), [&](MediaTime) { ++fires; });
    player->play();
    RunLoop::main().advance(1.0);
    const int before = fires;
    EXPECT_GE(before, 3);
    player->removeTimeObserver(tokenA);
    RunLoop::main().advance(1.0);
    EXPECT_EQ(fires, before);
    player->addPeriodicTimeObserver(MediaTime::make(1, 2), DispatchQueue::main(), [&](MediaTime) { ++fires; });
    RunLoop::main().advance(0.6);
    const int withSecond = fires;
    player.reset();
    RunLoop::main().advance(2.0);
    EXPECT_EQ(fires, withSecond);
}

TEST(AudioSessionTest, CategoryCanBeMadeToFailAndInterruptionsArePosted) {
    auto& session = AudioSession::sharedInstance();
    EXPECT_TRUE(session.setCategory(AudioSession::Category::playback).has_value());
    EXPECT_EQ(session.category(), AudioSession::Category::playback);
    session.setCategoryFailure(MediaError{"session", 1, "refused"});
    auto refused = session.setCategory(AudioSession::Category::ambient);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().localizedDescription, "refused");
    EXPECT_EQ(session.category(), AudioSession::Category::playback);
    session.setCategoryFailure(std::nullopt);
    EXPECT_TRUE(session.setCategory(AudioSession::Category::playback).has_value());

    std::vector<platform::core::Json> infos;
    auto token = NotificationCenter::defaultCenter().addObserver(
        AudioSession::interruptionNotification, nullptr, [&](const Notification& n) { infos.push_back(n.userInfo); });
    session.postInterruption(AudioSession::InterruptionType::began);
    session.postInterruption(AudioSession::InterruptionType::ended, AudioSession::interruptionOptionShouldResume);
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0][AudioSession::interruptionTypeKey], 1u);
    EXPECT_FALSE(infos[0].contains(AudioSession::interruptionOptionKey));
    EXPECT_EQ(infos[1][AudioSession::interruptionTypeKey], 0u);
    EXPECT_EQ(infos[1][AudioSession::interruptionOptionKey], 1u);
}

// ---- a file heard while it arrives ----

struct Streaming {
    const t::EncodedMedia* media;
    // Bytes sent each tenth of a second, as a share of what the file's mean
    // rate plays in that time; 0: the whole file at once.
    double shareOfByteRate;
};

void PrintTo(const Streaming& streaming, std::ostream* out) {
    *out << streaming.media->name << " at " << streaming.shareOfByteRate;
}

struct StreamedToWav : Fixture, ::testing::WithParamInterface<Streaming> {
    void SetUp() override {
        Fixture::SetUp();
        std::random_device random;
        path = std::filesystem::temp_directory_path() /
               ("orvane-streamed-" + std::to_string(random()) + "-" + std::to_string(random()) + ".wav");
        AudioOutput::configure({AudioOutput::Kind::wavFile, path});
    }
    void TearDown() override {
        AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
        std::filesystem::remove(path);
    }
    // The interleaved samples of the WAV file's data chunk.
    std::vector<std::int16_t> heard() const {
        const auto file = platform::core::FileManager::readFile(path);
        std::vector<std::int16_t> samples;
        if (!file) return samples;
        const std::string_view header(reinterpret_cast<const char*>(file->data()),
                                      std::min<std::size_t>(file->size(), 256));
        const auto data = header.find("data");
        if (data == std::string_view::npos) return samples;
        for (std::size_t at = data + 8; at + 1 < file->size(); at += 2)
            samples.push_back(static_cast<std::int16_t>((*file)[at] | ((*file)[at + 1] << 8)));
        return samples;
    }

    std::filesystem::path path;
};

// Played on the clock while the file arrives, stalling where the bytes run
// out, what the output was given is the decoded file: nothing skipped, no
// silence in place of what had not arrived.
TEST_P(StreamedToWav, WhatIsHeardIsTheWholeDecodedFileInOrder) {
    const auto& [media, share] = GetParam();
    const Data bytes = media->make();
    ASSERT_FALSE(bytes.empty());
    const auto decoded = t::decodedSamples(bytes);
    ASSERT_FALSE(decoded.empty());
    auto player = makeStreamingPlayer(bytes);
    int stalls = 0;
    bool ended = false;
    auto stalled = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::playbackStalledNotification, static_cast<const PlayerItem*>(item.get()),
        [&](const Notification&) { ++stalls; });
    auto end = NotificationCenter::defaultCenter().addObserver(
        PlayerItem::didPlayToEndTimeNotification, static_cast<const PlayerItem*>(item.get()),
        [&](const Notification&) { ended = true; });
    player->play();

    constexpr double kStep = 0.1;
    const auto size = static_cast<double>(bytes.size());
    const double perStep = share > 0 ? share * size / media->seconds * kStep : size;
    const int steps = static_cast<int>((media->seconds / (share > 0 ? share : 1.0) + media->seconds + 5) / kStep);
    double budget = 0;
    for (int step = 0; step < steps && !ended; ++step) {
        // The connection's bytes go to the open requests in turn.
        budget += perStep;
        for (const auto& request : std::vector(loader->requests)) {
            if (request->isFinished() || request->isCancelled()) continue;
            const std::int64_t from = request->dataRequest()->currentOffset();
            loader->answer(request, from + static_cast<std::int64_t>(budget));
            budget -= static_cast<double>(request->dataRequest()->currentOffset() - from);
        }
        // The item opens and counts what arrived on threads of its own: the
        // clock moves on once the player plays, or once they had a moment.
        RunLoop::main().runUntil([&] { return ended || player->isAdvancing(); }, 0.05);
        RunLoop::main().advance(kStep);
    }
    ASSERT_TRUE(ended);
    player.reset();
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});  // the WAV file is complete
    const auto written = heard();

    // Compared ten milliseconds at a time.
    constexpr std::size_t kBlock = kOutputSampleRate / 100 * kOutputChannels;
    constexpr int kSameWithin = 16;
    constexpr int kQuiet = 64;
    // (The end a header states may differ from where the decoded audio ends
    // by a few milliseconds: compared on what both hold.)
    std::size_t differing = 0;
    std::size_t silentInstead = 0;
    const std::size_t both = std::min(written.size(), decoded.size());
    for (std::size_t from = 0; from < both; from += kBlock) {
        int difference = 0;
        int writtenPeak = 0;
        int decodedPeak = 0;
        for (std::size_t i = from; i < std::min(from + kBlock, both); ++i) {
            const int w = written[i];
            const int d = decoded[i];
            difference = std::max(difference, std::abs(w - d));
            writtenPeak = std::max(writtenPeak, std::abs(w));
            decodedPeak = std::max(decodedPeak, std::abs(d));
        }
        differing += difference > kSameWithin;
        silentInstead += writtenPeak < kQuiet && decodedPeak >= kQuiet;
    }
    const auto seconds = [](std::size_t samples) {
        return static_cast<double>(samples) / kOutputChannels / kOutputSampleRate;
    };
    std::printf("%s: %d stalls; %.3f s written of %.3f s decoded; %.2f s differ; %zu silent blocks of 10 ms\n",
                media->name, stalls, seconds(written.size()), seconds(decoded.size()),
                static_cast<double>(differing) / 100, silentInstead);
    EXPECT_NEAR(seconds(written.size()), seconds(decoded.size()), 0.02);
    // A decoder whose opening read ahead past the bytes then held starts
    // with a seek, and an AAC decoder warms up over its first packet there.
    EXPECT_LE(differing, 3u);
    EXPECT_EQ(silentInstead, 0u);
    if (share > 0) {
        EXPECT_GE(stalls, 1);
    } else {
        EXPECT_EQ(stalls, 0);
    }
}

std::vector<Streaming> streamedFormats() {
    std::vector<Streaming> cases;
    for (const auto* media : {&t::kCbrMp3, &t::kNoiseThenToneVbrMp3Xing, &t::kNoiseThenToneVbrMp3NoXing, &t::kAdtsAac,
                              &t::kM4aMovieFirst, &t::kNoiseM4aMovieLast, &t::kOggOpus12s, &t::kFlac}) {
        cases.push_back({media, 0.5});
        cases.push_back({media, 0});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, StreamedToWav, ::testing::ValuesIn(streamedFormats()),
                         [](const ::testing::TestParamInfo<Streaming>& info) {
                             return std::string(info.param.media->name) +
                                    (info.param.shareOfByteRate > 0 ? "ServedSlowly" : "ServedAtOnce");
                         });

}  // namespace
