#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "platform/media/MediaProbe.hpp"
#include "platform/media/MediaTime.hpp"
#include "support/EncodedMedia.hpp"
#include "support/MediaFiles.hpp"
#include "support/RawServer.hpp"
#include "support/TempDocuments.hpp"

namespace {

using namespace platform::media;
using platform::core::Data;
namespace t = orvane::testing;

// Every container of audio we play, as feeds serve it.
const t::EncodedMedia* const kWhatFeedsServe[] = {&t::kCbrMp3,  &t::kVbrMp3Xing,      &t::kVbrMp3NoXing,
                                                  &t::kM4aMovieFirst, &t::kM4aMovieLast, &t::kOggOpus,
                                                  &t::kWav,      &t::kAdtsAac,         &t::kFlac};

// The bytes of a whole file.
class WholeFile final : public ByteSource {
public:
    explicit WholeFile(Data bytes) : bytes_(std::move(bytes)) {}
    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
        const auto size = static_cast<std::int64_t>(bytes_.size());
        if (offset >= size) return 0;
        const std::int64_t n = std::min(count, size - offset);
        std::copy_n(bytes_.begin() + offset, n, into);
        return n;
    }
    std::optional<std::int64_t> length() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    Data bytes_;
};

ProbeResult probeAll(const Data& d) { return probeMedia(d, static_cast<std::int64_t>(d.size())); }
ProbeResult probePrefix(const Data& d, std::size_t n, std::optional<std::int64_t> total) {
    return probeMedia(std::span<const std::uint8_t>(d.data(), n), total);
}

TEST(MediaTimeTest, SecondsRoundToTheTimescaleAndCompareAcrossScales) {
    EXPECT_EQ(MediaTime::makeWithSeconds(12.4, 1).value, 12);
    EXPECT_EQ(MediaTime::makeWithSeconds(12.6, 1).value, 13);
    EXPECT_EQ(MediaTime::makeWithSeconds(-20.0, 1).value, -20);
    EXPECT_EQ(MediaTime::make(1, 2), MediaTime::make(2, 4));
    EXPECT_LT(MediaTime::make(1, 3), MediaTime::make(1, 2));
    EXPECT_TRUE(MediaTime::makeWithSeconds(NAN, 1).isIndefinite());
    EXPECT_TRUE(std::isnan(MediaTime::indefiniteTime().seconds()));
    EXPECT_EQ(MediaTime::indefiniteTime(), MediaTime::indefiniteTime());
    EXPECT_NE(MediaTime::indefiniteTime(), MediaTime::zero());
    EXPECT_GT(MediaTime::indefiniteTime(), MediaTime::make(1'000'000, 1));
    EXPECT_DOUBLE_EQ(MediaTime::make(3, 2).seconds(), 1.5);
}

TEST(MediaProbeTest, DurationsOfWhatFeedsServeAreWhatTheFilesHold) {
    for (const auto* media : kWhatFeedsServe) {
        SCOPED_TRACE(media->name);
        const Data bytes = media->make();
        ASSERT_FALSE(bytes.empty());
        const auto result = probeAll(bytes);
        ASSERT_TRUE(std::holds_alternative<MediaInfo>(result)) << std::get<ProbeFailure>(result).reason;
        const auto& info = std::get<MediaInfo>(result);
        EXPECT_NEAR(info.duration.seconds(), media->seconds, 0.05);
        EXPECT_FALSE(info.durationIsEstimate);
        EXPECT_GT(info.bitRate, 0);
        EXPECT_TRUE(isPlayableAudio(bytes));
    }
}

// The kinds of file whose durations matter: the encoder's delay and padding
// stated in an MP3 info tag (CBR, VBR, behind a large ID3 tag), an MP3
// without one, AAC in MP4 with the movie header first and last, Opus
// pre-skip, and the containers that state nothing to trim.
struct DurationCase {
    const char* name;
    Data bytes;
    // A header at the start states the duration (else it is an estimate
    // until the end is seen or the packets counted).
    bool stated;
    // The first half of the file opens (a movie header at the end, or a tag
    // larger than half the file, is not in it).
    bool opensFromHalf = true;
};
std::vector<DurationCase> durationCases() {
    return {{"CbrMp3", t::kCbrMp3.make(), true},
            {"VbrMp3WithXing", t::kVbrMp3Xing.make(), true},
            {"VbrMp3WithoutXing", t::kVbrMp3NoXing.make(), false},
            {"CbrMp3BehindALargeId3", t::withLargeId3(t::kCbrMp3.make(), 300 * 1024), true, false},
            {"M4aMovieAtStart", t::kM4aMovieFirst.make(), true},
            {"M4aMovieAtEnd", t::kM4aMovieLast.make(), true, false},
            // 1024 samples of priming, 640 of remainder: 240000 samples of audio.
            {"M4aWithITunSMPB", t::withItunesGaplessInfo(t::kM4aWithoutEditList.make(), 1024, 640, 240000), true, false},
            {"OggOpus", t::kOggOpus.make(), false},
            {"Wav", t::kWav.make(), true},
            {"AdtsAac", t::kAdtsAac.make(), false},
            {"Flac", t::kFlac.make(), true}};
}

TEST(MediaProbeTest, DurationsAreTheAudioTheDecoderPlaysWithinOnePacket) {
    for (const auto& c : durationCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        const double heard = t::decodedSeconds(c.bytes);
        ASSERT_GT(heard, 0);
        // The whole file: the header's duration less delay and padding, or
        // the count.
        const auto whole = probeAll(c.bytes);
        ASSERT_TRUE(std::holds_alternative<MediaInfo>(whole));
        const auto& info = std::get<MediaInfo>(whole);
        ASSERT_GT(info.frameSeconds, 0);
        ASSERT_LT(info.frameSeconds, 0.3);
        EXPECT_NEAR(info.duration.seconds(), heard, info.frameSeconds);
        EXPECT_FALSE(info.durationIsEstimate);
        if (c.name == std::string("M4aWithITunSMPB")) {
            EXPECT_DOUBLE_EQ(info.duration.seconds(), 5.0);
        }
        // The first half (where it opens): a stated duration is already right.
        const auto start = probePrefix(c.bytes, c.bytes.size() / 2, static_cast<std::int64_t>(c.bytes.size()));
        if (c.stated && c.opensFromHalf) {
            ASSERT_TRUE(std::holds_alternative<MediaInfo>(start));
            EXPECT_FALSE(std::get<MediaInfo>(start).durationIsEstimate);
            EXPECT_NEAR(std::get<MediaInfo>(start).duration.seconds(), heard, info.frameSeconds);
        }
        // The count alone, as a player item's counting thread makes it.
        const auto count = countPackets(std::make_shared<WholeFile>(c.bytes));
        ASSERT_TRUE(count.has_value());
        EXPECT_TRUE(count->complete);
        EXPECT_NEAR(count->seconds, heard, info.frameSeconds);
    }
}

TEST(MediaProbeTest, NoPrefixStatesAFirmDurationThatTheWholeFileContradicts) {
    auto cases = durationCases();
    cases.push_back({"OggOpus60s", t::kOggOpus60s.make(), true});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double heard = t::decodedSeconds(c.bytes);
        const auto total = static_cast<std::int64_t>(c.bytes.size());
        for (const double share : {0.02, 0.1, 0.25, 0.5, 0.75, 0.9, 0.94, 0.97, 0.995}) {
            for (const auto length : {std::optional<std::int64_t>(total), std::optional<std::int64_t>()}) {
                SCOPED_TRACE(share);
                SCOPED_TRACE(length ? "length known" : "length unknown");
                const auto probed = probePrefix(c.bytes, static_cast<std::size_t>(share * total), length);
                const auto* info = std::get_if<MediaInfo>(&probed);
                if (!info || info->duration.isIndefinite() || info->durationIsEstimate) continue;
                EXPECT_NEAR(info->duration.seconds(), heard, info->frameSeconds);
            }
        }
    }
}

TEST(MediaProbeTest, AnOggPrefixGivesAnEstimateFromItsLastPageThatTheWholeFileCorrects) {
    const Data opus = t::kOggOpus60s.make();
    const double heard = t::decodedSeconds(opus);
    ASSERT_NEAR(heard, 60.0, 0.03);
    const auto total = static_cast<std::int64_t>(opus.size());
    // The last page the prefix holds is not the end: an estimate from the
    // seconds per byte up to it.
    const auto prefix = probePrefix(opus, opus.size() * 15 / 16, total);
    ASSERT_TRUE(std::holds_alternative<MediaInfo>(prefix));
    const auto& estimate = std::get<MediaInfo>(prefix);
    EXPECT_TRUE(estimate.durationIsEstimate);
    EXPECT_NEAR(estimate.duration.seconds(), heard, 0.03 * heard);
    const auto whole = probeAll(opus);
    ASSERT_TRUE(std::holds_alternative<MediaInfo>(whole));
    EXPECT_FALSE(std::get<MediaInfo>(whole).durationIsEstimate);
    EXPECT_NEAR(std::get<MediaInfo>(whole).duration.seconds(), heard, std::get<MediaInfo>(whole).frameSeconds);
}

TEST(MediaProbeTest, EveryContainerWePlayDecodesToSound) {
    for (const auto* media : kWhatFeedsServe) {
        SCOPED_TRACE(media->name);
        const Data bytes = media->make();
        ASSERT_FALSE(bytes.empty());
        auto opened = AudioDecoder::open(std::make_shared<WholeFile>(bytes));
        auto* decoder = std::get_if<std::unique_ptr<AudioDecoder>>(&opened);
        ASSERT_TRUE(decoder);
        // The second from 0.5 s is sound: the tone (an eighth of full scale,
        // an RMS of about 0.09) or the noise.
        std::vector<std::int16_t> out;
        const auto rendered = (*decoder)->render(kOutputSampleRate / 2, kOutputSampleRate, out);
        EXPECT_EQ(rendered.frames, kOutputSampleRate);
        EXPECT_FALSE(rendered.failure);
        double energy = 0;
        for (const auto sample : out) energy += static_cast<double>(sample) * sample;
        const double rms = std::sqrt(energy / static_cast<double>(std::max<std::size_t>(1, out.size()))) / 32768.0;
        EXPECT_GT(rms, 0.05);
        EXPECT_EQ((*decoder)->decodeErrorCount(), 0);
    }
}

TEST(MediaProbeTest, TheStartOfAStreamIsEnoughOrNamesTheBytesItNeeds) {
    // An MP3 of unknown length opens from its first bytes (it plays while it
    // arrives); its duration is not known yet.
    const Data mp3 = t::kCbrMp3.make();
    const auto start = probePrefix(mp3, 16 * 1024, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<MediaInfo>(start));
    EXPECT_TRUE(std::get<MediaInfo>(start).duration.isIndefinite());
    EXPECT_NEAR(std::get<MediaInfo>(start).bitRate, 128000, 2000);

    // A VBR MP3 without a header frame: the start and the length give an
    // estimate only, which the whole file corrects.
    const Data vbr = t::kVbrMp3NoXing.make();
    const auto estimate = probePrefix(vbr, 16 * 1024, static_cast<std::int64_t>(vbr.size()));
    ASSERT_TRUE(std::holds_alternative<MediaInfo>(estimate));
    EXPECT_TRUE(std::get<MediaInfo>(estimate).durationIsEstimate);
    EXPECT_GT(std::abs(std::get<MediaInfo>(estimate).duration.seconds() - 10.0), 1.0);

    // An M4A whose movie header is at the end asks for the bytes there.
    const Data m4a = t::kM4aMovieLast.make();
    const auto head = probePrefix(m4a, m4a.size() / 2, static_cast<std::int64_t>(m4a.size()));
    ASSERT_TRUE(std::holds_alternative<ProbeNeedsMoreData>(head));
    EXPECT_GE(std::get<ProbeNeedsMoreData>(head).offset, static_cast<std::int64_t>(m4a.size() / 2));
}

TEST(MediaProbeTest, BytesThatAreNotAudioOrAreCutShortAreRefused) {
    Data random(50'000);
    for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<std::uint8_t>((i * 7919 + 13) % 251);
    Data cutWav = t::makeWav(1.0);
    cutWav.resize(30);
    Data cutM4a = t::kM4aMovieLast.make();
    cutM4a.resize(cutM4a.size() / 2);  // the movie header is gone
    // 32-byte MP4s whose second box claims a 64-bit size near the maximum.
    Data hugeBox = {0, 0, 0, 16, 'f', 't', 'y', 'p', 'M', '4', 'A', ' ', 0, 0, 0, 0,
                    0, 0, 0, 1,  'm', 'o', 'o', 'v', 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0};
    Data hugeData = hugeBox;
    std::copy_n("mdat", 4, hugeData.begin() + 20);
    hugeData[31] = 0xF7;
    const struct {
        const char* name;
        Data bytes;
    } cases[] = {{"html", t::makeHtmlPage(4000)}, {"empty", {}},           {"random", random},
                 {"cutWav", cutWav},              {"cutM4a", cutM4a},      {"hugeBox", hugeBox},
                 {"hugeData", hugeData},          {"twoBytes", Data{0xFF, 0xFB}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(c.bytes)));
        EXPECT_FALSE(isPlayableAudio(c.bytes));
        // With the length unknown they never become playable either.
        EXPECT_FALSE(std::holds_alternative<MediaInfo>(probeMedia(c.bytes, std::nullopt)));
    }
}

// A file may claim anything of itself. What no audio file holds is refused
// before a decoder or a resampler is prepared for it (one for a rate of a
// billion hertz takes minutes and gigabytes); the limits themselves open.
TEST(MediaProbeTest, ClaimsNoAudioFileHoldsAreRefusedAndTheLimitsOpen) {
    const struct {
        const char* name;
        Data bytes;
        const char* refusal;  // none: it opens
    } cases[] = {
        {"1,447,297,058 Hz", t::makeWavClaiming(1'447'297'058, 1), "a sample rate of 1447297058 Hz"},
        {"768,001 Hz", t::makeWavClaiming(768'001, 1, 4000), "a sample rate of 768001 Hz"},
        {"999 Hz", t::makeWavClaiming(999, 1, 4000), "a sample rate of 999 Hz"},
        {"65,535 channels", t::makeWavClaiming(48000, 65535), "65535 channels"},
        {"17 channels", t::makeWavClaiming(48000, 17, 4000), "17 channels"},
        {"768,000 Hz", t::makeWavClaiming(768'000, 1, 4000), nullptr},
        {"1,000 Hz", t::makeWavClaiming(1000, 1, 4000), nullptr},
        {"16 channels", t::makeWavClaiming(48000, 16, 4000), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto probed = probeAll(c.bytes);
        if (!c.refusal) {
            EXPECT_TRUE(std::holds_alternative<MediaInfo>(probed));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ProbeFailure>(probed));
        EXPECT_NE(std::get<ProbeFailure>(probed).reason.find(std::string("not what an audio file holds (") + c.refusal),
                  std::string::npos)
            << std::get<ProbeFailure>(probed).reason;
        // A stream's first bytes are refused alike.
        EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probePrefix(c.bytes, 44, std::nullopt)));
    }
}

// A playlist is a few lines of text naming other resources. Were it opened,
// the libraries would fetch or read what it names: every listener's machine
// would request the addresses a feed chooses and play its local files.
TEST(MediaProbeTest, PlaylistsNamingOtherResourcesAreRefusedWithoutOpeningAnything) {
    const Data mp3 = t::kCbrMp3.make();
    ASSERT_FALSE(mp3.empty());
    // What the playlists name is real: audio on a loopback server, and a
    // playlist of a local audio file on disk.
    t::RawServer server(t::RawServer::trickle(mp3, mp3.size(), 0));
    testsupport::TempDocuments documents;
    const auto episode = documents.path() / "episode.mp3";
    const auto variant = documents.path() / "variant.m3u8";
    auto text = [](const std::string& lines) { return Data(lines.begin(), lines.end()); };
    auto segments = [&](const std::string& segment) {
        return text("#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + segment + "\n#EXT-X-ENDLIST\n");
    };
    auto variants = [&](const std::string& playlist) {
        return text("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=64000\n" + playlist + "\n");
    };
    ASSERT_TRUE(platform::core::FileManager::writeFileAtomically(episode, mp3));
    ASSERT_TRUE(platform::core::FileManager::writeFileAtomically(variant, segments("file://" + episode.string())));

    const struct {
        const char* name;
        Data bytes;
    } cases[] = {
        {"httpSegment", segments(server.url("/episode.mp3"))},
        {"httpPlaylist", variants(server.url("/variant.m3u8"))},
        {"fileSegment", segments("file://" + episode.string())},
        {"filePlaylist", variants("file://" + variant.string())},
        {"pathPlaylist", variants(variant.string())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::core::DebugCapture capture;
        const auto probed = probeAll(c.bytes);
        ASSERT_TRUE(std::holds_alternative<ProbeFailure>(probed));
        EXPECT_NE(std::get<ProbeFailure>(probed).reason.find("not an audio file"), std::string::npos);
        EXPECT_EQ(capture.lines(), std::vector<std::string>{"AudioDecoder: refused a resource in the hls format: not audio"});
        EXPECT_FALSE(std::holds_alternative<MediaInfo>(probeMedia(c.bytes, std::nullopt)));
        EXPECT_FALSE(isPlayableAudio(c.bytes));
    }
    EXPECT_EQ(server.connectionCount(), 0);
}

}  // namespace
