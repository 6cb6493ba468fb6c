// The now-playing object on its own: remote commands reaching its delegate,
// the suspension of elapsed time during a change of position, what each
// update publishes, artwork from the cache or from a later load, and the
// platform version gates.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/playback/OVNowPlaying.hpp"
#include "orvane/playback/OVNowPlayingTestSupport.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "platform/ui/views/Application.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace nowplayingtest;
using orvane::OVImageCache;
using orvane::OVNowPlaying;
using platform::core::RunLoop;
using platform::core::SystemVersion;
using platform::core::URL;
using platform::media::ChangePlaybackPositionCommandEvent;
using platform::media::RemoteCommand;
using platform::media::RemoteCommandCenter;
using platform::media::RemoteCommandEvent;
using platform::media::RemoteCommandHandlerStatus;
using platform::media::SeekCommandEvent;
using platform::media::SkipIntervalCommandEvent;
using platform::ui::Application;
using platform::graphics::Image;

constexpr double kWait = 10.0;

RemoteCommandCenter& commands() { return RemoteCommandCenter::shared(); }

// Every command of the centre with a short name, in the order of installation.
std::vector<std::pair<std::string, RemoteCommand*>> allCommands() {
    auto& c = commands();
    return {{"play", &c.playCommand()},
            {"pause", &c.pauseCommand()},
            {"toggle", &c.togglePlayPauseCommand()},
            {"seekBackward", &c.seekBackwardCommand()},
            {"seekForward", &c.seekForwardCommand()},
            {"skipBackward", &c.skipBackwardCommand()},
            {"skipForward", &c.skipForwardCommand()},
            {"changePosition", &c.changePlaybackPositionCommand()}};
}

bool allSucceeded(const std::vector<RemoteCommandHandlerStatus>& statuses) {
    return std::ranges::all_of(statuses, [](auto s) { return s == RemoteCommandHandlerStatus::success; });
}

// Lets queued main-queue work and any late hand-over arrive.
void letLateDeliveriesArrive() { RunLoop::main().runUntil([] { return false; }, 0.3); }

// An image route whose answer waits until the test releases it.
struct GatedImage {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<int> arrived{0};

    void serve(orvane::testing::TestHttpServer& server, const std::string& path, std::vector<std::uint8_t> bytes) {
        server.server().Get(path, [this, bytes](const httplib::Request&, httplib::Response& response) {
            ++arrived;
            std::unique_lock lock(mutex);
            opened.wait_for(lock, std::chrono::seconds(20), [this] { return open; });
            response.set_content(reinterpret_cast<const char*>(bytes.data()), bytes.size(), "image/png");
        });
    }
    void release() {
        std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
};

struct OVNowPlayingTest : ::testing::Test {
    // Artwork comes from the image cache through the toolkit's image store.
    void SetUp() override { orvane::installLayerHooks(); }
    testsupport::TempDocuments documents;
    PublishedInfo published;
    std::shared_ptr<RecordingUserActions> actions = std::make_shared<RecordingUserActions>();
};

TEST_F(OVNowPlayingTest, RemoteCommandsReachTheDelegateOfTheMomentAndAlwaysAnswerSuccess) {
    auto nowPlaying = OVNowPlaying::create();
    EXPECT_TRUE(Application::shared().isReceivingRemoteControlEvents());
    for (const auto& [name, command] : allCommands()) EXPECT_EQ(command->targetCount(), 1u) << name;
    EXPECT_EQ(commands().skipBackwardCommand().preferredIntervals(), std::vector<double>{-30.0});
    EXPECT_EQ(commands().skipForwardCommand().preferredIntervals(), std::vector<double>{30.0});

    // No delegate yet: acknowledged and dropped.
    for (const auto& [name, command] : allCommands()) EXPECT_TRUE(allSucceeded(command->fire())) << name;
    EXPECT_TRUE(allSucceeded(commands().changePlaybackPositionCommand().fire(ChangePlaybackPositionCommandEvent{5})));
    EXPECT_TRUE(actions->calls.empty());

    nowPlaying->setDelegate(actions);
    EXPECT_TRUE(allSucceeded(commands().playCommand().fire()));
    EXPECT_TRUE(allSucceeded(commands().pauseCommand().fire()));
    EXPECT_TRUE(allSucceeded(commands().togglePlayPauseCommand().fire()));
    // Press and hold: a begin and an end event, one call each.
    commands().seekBackwardCommand().fire(SeekCommandEvent{SeekCommandEvent::Type::beginSeeking});
    commands().seekBackwardCommand().fire(SeekCommandEvent{SeekCommandEvent::Type::endSeeking});
    commands().seekForwardCommand().fire(SeekCommandEvent{SeekCommandEvent::Type::beginSeeking});
    // The event's interval is not used: the delegate skips its own 30 s.
    commands().skipBackwardCommand().fire(SkipIntervalCommandEvent{-15});
    commands().skipForwardCommand().fire(SkipIntervalCommandEvent{15});
    EXPECT_EQ(actions->calls,
              (std::vector<std::string>{"play", "pause", "toggle", "backward", "backward", "forward", "backward",
                                        "forward"}));

    // A gone delegate is no delegate.
    actions.reset();
    for (const auto& [name, command] : allCommands()) EXPECT_TRUE(allSucceeded(command->fire())) << name;
}

TEST_F(OVNowPlayingTest, AChangeOfPositionSuspendsElapsedTimeUntilTheDelegateCompletesIt) {
    auto nowPlaying = OVNowPlaying::create();
    nowPlaying->setDelegate(actions);
    nowPlaying->update("Episode", std::nullopt, true);
    nowPlaying->updateTime(10, 300);
    ASSERT_EQ(published.size(), 2u);

    // An event of another kind is acknowledged and ignored.
    EXPECT_TRUE(allSucceeded(commands().changePlaybackPositionCommand().fire(RemoteCommandEvent{})));
    EXPECT_TRUE(actions->calls.empty());
    EXPECT_FALSE(nowPlaying->sliderIsBeingChangedByUser());

    EXPECT_TRUE(allSucceeded(commands().changePlaybackPositionCommand().fire(ChangePlaybackPositionCommandEvent{125.5})));
    ASSERT_EQ(actions->sliderValues, std::vector<float>{125.5f});
    ASSERT_TRUE(actions->sliderCompletion);
    EXPECT_TRUE(nowPlaying->sliderIsBeingChangedByUser());
    nowPlaying->updateTime(11, 300);
    nowPlaying->updateTime(12, 300);
    EXPECT_EQ(published.size(), 2u) << "no elapsed time while the seek runs";

    // A seek that never completes keeps publishing suspended; a later one
    // that completes (with whatever result) resumes it.
    auto abandoned = std::move(actions->sliderCompletion);
    commands().changePlaybackPositionCommand().fire(ChangePlaybackPositionCommandEvent{40});
    nowPlaying->updateTime(13, 300);
    EXPECT_EQ(published.size(), 2u);
    actions->sliderCompletion(false);
    EXPECT_FALSE(nowPlaying->sliderIsBeingChangedByUser());
    nowPlaying->updateTime(40, 300);
    ASSERT_EQ(published.size(), 3u);
    EXPECT_EQ(elapsed(published.last()), 40.0);
    EXPECT_EQ(duration(published.last()), 300.0);
    EXPECT_EQ(title(published.last()), "Episode");
    EXPECT_EQ(nowPlaying->currentNowPlayingInfo().count(Key::elapsedPlaybackTime), 0u)
        << "elapsed time is published, never kept";

    // The completion may outlive the object.
    nowPlaying.reset();
    abandoned(true);
}

TEST_F(OVNowPlayingTest, AnUpdateSetsTitleAndRateAndOnlyTheSkipAndPositionFlags) {
    auto nowPlaying = OVNowPlaying::create();
    commands().playCommand().setEnabled(false);
    commands().seekForwardCommand().setEnabled(true);

    nowPlaying->update(std::nullopt, std::nullopt, true);
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(keys(published[0]), std::vector<std::string>{Key::playbackRate});
    EXPECT_EQ(rate(published[0]), 1.0);
    EXPECT_TRUE(commands().skipBackwardCommand().isEnabled());
    EXPECT_TRUE(commands().skipForwardCommand().isEnabled());
    EXPECT_TRUE(commands().changePlaybackPositionCommand().isEnabled());

    nowPlaying->updateTime(3, 60);
    nowPlaying->update("Second", std::nullopt, false);
    ASSERT_EQ(published.size(), 3u);
    EXPECT_EQ(keys(published[2]), (std::vector<std::string>{Key::playbackRate, Key::title}))
        << "a new title drops elapsed time and duration until the next position";
    EXPECT_EQ(title(published[2]), "Second");
    EXPECT_FALSE(commands().skipBackwardCommand().isEnabled());
    EXPECT_FALSE(commands().skipForwardCommand().isEnabled());
    EXPECT_FALSE(commands().changePlaybackPositionCommand().isEnabled());
    EXPECT_FALSE(commands().playCommand().isEnabled()) << "left as it was";
    EXPECT_TRUE(commands().seekForwardCommand().isEnabled()) << "left as it was";
    EXPECT_TRUE(commands().pauseCommand().isEnabled());
    EXPECT_TRUE(commands().togglePlayPauseCommand().isEnabled());

    nowPlaying->end();
    EXPECT_FALSE(Application::shared().isReceivingRemoteControlEvents());
    EXPECT_EQ(published.size(), 3u) << "ending publishes nothing";
    EXPECT_EQ(commands().playCommand().targetCount(), 1u) << "handlers stay installed";
}

TEST_F(OVNowPlayingTest, OlderSystemsHaveNoPositionCommandAndNoElapsedTime) {
    SystemVersion::setCurrent({9, 0});
    auto nowPlaying = OVNowPlaying::create();
    nowPlaying->setDelegate(actions);
    EXPECT_EQ(commands().changePlaybackPositionCommand().targetCount(), 0u);
    nowPlaying->update("Old", std::nullopt, false);
    EXPECT_TRUE(commands().changePlaybackPositionCommand().isEnabled()) << "never touched";
    EXPECT_FALSE(commands().skipForwardCommand().isEnabled());
    nowPlaying->updateTime(5, 50);
    EXPECT_EQ(published.size(), 1u);

    SystemVersion::setCurrent({9, 1});
    auto later = OVNowPlaying::create();
    EXPECT_EQ(commands().changePlaybackPositionCommand().targetCount(), 1u);
    later->update("Newer", std::nullopt, false);
    EXPECT_FALSE(commands().changePlaybackPositionCommand().isEnabled());
    later->updateTime(5, 50);
    EXPECT_EQ(published.size(), 2u) << "elapsed time needs version 10";

    SystemVersion::setCurrent({10, 0});
    later->updateTime(5, 50);
    EXPECT_EQ(published.size(), 3u);
}

TEST_F(OVNowPlayingTest, ACachedImageIsPublishedWithTheTitleAndNoLoadStarts) {
    const auto image = Image::fromData(testimages::png(30, 20, 4));
    ASSERT_TRUE(image);
    OVImageCache::cache(*image, "cover.png");

    auto nowPlaying = OVNowPlaying::create();
    // Nothing listens on port 1: a load would fail and deliver the default
    // image as a second assignment.
    nowPlaying->update("Cached", URL::parse("http://127.0.0.1:1/art/cover.png"), true);
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(title(published[0]), "Cached");
    EXPECT_EQ(rate(published[0]), 1.0);
    const auto* artwork = platform::media::nowPlayingArtwork(published[0]);
    ASSERT_NE(artwork, nullptr);
    EXPECT_EQ(artwork->bounds(), (platform::media::ArtworkSize{30, 20}));
    EXPECT_EQ(artwork->imageWithSize({300, 300}), *image);
    letLateDeliveriesArrive();
    EXPECT_EQ(published.size(), 1u);
}

TEST_F(OVNowPlayingTest, ALoadedImageIsMergedIntoTheInformationOfTheMomentItArrives) {
    const auto bytes = testimages::png(16, 16, 9);
    orvane::testing::TestHttpServer server;
    server.serveBytes("/art/ep1.png", bytes, "image/png");
    server.start();

    auto nowPlaying = OVNowPlaying::create();
    nowPlaying->update("Episode 1", URL::parse(server.url("/art/ep1.png")), true);
    nowPlaying->updateTime(12, 300);  // before the image can arrive: it is handed over on the main queue
    ASSERT_EQ(published.size(), 2u);
    EXPECT_FALSE(hasArtwork(published[0]));
    EXPECT_EQ(elapsed(published[1]), 12.0);

    ASSERT_TRUE(RunLoop::main().runUntil([&] { return published.size() == 3; }, kWait));
    EXPECT_EQ(keys(published[2]), (std::vector<std::string>{Key::artwork, Key::playbackRate, Key::title}));
    EXPECT_EQ(platform::media::nowPlayingArtwork(published[2])->imageWithSize({1, 1}), *Image::fromData(bytes));
    EXPECT_TRUE(OVImageCache::isInCache("ep1.png"));

    nowPlaying->updateTime(13, 300);
    EXPECT_EQ(keys(published.last()), (std::vector<std::string>{Key::artwork, Key::elapsedPlaybackTime,
                                                                 Key::playbackDuration, Key::playbackRate, Key::title}));
}

TEST_F(OVNowPlayingTest, ANewEpisodeWithdrawsTheArtworkLoadStillInFlight) {
    GatedImage slow;
    orvane::testing::TestHttpServer server;
    const auto slowBytes = testimages::png(8, 8, 1);
    const auto fastBytes = testimages::png(12, 12, 2);
    slow.serve(server, "/art/slow.png", slowBytes);
    server.serveBytes("/art/fast.png", fastBytes, "image/png");
    server.start();
    struct Release {
        GatedImage& gate;
        ~Release() { gate.release(); }
    } releaseOnExit{slow};

    auto nowPlaying = OVNowPlaying::create();
    nowPlaying->update("First", URL::parse(server.url("/art/slow.png")), true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return slow.arrived > 0; }, kWait));

    nowPlaying->update("Second", URL::parse(server.url("/art/fast.png")), true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return published.size() == 3; }, kWait));
    EXPECT_EQ(title(published[2]), "Second");
    EXPECT_EQ(platform::media::nowPlayingArtwork(published[2])->imageWithSize({1, 1}), *Image::fromData(fastBytes));

    // The withdrawn load still finishes and fills the cache, but publishes nothing.
    slow.release();
    ASSERT_TRUE(RunLoop::main().runUntil([] { return OVImageCache::isInCache("slow.png"); }, kWait));
    letLateDeliveriesArrive();
    ASSERT_EQ(published.size(), 3u);
    EXPECT_EQ(title(nowPlaying->currentNowPlayingInfo()), "Second");
}

TEST_F(OVNowPlayingTest, AnImageThatCannotBeFetchedGivesTheDefaultImageOrNoArtwork) {
    auto nowPlaying = OVNowPlaying::create();
    // No scheme: the transfer cannot start and brings no data, so the loader
    // hands on the placeholder, which becomes the artwork.
    const auto placeholder = orvane::defaultImage();
    ASSERT_TRUE(placeholder);
    nowPlaying->update("A", URL::parse("cover-a.png"), true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return published.size() == 2; }, kWait));
    EXPECT_EQ(platform::media::nowPlayingArtwork(published[1])->imageWithSize({1, 1}), *placeholder);

    // The host replaced the placeholder with its own image.
    const auto hostImage = Image::fromData(testimages::png(5, 5, 7));
    orvane::setDefaultImage(hostImage);
    nowPlaying->update("B", URL::parse("cover-b.png"), true);
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return published.size() == 4; }, kWait));
    EXPECT_EQ(platform::media::nowPlayingArtwork(published[3])->imageWithSize({1, 1}), *hostImage);

    // No placeholder at all: nothing to merge, the title stands alone.
    orvane::setDefaultImage(std::nullopt);
    nowPlaying->update("C", URL::parse("cover-c.png"), true);
    letLateDeliveriesArrive();
    ASSERT_EQ(published.size(), 5u);
    EXPECT_FALSE(hasArtwork(published[4]));
}

TEST_F(OVNowPlayingTest, EachNewObjectAddsItsHandlersBesideTheEarlierOnes) {
    auto first = OVNowPlaying::create();
    first->setDelegate(actions);
    first->end();
    EXPECT_FALSE(Application::shared().isReceivingRemoteControlEvents());

    auto secondActions = std::make_shared<RecordingUserActions>();
    auto second = OVNowPlaying::create();
    second->setDelegate(secondActions);
    EXPECT_TRUE(Application::shared().isReceivingRemoteControlEvents());
    EXPECT_EQ(Application::shared().beginCount(), 2);
    EXPECT_EQ(commands().togglePlayPauseCommand().targetCount(), 2u);

    const auto statuses = commands().togglePlayPauseCommand().fire();
    EXPECT_EQ(statuses.size(), 2u);
    EXPECT_EQ(actions->calls, std::vector<std::string>{"toggle"}) << "an ended object still forwards";
    EXPECT_EQ(secondActions->calls, std::vector<std::string>{"toggle"});

    // The earlier object's delegate goes away (its coordinator was replaced).
    actions.reset();
    first.reset();
    EXPECT_TRUE(allSucceeded(commands().togglePlayPauseCommand().fire()));
    EXPECT_EQ(secondActions->calls, (std::vector<std::string>{"toggle", "toggle"}));
}

}  // namespace
