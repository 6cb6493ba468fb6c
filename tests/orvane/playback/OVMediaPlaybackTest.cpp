// The audio player over the FFmpeg media layer: streams of unknown length,
// durations that are corrected, cached files of any name, bytes that are not
// audio.
#include <gtest/gtest.h>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/model/OVAudio.hpp"
#include "orvane/playback/OVAVPlayer.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/media/MediaProbe.hpp"
#include "support/EncodedMedia.hpp"
#include "support/RawServer.hpp"
#include "support/TestHttpServer.hpp"
#include "OVAudioPlayerTestSupport.hpp"

namespace {

using namespace orvane;
using platform::core::RunLoop;
using platform::media::PlayerItemStatus;
namespace t = orvane::testing;

struct OVMediaPlaybackTest : audiotest::AudioPlayerFixture {
    platform::media::PlayerItem& item() { return *player->player()->currentItem(); }
    bool waitFor(std::function<bool()> predicate) { return RunLoop::main().runUntil(std::move(predicate), 10.0); }
    // The durations reported to the delegate, as numbers.
    std::vector<double> durations() const {
        std::vector<double> out;
        for (const auto& report : delegate->only("duration ")) out.push_back(std::stod(report.substr(9)));
        return out;
    }
};

TEST_F(OVMediaPlaybackTest, AnMp3WithoutContentLengthPlaysOnItsFirstPlayAndEnds) {
    const auto mp3 = t::kCbrMp3.make();
    t::RawServer server(t::RawServer::noContentLength(mp3));
    player->widgetSetSource(server.url("/live.mp3"));
    player->play();
    ASSERT_TRUE(waitFor([&] { return item().status() == PlayerItemStatus::readyToPlay; }));
    // The response ends: its requests finish, the length is known, the
    // duration is counted and the download is cached.
    ASSERT_TRUE(waitFor([&] { return item().isFullyLoaded() && item().isDurationExact(); }));
    idle();
    ASSERT_FALSE(durations().empty());
    EXPECT_NEAR(durations().back(), 5.0, 0.05);
    ASSERT_TRUE(waitFor([&] { return OVAudioCache::isInCache("live.mp3"); }));
    advance(6.0);
    EXPECT_EQ(delegate->only("end").size(), 1u);
    EXPECT_NEAR(avTime(), 5.0, 0.05);
}

// One packet of `bytes`: how close a duration can be.
double packetSeconds(const platform::core::Data& bytes) {
    const auto probed = platform::media::probeMedia(bytes, static_cast<std::int64_t>(bytes.size()));
    return std::get<platform::media::MediaInfo>(probed).frameSeconds;
}

// Files that state no duration, streamed slowly: the widget hears a first
// estimate, estimates from the packets counted that each lie no further from
// the counted duration than the one before (they close in on it, never swing
// past it and back), and the counted duration once the whole file is in.
// Playback ends there.
TEST_F(OVMediaPlaybackTest, EstimatesWhileStreamingCloseInOnTheCountedDurationWhereTheAudioEnds) {
    const struct {
        const char* name;
        const t::EncodedMedia& media;
        std::size_t chunks;
        bool firstIsFar;  // the first frame's bit rate is far from the whole file's
    } cases[] = {{"noise-then-silence.mp3", t::kVbrMp3NoXing, 8, true},
                 {"tone-then-noise.mp3", t::kToneThenNoiseVbrMp3NoXing, 40, true},
                 {"opus60.ogg", t::kOggOpus60s, 20, false},
                 {"adts.aac", t::kAdtsAac, 8, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = c.media.make();
        ASSERT_FALSE(bytes.empty());
        const double heard = t::decodedSeconds(bytes);
        const double packet = packetSeconds(bytes);
        delegate->take();
        t::RawServer server(t::RawServer::trickle(bytes, bytes.size() / c.chunks, 0.05));
        player->widgetSetSource(server.url(std::string("/") + c.name));
        player->play();
        ASSERT_TRUE(waitFor([&] { return item().isDurationExact(); }));
        idle();
        const auto reported = durations();
        ASSERT_FALSE(reported.empty());
        if (c.firstIsFar) {
            EXPECT_GT(std::abs(reported.front() - heard), 0.1 * heard);
        }
        for (std::size_t i = 1; i < reported.size(); ++i)
            EXPECT_LE(std::abs(reported[i] - heard), std::abs(reported[i - 1] - heard) + packet) << i;
        EXPECT_NEAR(reported.back(), heard, packet);
        advance(heard - 0.5);
        EXPECT_TRUE(delegate->only("end").empty());
        advance(1.5);
        EXPECT_EQ(delegate->only("end").size(), 1u);
        EXPECT_NEAR(avTime(), heard, packet);
        EXPECT_NEAR(item().duration().seconds(), avTime(), packet);
    }
}

TEST_F(OVMediaPlaybackTest, ReportedDurationsAndTheEndAreWhatTheDecoderPlaysStreamedAndFromTheCache) {
    const struct {
        const char* name;
        platform::core::Data bytes;
        bool stated;  // a header at the start states the duration: the first report is already right
    } cases[] = {{"cbr.mp3", t::kCbrMp3.make(), true},
                 {"adts.aac", t::kAdtsAac.make(), false},
                 {"tone.flac", t::kFlac.make(), true},
                 {"vbr.mp3", t::kVbrMp3Xing.make(), true},
                 {"vbr-no-xing.mp3", t::kVbrMp3NoXing.make(), false},
                 {"large-id3.mp3", t::withLargeId3(t::kCbrMp3.make(), 300 * 1024), true},
                 {"first.m4a", t::kM4aMovieFirst.make(), true},
                 {"last.m4a", t::kM4aMovieLast.make(), true},
                 {"opus.ogg", t::kOggOpus.make(), false},
                 {"tone.wav", t::kWav.make(), true}};
    t::TestHttpServer server;
    for (const auto& c : cases) server.serveBytes(std::string("/") + c.name, c.bytes, "audio/mpeg");
    server.start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double heard = t::decodedSeconds(c.bytes);
        const double packet = packetSeconds(c.bytes);
        ASSERT_GT(heard, 0);
        for (const bool fromCache : {false, true}) {
            SCOPED_TRACE(fromCache ? "from the cache" : "streamed");
            delegate->take();
            player->widgetSetSource(server.url(std::string("/") + c.name));
            player->play();
            ASSERT_TRUE(waitFor([&] { return item().isDurationExact(); }));
            idle();
            const auto reported = durations();
            ASSERT_FALSE(reported.empty());
            // From the cache the whole file is at hand: its count is the
            // first duration told.
            if (c.stated || fromCache) {
                EXPECT_NEAR(reported.front(), heard, packet);
                EXPECT_EQ(reported.size(), 1u);
            }
            EXPECT_NEAR(reported.back(), heard, packet);
            ASSERT_TRUE(waitFor([&] { return OVAudioCache::isInCache(c.name); }));
            advance(heard + 1.0);
            EXPECT_EQ(delegate->only("end").size(), 1u);
            EXPECT_NEAR(avTime(), heard, packet);
            EXPECT_NEAR(item().duration().seconds(), avTime(), packet);
        }
    }
    EXPECT_EQ(server.totalRequestCount(), static_cast<int>(std::size(cases)));
}

// A VBR MP3 without an info tag states no duration: the estimate follows the
// seconds per byte of the packets counted as they arrive.
TEST_F(OVMediaPlaybackTest, AStreamedVbrMp3WithoutInfoTagIsEstimatedWithinTwoPercentFromATenthOfIt) {
    const auto mp3 = t::kSteadyVbrMp3NoXing.make();
    ASSERT_FALSE(mp3.empty());
    const double heard = t::decodedSeconds(mp3);
    t::RawServer server(t::RawServer::trickle(mp3, mp3.size() / 40, 0.05));
    player->widgetSetSource(server.url("/steady.mp3"));
    player->play();
    ASSERT_TRUE(waitFor([&] { return item().loadedByteCount() >= static_cast<std::int64_t>(mp3.size() / 10); }));
    ASSERT_TRUE(waitFor([&] {
        return item().isFullyLoaded() || std::abs(item().duration().seconds() - heard) <= 0.02 * heard;
    }));
    EXPECT_FALSE(item().isFullyLoaded()) << "the estimate came with the last byte";
    EXPECT_NEAR(durations().back(), heard, 0.02 * heard);
    ASSERT_TRUE(waitFor([&] { return item().isDurationExact(); }));
    idle();
    EXPECT_NEAR(durations().back(), heard, packetSeconds(mp3));
}

// An Opus stream states its duration only on its last page: the item tells
// an estimate while the bytes arrive, and the count once they are all in.
TEST_F(OVMediaPlaybackTest, AnOpusStreamIsEstimatedWhileItArrivesAndCorrectedToItsLength) {
    const auto opus = t::kOggOpus60s.make();
    ASSERT_FALSE(opus.empty());
    const double heard = t::decodedSeconds(opus);
    t::RawServer server(t::RawServer::trickle(opus, opus.size() / 20, 0.05));
    player->widgetSetSource(server.url("/episode.ogg"));
    player->play();
    ASSERT_TRUE(waitFor([&] { return !durations().empty(); }));
    EXPECT_FALSE(item().isFullyLoaded()) << "no duration before the last byte";
    EXPECT_NEAR(durations().front(), heard, 0.1 * heard);
    ASSERT_TRUE(waitFor([&] { return item().isDurationExact(); }));
    idle();
    EXPECT_NEAR(durations().back(), heard, packetSeconds(opus));
    advance(heard + 1.0);
    EXPECT_EQ(delegate->only("end").size(), 1u);
    EXPECT_NEAR(avTime(), heard, packetSeconds(opus));
}

// The same files replayed from the disk cache while the clock runs (fast):
// the count is done on its own thread while the item opens, and still the
// first and only duration the widget hears is the counted one, and the one
// the item tells once playback has ended is where it ended.
struct OVMediaPlaybackRealClockTest : OVMediaPlaybackTest {
    void SetUp() override {
        RunLoop::main().setClock(std::make_shared<platform::core::SystemClock>());
        player = OVAudioPlayer::create();
        player->setDelegate(delegate);
    }
    void TearDown() override {
        OVMediaPlaybackTest::TearDown();
        RunLoop::main().useManualClock();
    }
};

TEST_F(OVMediaPlaybackRealClockTest, ReplayedFromTheCacheTheFirstDurationIsTheCountedOneAndTheEndIsIt) {
    constexpr float kFast = 16.0f;
    const t::EncodedMedia* kinds[] = {&t::kCbrMp3,        &t::kVbrMp3Xing,    &t::kVbrMp3NoXing,
                                      &t::kM4aMovieFirst, &t::kM4aMovieLast,  &t::kOggOpus,
                                      &t::kWav,           &t::kAdtsAac,       &t::kFlac,
                                      &t::kToneThenNoiseVbrMp3NoXing};
    for (const auto* kind : kinds) {
        SCOPED_TRACE(kind->name);
        const auto bytes = kind->make();
        ASSERT_FALSE(bytes.empty());
        const double heard = t::decodedSeconds(bytes);
        const double packet = packetSeconds(bytes);
        const std::string name = std::string(kind->name) + "." + kind->extension;
        OVAudioCache::cache(bytes, name);
        delegate->take();
        player->widgetSetSource("http://127.0.0.1:9/audio/" + name);
        // Played fast, only once every byte reached the item: a player that
        // outran them would stall (and pause) instead of ending.
        ASSERT_TRUE(waitFor([&] {
            return item().status() == PlayerItemStatus::readyToPlay && item().isFullyLoaded();
        }));
        player->play();
        player->player()->setRate(kFast);
        ASSERT_TRUE(RunLoop::main().runUntil([&] { return !delegate->only("end").empty(); },
                                             heard / kFast + 20.0));
        idle();
        const auto reported = durations();
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_NEAR(reported.front(), heard, packet);
        EXPECT_NEAR(avTime(), heard, packet);
        EXPECT_NEAR(item().duration().seconds(), avTime(), packet);
    }
}

TEST_F(OVMediaPlaybackTest, ACachedFileWhoseExtensionCannotEndAnAddressStillPlays) {
    OVAudioCache::cache(t::makeWav(2.0), "episode.mp3 x");
    loadReady("http://127.0.0.1:9/audio/episode.mp3%20x");
    player->play();
    advance(3.0);
    EXPECT_EQ(delegate->only("end").size(), 1u);
}

TEST_F(OVMediaPlaybackTest, TheStallingRuleFollowsTheSystemVersion) {
    const auto url = *platform::core::URL::parse("http://127.0.0.1:9/audio/any.mp3");
    for (const auto& [version, waits] : {std::pair{platform::core::SystemVersion{9, 3}, true},
                                         std::pair{platform::core::SystemVersion{10, 0}, false}}) {
        platform::core::SystemVersion::setCurrent(version);
        EXPECT_EQ(OVAVPlayer::create(url)->automaticallyWaitsToMinimizeStalling(), waits);
    }
    platform::core::SystemVersion::setCurrent({});
}

TEST_F(OVMediaPlaybackTest, AnErrorPageServedAsTheEpisodeIsNeitherCachedNorDownloadedAndPauses) {
    orvane::installLayerHooks();  // an episode's download goes to the disk cache
    t::TestHttpServer server;
    server.serveBytes("/page.mp3", t::makeHtmlPage(5000), "audio/mpeg");
    server.start();
    player->widgetSetSource(server.url("/page.mp3"));
    player->play();
    ASSERT_TRUE(waitFor([&] { return item().status() == PlayerItemStatus::failed; }));
    idle();
    // The failed item pauses the player, as a failed download does.
    EXPECT_EQ(player->status(), OVAudioPlayerStatus::paused);
    EXPECT_EQ(delegate->only("status ").back(), "status paused");
    EXPECT_FALSE(OVAudioCache::isInCache("page.mp3"));

    bool completed = true;
    bool done = false;
    OVAudio{server.url("/page.mp3"), std::nullopt}.download(nullptr, [&](bool ok) {
        completed = ok;
        done = true;
    });
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_FALSE(completed);
    EXPECT_FALSE(OVAudioCache::isDownloaded("page.mp3"));
}

TEST(DebugLines, GoToStandardOutput) {
    ::testing::internal::CaptureStdout();
    platform::core::debugPrint("a debug line");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "a debug line\n");
}

}  // namespace
