// Audio files that tests and benchmarks make themselves: a PCM WAV, an MP3 of
// silent MPEG-1 Layer III frames (valid headers, zero side information) and a
// minimal MP4 with a movie header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/core/Json.hpp"

namespace orvane::testing {

// 16-bit PCM WAV of `seconds` of silence.
platform::core::Data makeWav(double seconds, int sampleRate = 8000, int channels = 1);

// MP3 frames: MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, mono; every frame is
// 417 bytes and holds 1152 samples. `id3Bytes` > 0 puts an ID3v2 tag of that
// payload size in front.
inline constexpr std::size_t kMp3FrameBytes = 417;
inline constexpr double kMp3FrameSeconds = 1152.0 / 44100.0;
platform::core::Data makeMp3(std::size_t frames, std::size_t id3Bytes = 0);
// Enough frames for at least `seconds`.
platform::core::Data makeMp3Seconds(double seconds);

// ftyp + moov(mvhd) + mdat (or ftyp + mdat + moov when `movieAtEnd`).
// `version1` writes the 64-bit movie header.
platform::core::Data makeMp4(std::uint32_t timescale, std::uint64_t duration, std::size_t payloadBytes,
                             bool movieAtEnd = false, bool version1 = false);

// 16-bit PCM WAV of a sine tone at a quarter of full scale.
platform::core::Data makeTone(double seconds, double frequency, int sampleRate = 48000, int channels = 2);
// 16-bit PCM WAV of exactly `frames` frames of silence.
platform::core::Data makeWavFrames(std::uint32_t frames, int sampleRate, int channels = 1);

// A 48 kHz stereo 16-bit PCM WAV of `seconds` whose every frame says where it
// is: frame n holds code c = `firstCode` + n as left = (c & 0xFFFF) - 32768
// and right = (c >> 16) - 32768. A frame heard through a path that leaves the
// samples as they are (no volume, no resampling, no dithering) decodes back
// to its code with positionCodeOf; silence (exact zeros) decodes to none.
platform::core::Data makePositionCode(double seconds, std::uint32_t firstCode = 0);
// The code of a recorded frame of such a file (codes below 2^24), or none for
// a frame that is not one: silence, and most mixes or changes of samples.
std::optional<std::uint32_t> positionCodeOf(std::int16_t left, std::int16_t right);

// A 16-bit PCM WAV of `size` bytes (44 at least) whose format chunk claims
// `sampleRate` and `channels`, whatever they are: what a broken or hostile
// file says of itself.
platform::core::Data makeWavClaiming(std::uint32_t sampleRate, std::uint32_t channels, std::size_t size = 101);

// A file made by Debian's ffmpeg tool, e.g. input "-f lavfi -i sine=d=5" and
// output "-c:a libmp3lame -b:a 128k", written as `extension`. Each kind is
// made once per process. Empty when the tool fails.
platform::core::Data encodeWithFfmpeg(const std::string& input, const std::string& output,
                                      const std::string& extension);

// Bytes of a page that is not audio (an HTML error page).
platform::core::Data makeHtmlPage(std::size_t size = 600);

}  // namespace orvane::testing
