// The now-playing state observer driven through the bridge: sequences of
// widget states and the now-playing assignments they produce.
#include <gtest/gtest.h>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/playback/OVNowPlaying.hpp"
#include "orvane/playback/OVNowPlayingStateManager.hpp"
#include "orvane/playback/OVNowPlayingTestSupport.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/media/RemoteCommandCenter.hpp"
#include "support/StateBuilder.hpp"
#include "support/TempDocuments.hpp"
#include "support/TestHttpServer.hpp"

namespace {

using namespace nowplayingtest;
using orvane::OVNowPlaying;
using orvane::OVState;
using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;

constexpr double kWait = 10.0;

// One content with three episodes ("ep-0-0" ...), each with the given image
// text (none: no image) and duration; the player points at the location,
// whose episode and time are set per state.
class States {
public:
    explicit States(std::optional<std::string> image = std::nullopt) {
        base_ = orvane::test::StateBuilder().contents(1).tracksPerContent(3).locations(1).currentLocation(0).build();
        for (auto& track : tracks()) {
            if (image) {
                track["description"]["imgSrc"] = *image;
            } else {
                track["description"].erase("imgSrc");
            }
        }
    }

    Json& tracks() { return base_["contents"]["content-0"]["tracks"]; }

    // A state whose current episode is `episode` (an index; none: no track in
    // the location) at `time` (none: no time).
    OVState at(std::optional<int> episode, std::optional<double> time) {
        Json json = base_;
        auto& location = json["locations"]["location-0"];
        if (episode) {
            location["track"] = {{"key", orvane::test::StateBuilder::trackKey(0, *episode)}};
            if (time) location["track"]["currentTime"] = *time;
        } else {
            location.erase("track");
        }
        return OVState::decode(json);
    }

private:
    Json base_;
};

struct OVNowPlayingStateManagerTest : ::testing::Test {
    // Artwork comes from the image cache through the toolkit's image store.
    void SetUp() override { orvane::installLayerHooks(); }
    void deliver(const OVState& state) { OVWidgetManager::shared().dispatch(state); }

    testsupport::TempDocuments documents;
    PublishedInfo published;
};

TEST_F(OVNowPlayingStateManagerTest, ASequenceOfStatesPublishesTitleFirstArtworkLaterAndOnlyWhatChanged) {
    const auto cover = testimages::png(10, 10, 3);
    orvane::testing::TestHttpServer server;
    server.serveBytes("/art/cover.png", cover, "image/png");
    server.start();
    States states(server.url("/art/cover.png"));
    states.tracks()[0]["title"] = "Le fleuve";
    states.tracks()[0]["audio"]["trackDuration"] = 600.0;
    states.tracks()[1]["audio"]["trackDuration"] = 600.0;
    auto nowPlaying = OVNowPlaying::create();
    platform::media::RemoteCommandCenter::shared().skipForwardCommand().setEnabled(false);
    platform::media::RemoteCommandCenter::shared().changePlaybackPositionCommand().setEnabled(false);

    // A first episode with its position: title and rate, then the position.
    deliver(states.at(0, 10.0));
    ASSERT_EQ(published.size(), 2u);
    EXPECT_EQ(keys(published[0]), (std::vector<std::string>{Key::playbackRate, Key::title}));
    EXPECT_EQ(title(published[0]), "Le fleuve");
    EXPECT_EQ(elapsed(published[1]), 10.0);
    EXPECT_EQ(duration(published[1]), 600.0);
    EXPECT_EQ(title(published[1]), "Le fleuve");

    // The artwork follows, merged into the information without the position.
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return published.size() == 3; }, kWait));
    EXPECT_EQ(keys(published[2]), (std::vector<std::string>{Key::artwork, Key::playbackRate, Key::title}));

    // Nothing relevant changed.
    deliver(states.at(0, 10.0));
    EXPECT_EQ(published.size(), 3u);

    // The same key with a new title is the same episode: only the time moves.
    states.tracks()[0]["title"] = "Le fleuve (nouveau titre)";
    deliver(states.at(0, 12.5));
    ASSERT_EQ(published.size(), 4u);
    EXPECT_EQ(title(published[3]), "Le fleuve");
    EXPECT_EQ(elapsed(published[3]), 12.5);
    EXPECT_TRUE(hasArtwork(published[3]));

    // Same time, new duration.
    states.tracks()[0]["audio"]["trackDuration"] = 640.0;
    deliver(states.at(0, 12.5));
    ASSERT_EQ(published.size(), 5u);
    EXPECT_EQ(duration(published[4]), 640.0);

    // A new episode at an equal position: its title alone, without position.
    states.tracks()[1]["audio"]["trackDuration"] = 640.0;
    deliver(states.at(1, 12.5));
    ASSERT_EQ(published.size(), 6u);
    EXPECT_EQ(title(published[5]), orvane::test::StateBuilder::track(0, 1)["title"].get<std::string>());
    EXPECT_FALSE(elapsed(published[5]));
    EXPECT_TRUE(hasArtwork(published[5])) << "the cover is in the cache by now";

    // No position, then no episode at all: nothing; the lock screen keeps
    // the last episode.
    deliver(states.at(1, std::nullopt));
    deliver(states.at(std::nullopt, std::nullopt));
    EXPECT_EQ(published.size(), 6u);

    // Back to an episode with a position: title first, then the position.
    deliver(states.at(2, 30.0));
    ASSERT_EQ(published.size(), 8u);
    EXPECT_EQ(title(published[6]), orvane::test::StateBuilder::track(0, 2)["title"].get<std::string>());
    EXPECT_FALSE(elapsed(published[6]));
    EXPECT_EQ(elapsed(published[7]), 30.0);
    EXPECT_EQ(duration(published[7]), 600.0 + 37.5 * 2);
    EXPECT_EQ(server.requestCount("/art/cover.png"), 1);
    EXPECT_TRUE(platform::media::RemoteCommandCenter::shared().skipForwardCommand().isEnabled());
    EXPECT_TRUE(platform::media::RemoteCommandCenter::shared().changePlaybackPositionCommand().isEnabled());
}

TEST_F(OVNowPlayingStateManagerTest, AnEpisodeImageThatIsNoAddressGivesNoArtwork) {
    for (const std::string text : {"", "not an address"}) {
        States states(text);
        auto nowPlaying = OVNowPlaying::create();
        const auto before = published.size();
        deliver(states.at(0, std::nullopt));
        ASSERT_EQ(published.size(), before + 1) << "an episode without position pushes the episode only";
        EXPECT_TRUE(title(published.last()));
        RunLoop::main().runUntil([] { return false; }, 0.2);
        EXPECT_EQ(published.size(), before + 1) << "no load delivers anything for '" << text << "'";
        EXPECT_FALSE(hasArtwork(published.last()));
    }
}

TEST_F(OVNowPlayingStateManagerTest, TheBridgesLastStateCanBeAppliedAndAGoneObjectGetsNothing) {
    States states;
    auto nowPlaying = OVNowPlaying::create();
    auto manager = nowPlaying->stateManager();
    ASSERT_TRUE(manager);
    EXPECT_EQ(manager->object(), nowPlaying);

    manager->updateWithCurrentState();  // no state yet
    EXPECT_EQ(published.size(), 0u);

    OVWidgetManager::shared().setLastState(states.at(0, 5.0));
    manager->updateWithCurrentState();
    ASSERT_EQ(published.size(), 2u);
    EXPECT_EQ(elapsed(published[1]), 5.0);

    // The observer stays registered with the bridge after its object is
    // gone, and pushes nothing.
    nowPlaying.reset();
    EXPECT_FALSE(manager->object());
    deliver(states.at(1, 6.0));
    EXPECT_EQ(published.size(), 2u);
}

}  // namespace
