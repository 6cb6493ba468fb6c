#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/MediaProbe.hpp"
#include "platform/media/MediaTime.hpp"
#include "support/MediaFiles.hpp"

namespace {

using namespace platform::media;
using platform::core::Data;
namespace t = orvane::testing;

ProbeResult probeAll(const Data& d) {
    return probeMedia(d, static_cast<std::int64_t>(d.size()));
}
ProbeResult probePrefix(const Data& d, std::size_t n) {
    return probeMedia(std::span<const std::uint8_t>(d.data(), n), static_cast<std::int64_t>(d.size()));
}
MediaInfo infoOf(const ProbeResult& r) {
    EXPECT_TRUE(std::holds_alternative<MediaInfo>(r));
    if (auto* info = std::get_if<MediaInfo>(&r)) return *info;
    return {};
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

TEST(MediaProbeTest, WavDurationComesFromItsHeader) {
    const Data wav = t::makeWav(2.5, 8000, 2);
    const auto info = infoOf(probeAll(wav));
    EXPECT_EQ(info.format, MediaFormat::wav);
    EXPECT_DOUBLE_EQ(info.duration.seconds(), 2.5);
    EXPECT_EQ(info.dataStart, 44);
    EXPECT_EQ(info.dataEnd, static_cast<std::int64_t>(wav.size()));
    // The header alone is enough; less than the header asks for more.
    EXPECT_DOUBLE_EQ(infoOf(probePrefix(wav, 44)).duration.seconds(), 2.5);
    EXPECT_TRUE(std::holds_alternative<ProbeNeedsMoreData>(probePrefix(wav, 30)));
    // The mapping between time and bytes runs across the payload.
    EXPECT_EQ(info.byteOffsetForSeconds(0), 44);
    EXPECT_EQ(info.byteOffsetForSeconds(1.25), 44 + 40000);
    EXPECT_DOUBLE_EQ(info.secondsForByteOffset(44 + 40000), 1.25);
    EXPECT_DOUBLE_EQ(info.secondsForByteOffset(static_cast<std::int64_t>(wav.size())), 2.5);
}

TEST(MediaProbeTest, WavWithAPlaceholderSizeEndsWithTheResource) {
    Data wav = t::makeWav(1.0, 8000, 1);
    for (int i = 40; i < 44; ++i) wav[static_cast<std::size_t>(i)] = 0xFF;
    const auto info = infoOf(probeAll(wav));
    EXPECT_DOUBLE_EQ(info.duration.seconds(), 1.0);
}

TEST(MediaProbeTest, Mp3DurationCountsItsFrames) {
    const Data mp3 = t::makeMp3(383);
    const double expected = 383 * t::kMp3FrameSeconds;
    const auto whole = infoOf(probeAll(mp3));
    EXPECT_EQ(whole.format, MediaFormat::mp3);
    EXPECT_NEAR(whole.duration.seconds(), expected, 1e-6);
    // From the first frames and the total length: an estimate within a frame.
    const auto start = infoOf(probePrefix(mp3, 4 * t::kMp3FrameBytes));
    EXPECT_NEAR(start.duration.seconds(), expected, t::kMp3FrameSeconds);
    // A leading ID3 tag is skipped.
    const Data tagged = t::makeMp3(100, 1000);
    const auto info = infoOf(probeAll(tagged));
    EXPECT_NEAR(info.duration.seconds(), 100 * t::kMp3FrameSeconds, 1e-6);
    EXPECT_EQ(info.dataStart, 1010);
}

TEST(MediaProbeTest, Mp4DurationComesFromTheMovieHeader) {
    const Data v0 = t::makeMp4(600, 600 * 90, 5000);
    const auto info = infoOf(probeAll(v0));
    EXPECT_EQ(info.format, MediaFormat::mp4);
    EXPECT_EQ(info.duration, MediaTime::make(600 * 90, 600));
    EXPECT_EQ(info.dataEnd, static_cast<std::int64_t>(v0.size()));
    EXPECT_EQ(info.dataStart, static_cast<std::int64_t>(v0.size()) - 5000);

    const Data v1 = t::makeMp4(44100, 44100ull * 3600 * 5, 100, false, true);
    EXPECT_DOUBLE_EQ(infoOf(probeAll(v1)).duration.seconds(), 5 * 3600.0);
}

TEST(MediaProbeTest, Mp4WithTheMovieAtTheEndNeedsTheWholeFile) {
    const Data mp4 = t::makeMp4(1000, 42'000, 20'000, true);
    EXPECT_TRUE(std::holds_alternative<ProbeNeedsMoreData>(probePrefix(mp4, 1000)));
    EXPECT_TRUE(std::holds_alternative<ProbeNeedsMoreData>(probePrefix(mp4, mp4.size() - 1)));
    const auto info = infoOf(probeAll(mp4));
    EXPECT_DOUBLE_EQ(info.duration.seconds(), 42.0);
    EXPECT_EQ(info.dataStart, 24 + 8);
}

TEST(MediaProbeTest, BytesThatAreNotAudioFail) {
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(t::makeHtmlPage())));
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probePrefix(t::makeHtmlPage(4000), 100)));
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(Data{})));
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(Data{0xFF, 0xFB})));
    Data random(5000);
    for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<std::uint8_t>((i * 7919 + 13) % 251);
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(random)));
    // A WAV cut before its data chunk, when nothing more will come.
    Data cut = t::makeWav(1.0);
    cut.resize(30);
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(cut)));
    // An MP4 whose box size runs past the file.
    Data broken = t::makeMp4(600, 600, 100);
    broken[24 + 3] = 0xF0;
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(broken)));
    // A sync word followed by a second header that is not one.
    Data lone = t::makeMp3(3);
    lone[t::kMp3FrameBytes] = 0x00;
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(lone)));
}

}  // namespace

namespace {

// A file-type box, then a box whose 64-bit size claims nearly the largest
// representable length: 32 bytes in all.
platform::core::Data hugeBoxHeader() {
    platform::core::Data d;
    auto be32 = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) d.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    auto tag = [&](const char* t) { d.insert(d.end(), t, t + 4); };
    be32(16), tag("ftyp"), tag("M4A "), be32(0);
    be32(1), tag("mdat"), be32(0x7FFFFFFF), be32(0xFFFFFFF7);
    return d;
}

TEST(MediaProbeTest, ABoxClaimingANearMaximalSizeIsRefused) {
    const auto d = hugeBoxHeader();
    ASSERT_EQ(d.size(), 32u);
    EXPECT_TRUE(std::holds_alternative<ProbeFailure>(probeAll(d)));
    // With the length unknown it can never become playable either.
    EXPECT_FALSE(std::holds_alternative<MediaInfo>(probeMedia(d, std::nullopt)));
}

}  // namespace
