// The audio player's commands and its side of the widget bridge: sources,
// play and pause, seeks (whole seconds, resuming only after a finished seek
// that began while playing), 30 s skips and cancel. Manual clock.
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#include "OVAudioPlayerTestSupport.hpp"
#include "orvane/model/OVTrack.hpp"
#include "platform/media/AudioSession.hpp"

namespace {

using namespace orvane;
using audiotest::AudioPlayerFixture;
using platform::media::MediaTime;
using Strings = std::vector<std::string>;

using OVAudioPlayerCommandsTest = AudioPlayerFixture;

// Records the calls of a seek's completion handler.
struct Completions {
    std::vector<bool> flags;
    std::function<void(bool)> handler() {
        return [this](bool finished) { flags.push_back(finished); };
    }
};

TEST_F(OVAudioPlayerCommandsTest, ANewSourceWhilePlayingReportsPausedOnceAndWhilePausedNothing) {
    loadReady(cachedWav("first.wav", 10));
    player->play();
    idle();
    auto first = player->player();
    delegate->take();
    player->widgetSetSource(cachedWav("second.wav", 10));
    EXPECT_EQ(delegate->only("status"), Strings{"status paused"});
    EXPECT_EQ(first->rate(), 0.0f);
    EXPECT_NE(player->player(), first);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    delegate->take();
    player->widgetSetSource(cachedWav("third.wav", 10));
    EXPECT_TRUE(delegate->reports.empty());
    // Loading does not play.
    idle();
    advance(1.0);
    EXPECT_EQ(avTime(), 0.0);
}

TEST_F(OVAudioPlayerCommandsTest, SourcesThatAreNotAddressesAreIgnored) {
    loadReady(cachedWav("kept.wav", 10));
    player->play();
    auto kept = player->player();
    delegate->take();
    const int categories = platform::media::AudioSession::sharedInstance().categoryChangeCount();
    player->widgetSetSource("");
    player->widgetSetSource("not an address");
    player->set(OVAudio(std::nullopt, 12.0));
    player->set(OVAudio("http://bad host/x.mp3", 12.0));
    EXPECT_EQ(player->player(), kept);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_TRUE(delegate->reports.empty());
    EXPECT_EQ(platform::media::AudioSession::sharedInstance().categoryChangeCount(), categories);

    // An episode loads its audio with its duration as the server's.
    auto track = OVTrack::create("ep-1", "Episode 1", 1, OVAudio("http://127.0.0.1:9/audio/ep1.mp3", 321.0),
                                 OVObjDescription{}, std::nullopt);
    player->set(*track);
    EXPECT_NE(player->player(), kept);
    EXPECT_EQ(player->duration(), 321.0);
}

TEST_F(OVAudioPlayerCommandsTest, WidgetPlayAnswersTrueAtOnceWhateverTheSource) {
    std::vector<bool> answers;
    player->widgetPlay([&](bool playing) { answers.push_back(playing); });
    EXPECT_EQ(answers, std::vector<bool>{true});
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    // A source the caching item refuses gives an item that fails: the player
    // pauses as for a failed download.
    player->widgetSetSource("episode.mp3");
    idle();
    player->widgetPlay([&](bool playing) { answers.push_back(playing); });
    EXPECT_EQ(answers, (std::vector<bool>{true, true}));
    EXPECT_EQ(delegate->take(), (Strings{"status playing", "status paused", "status paused", "status playing"}));
    player->widgetPause();
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
}

TEST_F(OVAudioPlayerCommandsTest, SeeksGoToTheNearestWholeSecond) {
    loadReady(cachedWav("seek.wav", 30));
    Completions done;
    player->seek(12.4, done.handler());
    EXPECT_TRUE(done.flags.empty());
    idle();
    EXPECT_EQ(avTime(), 12.0);
    player->seek(12.6, done.handler());
    idle();
    EXPECT_EQ(avTime(), 13.0);
    EXPECT_EQ(done.flags, (std::vector<bool>{true, true}));
    // Paused before, paused after.
    EXPECT_EQ(avRate(), 0.0f);
    EXPECT_TRUE(delegate->only("status").empty());
}

TEST_F(OVAudioPlayerCommandsTest, ASeekWhilePlayingPausesAndResumesWithoutStatusReports) {
    loadReady(cachedWav("resume.wav", 30));
    player->play();
    idle();
    delegate->take();
    Completions done;
    player->seek(20.0, done.handler());
    EXPECT_EQ(avRate(), 0.0f);
    idle();
    EXPECT_EQ(done.flags, std::vector<bool>{true});
    EXPECT_EQ(avRate(), 1.0f);
    EXPECT_EQ(avTime(), 20.0);
    EXPECT_TRUE(delegate->only("status").empty());
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
}

TEST_F(OVAudioPlayerCommandsTest, AnUnfinishedSeekWhilePlayingLeavesTheAudioStoppedUntilTheWatchdogSeesIt) {
    loadReady(cachedWav("unfinished.wav", 30));
    player->play();
    idle();
    delegate->take();
    Completions done;
    player->seek(20.0, done.handler());
    // Another seek takes its place before it completes.
    player->player()->seek(MediaTime::make(25, 1));
    idle();
    EXPECT_EQ(done.flags, std::vector<bool>{false});
    EXPECT_EQ(avRate(), 0.0f);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_TRUE(delegate->only("status").empty());
    advance(2.0);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::loading);
    EXPECT_EQ(delegate->only("status"), Strings{"status loading"});
}

TEST_F(OVAudioPlayerCommandsTest, ASeekWhileLoadingNeitherPausesNorResumes) {
    loadReady(cachedWav("loading.wav", 30));
    player->play();
    idle();
    player->player()->pause();
    advance(2.0);
    ASSERT_EQ(player->status(), OVAudioPlayerStatus::loading);
    Completions done;
    player->seek(10.0, done.handler());
    idle();
    EXPECT_EQ(done.flags, std::vector<bool>{true});
    EXPECT_EQ(avTime(), 10.0);
    EXPECT_EQ(avRate(), 0.0f);
}

TEST_F(OVAudioPlayerCommandsTest, SeeksWithoutAudioOrWithoutATargetNeverFinish) {
    Completions done;
    player->seek(5.0, done.handler());
    idle();
    EXPECT_TRUE(done.flags.empty());

    loadReady(cachedWav("nan.wav", 10));
    player->seek(4.0);
    idle();
    player->seek(std::numeric_limits<double>::quiet_NaN(), done.handler());
    player->seek(std::numeric_limits<double>::infinity(), done.handler());
    idle();
    EXPECT_EQ(done.flags, (std::vector<bool>{false, false}));
    EXPECT_EQ(avTime(), 4.0);
}

TEST_F(OVAudioPlayerCommandsTest, SkipsMoveThirtySecondsAndCompleteOnlyWhenTheSeekFinished) {
    loadReady(cachedWav("skip.wav", 100));
    int completions = 0;
    auto count = [&] { ++completions; };

    player->seek(10.0);
    idle();
    player->forward(count);
    idle();
    EXPECT_EQ(avTime(), 40.0);
    player->backward(count);
    idle();
    EXPECT_EQ(avTime(), 10.0);
    EXPECT_EQ(completions, 2);
    // Targets beyond either end are the platform's to bound.
    player->backward(count);
    idle();
    EXPECT_EQ(avTime(), 0.0);
    player->seek(90.0);
    idle();
    player->forward(count);
    idle();
    EXPECT_EQ(avTime(), 100.0);
    EXPECT_EQ(completions, 4);

    // A skip whose seek is overtaken does not complete.
    player->backward(count);
    player->player()->seek(MediaTime::make(50, 1));
    idle();
    EXPECT_EQ(completions, 4);
    EXPECT_EQ(avTime(), 50.0);
}

TEST_F(OVAudioPlayerCommandsTest, CancelWhilePlayingStopsSilentlyAndLeavesNothingToSkip) {
    loadReady(cachedWav("quit.wav", 30));
    player->play();
    idle();
    auto avPlayer = player->player();
    delegate->take();
    player->cancel();
    EXPECT_EQ(avPlayer->rate(), 0.0f);
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::playing);
    EXPECT_FALSE(player->widgetGetCurrentTime());
    EXPECT_FALSE(player->position());
    int completions = 0;
    player->forward([&] { ++completions; });
    player->backward([&] { ++completions; });
    idle();
    EXPECT_EQ(completions, 0);
    EXPECT_TRUE(delegate->only("status").empty());
    // Commands still change and report the status.
    player->pause();
    EXPECT_EQ(delegate->take(), Strings{"status paused"});
}

}  // namespace
