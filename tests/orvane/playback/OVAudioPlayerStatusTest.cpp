// The audio player's status machine and what it reports of the media layer:
// watchdog, periodic observation, item readiness, end, stall, interruptions,
// download failures and the audio session. Runs on the manual clock; the
// watchdog ticks at whole seconds after the player was made.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>

#include "OVAudioPlayerTestSupport.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/NotificationCenter.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/AudioSession.hpp"
#include "support/MediaServerScripts.hpp"
#include "support/RawServer.hpp"
#include "support/SoundServer.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace orvane;
using audiotest::AudioPlayerFixture;
using platform::core::Json;
using platform::core::NotificationCenter;
using platform::core::RunLoop;
using platform::media::AudioOutput;
using platform::media::AudioSession;
using platform::media::MediaTime;
using platform::media::PlayerItem;
using platform::media::PlayerItemStatus;
using platform::net::URLError;
using Strings = std::vector<std::string>;
using testsupport::SoundServer;
namespace t = orvane::testing;

using OVAudioPlayerStatusTest = AudioPlayerFixture;

TEST_F(OVAudioPlayerStatusTest, ANewPlayerIsPausedKnowsNothingAndReportsNothing) {
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_FALSE(player->duration());
    EXPECT_FALSE(player->position());
    EXPECT_FALSE(player->widgetGetCurrentTime());
    EXPECT_EQ(player->player(), nullptr);
    // It is the bridge's player, until a newer player takes its place.
    EXPECT_EQ(OVWidgetManager::shared().delegate(), player);
    // It touches the audio session only with a source.
    const int categories = AudioSession::sharedInstance().categoryChangeCount();
    AudioSession::sharedInstance().postInterruption(AudioSession::InterruptionType::began);
    advance(5.0);
    EXPECT_EQ(AudioSession::sharedInstance().categoryChangeCount(), categories);
    EXPECT_TRUE(delegate->reports.empty());

    auto newer = OVAudioPlayer::create();
    EXPECT_EQ(OVWidgetManager::shared().delegate(), newer);
}

TEST_F(OVAudioPlayerStatusTest, PlayAndPauseReportEveryTimeEvenWithoutChange) {
    player->play();
    player->play();
    player->pause();
    player->widgetPause();
    EXPECT_EQ(delegate->take(), (Strings{"status playing", "status playing", "status paused", "status paused"}));
    // Before any periodic callback ever came, the watchdog leaves playing alone.
    player->play();
    advance(5.0);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(delegate->take(), Strings{"status playing"});
    // With no delegate the status still changes.
    player->setDelegate({});
    player->pause();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
}

TEST_F(OVAudioPlayerStatusTest, TheWatchdogTurnsLoadingOnlyPastOneSecondAndTheNextCallbackTurnsPlaying) {
    loadReady(cachedWav("long.wav", 60));
    player->play();
    idle();  // the start of playback makes a periodic callback now (t0)
    advance(2.0);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    // The time stops moving at t0 + 2 (a last callback then) while the
    // player still means to play.
    player->player()->pause();
    idle();
    delegate->take();

    advance(1.0);  // tick at t0 + 3: exactly 1.0 s since the last callback
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_TRUE(delegate->only("status").empty());
    advance(1.0);  // tick at t0 + 4
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::loading);
    EXPECT_EQ(delegate->take(), Strings{"status loading"});

    // The audio moves again: its first callback turns playing.
    player->player()->play();
    idle();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(delegate->only("status"), Strings{"status playing"});

    advance(0.8);
    player->player()->pause();  // last callback at t0 + 4.8
    idle();
    delegate->take();
    advance(1.0);  // tick at t0 + 5: 0.2 s
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    advance(0.4);  // tick at t0 + 6: 1.2 s
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::loading);
    advance(3.0);  // later ticks while loading report nothing more
    EXPECT_EQ(delegate->take(), Strings{"status loading"});
}

TEST_F(OVAudioPlayerStatusTest, PeriodicCallbacksReportThePositionAndLeavePausedAlone) {
    loadReady(cachedWav("ten.wav", 10));
    delegate->take();
    // A jump while paused makes a callback: the position is reported, the
    // status stays.
    player->seek(5.0);
    idle();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(delegate->take(), Strings{"position 5.0/10.0"});
    // While playing, every half second of media time.
    player->play();
    idle();
    advance(1.0);
    EXPECT_EQ(delegate->take(),
              (Strings{"status playing", "position 5.0/10.0", "position 5.5/10.0", "position 6.0/10.0"}));
    EXPECT_EQ(player->position()->time, 6.0);
    EXPECT_EQ(player->position()->duration, 10.0);
    EXPECT_EQ(player->widgetGetCurrentTime(), 6.0);
}

TEST_F(OVAudioPlayerStatusTest, AReadyItemReportsItsOwnDurationFirstThenThePosition) {
    cachedWav("four.wav", 4);
    OVAudio audio("http://127.0.0.1:9/audio/four.wav", 99.0);
    player->set(audio);
    // Before the item is ready the duration given with the source stands in.
    EXPECT_EQ(player->duration(), 99.0);
    EXPECT_TRUE(delegate->reports.empty());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !delegate->reports.empty(); }, 5.0));
    idle();
    EXPECT_EQ(delegate->take(), (Strings{"duration 4.0", "position 0.0/4.0"}));
    EXPECT_EQ(player->duration(), 4.0);
}

TEST_F(OVAudioPlayerStatusTest, WithoutAnItemDurationTheServerDurationOrNothingIsUsed) {
    // The item of an address nobody answers stays unready while the main
    // queue does not run.
    player->set(OVAudio("http://127.0.0.1:9/audio/far.mp3", 42.0));
    EXPECT_EQ(player->duration(), 42.0);
    ASSERT_TRUE(player->position());
    EXPECT_EQ(player->position()->time, 0.0);
    EXPECT_EQ(player->position()->duration, 42.0);
    // The widget's sources come without one.
    player->widgetSetSource("http://127.0.0.1:9/audio/far.mp3");
    EXPECT_FALSE(player->duration());
    EXPECT_FALSE(player->position());
    EXPECT_EQ(player->widgetGetCurrentTime(), 0.0);

    // An item ready with an indefinite duration: the server's, else none.
    EXPECT_EQ(OVAudioPlayer::knownDuration(MediaTime::indefiniteTime(), 42.0), 42.0);
    EXPECT_FALSE(OVAudioPlayer::knownDuration(MediaTime::indefiniteTime(), std::nullopt));
    EXPECT_EQ(OVAudioPlayer::knownDuration(MediaTime::make(7, 2), 42.0), 3.5);
}

TEST_F(OVAudioPlayerStatusTest, TheEndReportsPausedThenEndAndTheTimeStaysAtTheEnd) {
    loadReady(cachedWav("two.wav", 2));
    player->play();
    idle();
    delegate->take();
    advance(3.0);
    const auto reports = delegate->take();
    const auto end = std::find(reports.begin(), reports.end(), "end");
    ASSERT_NE(end, reports.end());
    ASSERT_NE(end, reports.begin());
    EXPECT_EQ(*(end - 1), "status paused");
    EXPECT_EQ(std::count(reports.begin(), reports.end(), "end"), 1);
    EXPECT_EQ(std::count(reports.begin(), reports.end(), "status paused"), 1);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(avTime(), 2.0);
    EXPECT_EQ(player->widgetGetCurrentTime(), 2.0);
}

// After the end, the listener's play (straight away, or after a rewind or a
// move of the slider) plays from the start or from where the position went,
// the start when that is the end:
// "playing" is reported only with the time moving. A skip past the end while
// playing reaches the end, and says so.
TEST_F(OVAudioPlayerStatusTest, AfterTheEndPlayPlaysAgainAndPlayingAlwaysMeansTheTimeMoves) {
    struct Case {
        const char* name;
        std::function<void()> afterTheEnd;
        double from;
    };
    const std::vector<Case> cases = {
        {"play", [&] { player->play(); }, 0.0},
        {"play, then rewind",
         [&] {
             player->play();
             idle();
             player->backward();
         },
         0.0},
        {"rewind, then play",
         [&] {
             player->backward();
             idle();
             player->play();
         },
         0.0},
        {"slider to 1 s, then play",
         [&] {
             player->seek(1.0);
             idle();
             player->play();
         },
         1.0},
        {"slider away and back to the end, then play",
         [&] {
             player->seek(1.0);
             idle();
             player->seek(2.0);
             idle();
             player->play();
         },
         0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        loadReady(cachedWav("again.wav", 2));
        delegate->take();
        player->play();
        advance(3.0);
        ASSERT_EQ(delegate->only("end").size(), 1u);
        delegate->take();
        c.afterTheEnd();
        idle();
        advance(0.5);
        EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
        EXPECT_NEAR(avTime(), c.from + 0.5, 1e-6);
        EXPECT_EQ(avRate(), 1.0f);
        EXPECT_TRUE(delegate->only("end").empty());
        ASSERT_FALSE(delegate->only("position ").empty());
        EXPECT_EQ(delegate->only("position ").back(), "position " + plainDescription(c.from + 0.5) + "/2.0");
        advance(2.0);
        EXPECT_EQ(delegate->only("end").size(), 1u);
        EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
        player->pause();
    }

    loadReady(cachedWav("past.wav", 2));
    player->play();
    advance(0.5);
    delegate->take();
    player->forward();
    idle();
    EXPECT_EQ(delegate->only("status"), Strings{"status paused"});
    EXPECT_EQ(delegate->only("end").size(), 1u);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(avTime(), 2.0);
}

TEST_F(OVAudioPlayerStatusTest, AStallOfTheCurrentItemPausesAndOtherItemsAreIgnored) {
    loadReady(cachedWav("stall.wav", 10));
    player->play();
    idle();
    delegate->take();
    auto& center = NotificationCenter::defaultCenter();
    auto stranger = PlayerItem::create(*platform::core::URL::parse("http://127.0.0.1:9/other.wav"));
    center.post(PlayerItem::playbackStalledNotification, stranger);
    center.post(PlayerItem::didPlayToEndTimeNotification, stranger);
    EXPECT_TRUE(delegate->reports.empty());
    center.post(PlayerItem::playbackStalledNotification, player->player()->currentItem());
    EXPECT_EQ(delegate->take(), Strings{"status paused"});
    EXPECT_EQ(avRate(), 0.0f);
}

// A sound server that does not answer is a stall too: the widget hears that
// the player paused; and again each time play is pressed while it still does
// not answer.
TEST_F(OVAudioPlayerStatusTest, ASoundServerThatDoesNotAnswerPausesAsAStallDoes) {
    if (!SoundServer::available()) GTEST_SKIP() << "pulseaudio and parec are not installed (scripts/setup installs them)";
    SoundServer server;
    ASSERT_TRUE(server.running()) << "the sound server did not start; see " << server.log();
    server.freeze();
    AudioOutput::configure({AudioOutput::Kind::automatic, {}});
    loadReady(cachedWav("unheard.wav", 10));
    platform::core::DebugCapture said;
    player->play();
    // The output gives up waiting for an answer on its own clock; the player
    // then waits a little longer for it, on the run loop's.
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return said.count("does not answer") == 1; }, 5.0));
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    advance(2.0);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->status() == OVAudioPlayerStatus::paused; }, 5.0));
    EXPECT_EQ(delegate->only("status"), (Strings{"status playing", "status paused"}));
    EXPECT_EQ(avRate(), 0.0f);
    EXPECT_EQ(avTime(), 0.0);

    delegate->take();
    player->play();
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    advance(2.0);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->status() == OVAudioPlayerStatus::paused; }, 5.0))
        << "play while the server is still away never stalls";
    EXPECT_EQ(delegate->only("status"), (Strings{"status playing", "status paused"}));
    EXPECT_EQ(avRate(), 0.0f);
    EXPECT_EQ(said.count("does not answer"), 1u);
    AudioOutput::configure({AudioOutput::Kind::timeKeeping, {}});
}

TEST_F(OVAudioPlayerStatusTest, InterruptionsAreReportedOnlyWhenComplete) {
    loadReady(cachedWav("int.wav", 10));
    // A second source renews the registration instead of adding one.
    loadReady(cachedWav("int2.wav", 10));
    player->play();
    idle();
    delegate->take();
    auto& session = AudioSession::sharedInstance();
    session.postInterruption(AudioSession::InterruptionType::began);
    session.postInterruption(AudioSession::InterruptionType::ended, AudioSession::interruptionOptionShouldResume);
    session.postInterruption(AudioSession::InterruptionType::ended, 0u);
    EXPECT_EQ(delegate->take(),
              (Strings{"interruption began", "interruption ended resume", "interruption ended no resume"}));
    // Incomplete or unknown ones say nothing.
    session.postInterruption(AudioSession::InterruptionType::ended);
    auto& center = NotificationCenter::defaultCenter();
    center.post(AudioSession::interruptionNotification);
    center.post(AudioSession::interruptionNotification, nullptr, Json::object());
    center.post(AudioSession::interruptionNotification, nullptr, Json{{AudioSession::interruptionTypeKey, "began"}});
    center.post(AudioSession::interruptionNotification, nullptr, Json{{AudioSession::interruptionTypeKey, -1}});
    center.post(AudioSession::interruptionNotification, nullptr, Json{{AudioSession::interruptionTypeKey, 7}});
    center.post(AudioSession::interruptionNotification, nullptr,
                Json{{AudioSession::interruptionTypeKey, 0}, {AudioSession::interruptionOptionKey, "1"}});
    EXPECT_TRUE(delegate->reports.empty());
    // The player leaves acting on them to its delegate.
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(avRate(), 1.0f);
}

TEST_F(OVAudioPlayerStatusTest, CancelUnhooksEveryObserverUntilTheNextSource) {
    loadReady(cachedWav("cancel.wav", 10));
    player->play();
    idle();
    auto oldPlayer = player->player();
    auto oldItem = oldPlayer->currentItem();
    delegate->take();

    player->cancel();
    EXPECT_TRUE(delegate->reports.empty());
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(player->player(), nullptr);
    EXPECT_EQ(oldPlayer->rate(), 0.0f);
    auto& center = NotificationCenter::defaultCenter();
    center.post(PlayerItem::playbackStalledNotification, oldItem);
    center.post(PlayerItem::didPlayToEndTimeNotification, oldItem);
    AudioSession::sharedInstance().postInterruption(AudioSession::InterruptionType::began);
    oldItem.reset();
    oldPlayer.reset();
    EXPECT_TRUE(delegate->reports.empty());
    // The watchdog keeps running: no callback comes any more.
    advance(2.0);
    EXPECT_EQ(delegate->take(), Strings{"status loading"});

    // A new source brings the interruption, stall and end observers back.
    loadReady(cachedWav("again.wav", 10));
    delegate->take();
    AudioSession::sharedInstance().postInterruption(AudioSession::InterruptionType::began);
    center.post(PlayerItem::didPlayToEndTimeNotification, player->player()->currentItem());
    player->play();
    center.post(PlayerItem::playbackStalledNotification, player->player()->currentItem());
    EXPECT_EQ(delegate->take(),
              (Strings{"interruption began", "status paused", "end", "status playing", "status paused"}));
}

TEST_F(OVAudioPlayerStatusTest, ADownloadFailureBeforeReadyResetsAndPausesOnTheMainQueue) {
    auto gate = std::make_shared<std::atomic<bool>>(false);
    t::RawServer server(t::gatedResponse(t::makeWav(4), gate));
    player->widgetSetSource(server.url("/gated.wav"));
    player->play();
    auto item = std::dynamic_pointer_cast<OVCachePlayerItem>(player->player()->currentItem());
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->resourceLoaderDelegate()->session(), nullptr);
    delegate->take();

    // A report from an earlier item changes nothing.
    auto stale = OVCachePlayerItem::create(*platform::core::URL::parse(server.url("/stale.wav")));
    player->playerItemDownloadingFailedWith(stale, URLError{URLError::Code::networkConnectionLost, "lost", ""});
    idle();
    EXPECT_NE(item->resourceLoaderDelegate()->session(), nullptr);
    EXPECT_TRUE(delegate->reports.empty());

    // The report arrives off the main thread; the player acts on the main queue.
    player->playerItemDownloadingFailedWith(item, URLError{URLError::Code::networkConnectionLost, "lost", ""});
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    idle();
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), nullptr);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(delegate->take(), Strings{"status paused"});
    server.stop();
}

TEST_F(OVAudioPlayerStatusTest, ADownloadFailureAfterReadyOnlyResets) {
    const auto wav = t::makeWav(10);
    const std::size_t sent = 44 + 3 * 16000;
    t::RawServer server(t::stallAfter(wav, sent));
    player->widgetSetSource(server.url("/slow.wav"));
    player->play();
    auto item = std::dynamic_pointer_cast<OVCachePlayerItem>(player->player()->currentItem());
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return item->status() == PlayerItemStatus::readyToPlay; }, 5.0));
    idle();
    ASSERT_NE(item->resourceLoaderDelegate()->session(), nullptr);
    delegate->take();
    player->playerItemDownloadingFailedWith(item, URLError{URLError::Code::networkConnectionLost, "lost", ""});
    idle();
    EXPECT_EQ(item->resourceLoaderDelegate()->session(), nullptr);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(avRate(), 1.0f);
    EXPECT_TRUE(delegate->only("status").empty());
    server.stop();
}

TEST_F(OVAudioPlayerStatusTest, ANotFoundAnswerPausesAPlayerAskedToPlay) {
    t::TestHttpServer server;
    server.serveText("/missing.mp3", std::string(2000, 'x'), "text/html", 404);
    server.start();
    player->widgetSetSource(server.url("/missing.mp3"));
    player->play();
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return player->status() == OVAudioPlayerStatus::paused; }, 5.0));
    EXPECT_EQ(delegate->take(), (Strings{"status playing", "status paused"}));
    EXPECT_FALSE(OVAudioCache::isInCache("missing.mp3"));
}

TEST_F(OVAudioPlayerStatusTest, EverySourceSetsThePlaybackCategoryAndARefusalIsPrintedAndIgnored) {
    auto& session = AudioSession::sharedInstance();
    const int before = session.categoryChangeCount();
    player->widgetSetSource("http://127.0.0.1:9/a.mp3");
    EXPECT_EQ(session.categoryChangeCount(), before + 1);
    EXPECT_EQ(session.category(), AudioSession::Category::playback);
    player->play();
    player->pause();
    player->cancel();
    player->widgetSetSource("http://127.0.0.1:9/a.mp3");
    EXPECT_EQ(session.categoryChangeCount(), before + 2);

    platform::core::DebugCapture capture;
    session.setCategoryFailure(platform::media::MediaError{"session", 561017449, "The session is busy."});
    player->widgetSetSource("http://127.0.0.1:9/b.mp3");
    EXPECT_EQ(capture.count("Failed to set the audio session category and mode: The session is busy."), 1u);
    EXPECT_NE(player->player(), nullptr);
    delegate->take();
    session.postInterruption(AudioSession::InterruptionType::began);
    EXPECT_EQ(delegate->take(), Strings{"interruption began"});
    session.setCategoryFailure(std::nullopt);
}

}  // namespace
