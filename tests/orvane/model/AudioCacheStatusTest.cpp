#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/demo/Dornaway.hpp"
#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/toolkit/OVConfigurations.hpp"
#include "platform/core/RunLoop.hpp"
#include "support/TempDocuments.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;
using platform::core::Json;

namespace {

platform::core::Data bytes(const std::string& text) { return {text.begin(), text.end()}; }

class Recorder : public OVAudioDownloadDelegate, public OVTrackDownloadDelegate {
public:
    void downloadDidProgress(const OVAudio&, float value) override { events.push_back("progress " + std::to_string(value)); }
    void downloadDidEnd(const OVAudio& audio, bool completed) override {
        events.push_back(std::string("end ") + (completed ? "true " : "false ") + audio.audio.value_or(""));
    }
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>&, const OVTrack::DownloadStatus& to) override {
        if (auto* p = std::get_if<OVTrack::InProgress>(&to)) events.push_back("status inProgress " + std::to_string(p->value));
        else if (std::holds_alternative<OVTrack::Downloaded>(to)) events.push_back("status downloaded");
        else events.push_back("status notDownloaded");
    }
    std::vector<std::string> events;
};

Json episodeJson(const std::string& address) {
    return Json{{"key", "e"}, {"title", "E"}, {"episode", nullptr}, {"publicationDate", nullptr},
                {"selected", false}, {"audio", {{"audioSrc", address}}}};
}

}  // namespace

// The disk cache answers the episodes' questions and downloads through the hooks the facade installs.
struct AudioCacheStatus : ::testing::Test {
    void SetUp() override { orvane::installLayerHooks(); }
};

TEST_F(AudioCacheStatus, QuestionsGoToTheCacheUnderTheLastPathComponent) {
    testsupport::TempDocuments documents;
    OVAudio none;
    EXPECT_FALSE(none.isInCache());
    EXPECT_FALSE(none.isDownloaded());
    OVAudio invalid(std::string("https://media.example.com/with space.mp3"), 1.0);
    EXPECT_EQ(invalid.cacheName(), std::nullopt);

    OVAudioCache::cache(bytes("ID3 audio bytes"), "episode 12.mp3");
    OVAudio first(std::string("https://media.example.com/a/episode%2012.mp3?token=1"), 10.0);
    OVAudio second(std::string("https://cdn.example.org/b/episode%2012.mp3"), 10.0);
    EXPECT_EQ(first.cacheName(), "episode 12.mp3");
    EXPECT_TRUE(first.isInCache());
    EXPECT_TRUE(second.isInCache());  // same last path component, one file
    EXPECT_FALSE(first.isDownloaded());

    // An episode built while the file is only in the cache folder is not downloaded.
    auto track = OVTrack::decode(episodeJson("https://media.example.com/a/episode%2012.mp3"));
    EXPECT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(track->downloadStatus()));
}

// Plain addresses are read without a full parse: the name must be the one the
// parse gives, for plain and not-so-plain texts alike.
TEST_F(AudioCacheStatus, CacheNameIsTheParsedLastPathComponent) {
    for (const std::string address :
         {"https://media.example.com/audio/ep-0-1.mp3", "http://media.example.com/a/b/c.mp3", "https://h/x",
          "https://media.example.com/audio/", "https://media.example.com/audio//", "https://media.example.com/",
          "https://media.example.com", "https://media.example.com/.", "https://media.example.com/a/..",
          "https://media.example.com//ep.mp3", "HTTPS://media.example.com/Ep.MP3", "https://media.example.com:8443/ep.mp3",
          "https://media.example.com/ep.mp3?x=1", "https://media.example.com/ep%2Fone.mp3", "https:///ep.mp3",
          "https://", "http://a.b/~user/ep_1.mp3", "ftp://media.example.com/ep.mp3", "media.example.com/ep.mp3",
          "https://user@media.example.com/ep.mp3"}) {
        auto parsed = url(address);
        const std::optional<std::string> expected =
            parsed ? std::optional<std::string>(parsed->lastPathComponent()) : std::nullopt;
        EXPECT_EQ(OVAudio(address, 1.0).cacheName(), expected) << address;
    }
}

TEST_F(AudioCacheStatus, DownloadOfACachedFileMovesItWithoutARequest) {
    testsupport::TempDocuments documents;
    OVAudioCache::cache(bytes("cached bytes"), "ep.mp3");
    OVAudio audio(std::string("https://media.example.com/ep.mp3"), 10.0);
    auto recorder = std::make_shared<Recorder>();
    audio.download(recorder, [&](bool ok) { recorder->events.push_back(std::string("completion ") + (ok ? "true" : "false")); });
    EXPECT_EQ(recorder->events,
              (std::vector<std::string>{"completion true", "end true https://media.example.com/ep.mp3"}));
    EXPECT_TRUE(audio.isDownloaded());
    EXPECT_FALSE(audio.isInCache());
    EXPECT_EQ(OVAudioCache::find("ep.mp3"), bytes("cached bytes"));

    // Again, from the download folder: the same answer, the file stays there.
    recorder->events.clear();
    audio.download(recorder, nullptr);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"end true https://media.example.com/ep.mp3"});
    EXPECT_TRUE(audio.isDownloaded());

    // Without an address: false at once, no delegate call, nothing stored.
    recorder->events.clear();
    bool result = true;
    OVAudio{}.download(recorder, [&](bool ok) { result = ok; });
    EXPECT_FALSE(result);
    EXPECT_TRUE(recorder->events.empty());
}

TEST_F(AudioCacheStatus, EpisodesStartDownloadedWhenTheDownloadFolderHoldsTheirAudio) {
    testsupport::TempDocuments documents;
    OVAudioCache::save(bytes("kept"), "kept.mp3");
    auto recorder = std::make_shared<Recorder>();
    auto track = OVTrack::decode(episodeJson("https://media.example.com/x/kept.mp3"));
    EXPECT_TRUE(std::holds_alternative<OVTrack::Downloaded>(track->downloadStatus()));
    track->setDelegate(recorder);
    EXPECT_TRUE(recorder->events.empty());  // nobody heard of the initial status

    // Demo episodes sharing one address all start downloaded once it is saved.
    Dornaway before;
    EXPECT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(before.track2->downloadStatus()));
    const std::string shared = *before.track2->audio().cacheName();
    OVAudioCache::save(bytes("shared"), shared);
    Dornaway after;
    EXPECT_TRUE(std::holds_alternative<OVTrack::Downloaded>(after.track2->downloadStatus()));
    EXPECT_TRUE(std::holds_alternative<OVTrack::Downloaded>(after.track3->downloadStatus()));
    EXPECT_TRUE(std::holds_alternative<OVTrack::NotDownloaded>(after.track1->downloadStatus()));
}

TEST_F(AudioCacheStatus, EpisodeDownloadFromTheCacheReportsEveryStatus) {
    testsupport::TempDocuments documents;
    auto& loop = platform::core::RunLoop::main();
    OVAudioCache::cache(bytes("bytes"), "cached.mp3");
    auto track = OVTrack::decode(episodeJson("https://media.example.com/cached.mp3"));
    auto recorder = std::make_shared<Recorder>();
    track->setDelegate(recorder);
    track->download(recorder);
    EXPECT_EQ(recorder->events, std::vector<std::string>{"status inProgress 0.000000"});
    loop.runUntilIdle();
    EXPECT_EQ(recorder->events, (std::vector<std::string>{"status inProgress 0.000000", "status inProgress 1.000000",
                                                          "status downloaded"}));
}

TEST(HostConfiguration, DefaultImageIsTakenWhenNoneIsGiven) {
    // A 1x1 GIF.
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xff,
                                 0xff, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c,
                                 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00,
                                 0x3b};
    auto image = platform::graphics::Image::fromData(gif);
    ASSERT_TRUE(image);
    const OVConfigurations::Point corner{12, 34};

    setDefaultImage(std::nullopt);
    OVConfigurations bare("key-1", std::nullopt, corner);
    EXPECT_EQ(bare.defaultImage, std::nullopt);
    EXPECT_EQ(bare.chipPosition, corner);
    EXPECT_EQ(bare.apiKey, "key-1");

    setDefaultImage(image);
    OVConfigurations fallback("key-2", std::nullopt, corner);
    EXPECT_EQ(fallback.defaultImage, image);

    auto scaled = platform::graphics::Image::fromData(gif, 2.0);
    OVConfigurations given("key-3", scaled, corner);
    EXPECT_EQ(given.defaultImage->scale(), 2.0);
}
