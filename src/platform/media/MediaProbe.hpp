// Reads what an audio resource is from its own bytes, with FFmpeg's
// libraries (MediaDecoder): its container and codec, its duration, its bit
// rate and where its audio payload starts, which maps a playback position to
// the bytes needed to play it.
//
// `probeMedia` is a pure function over bytes held in memory and may be called
// from any thread; the player item probes through a MediaDecoder of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "platform/media/MediaTime.hpp"

namespace platform::media {

// What the probe learnt of a resource.
struct MediaInfo {
    // The container as FFmpeg names it ("mp3", "wav", "ogg", "mov,mp4,m4a,3gp,3g2,mj2").
    std::string format;
    // The audio codec ("mp3", "aac", "opus", "pcm_s16le", ...).
    std::string codec;
    // Indefinite when neither a header nor the length of the resource tells it.
    MediaTime duration = MediaTime::indefiniteTime();
    // True when `duration` is an estimate from the bit rate and the length of
    // the resource (no header states it); counting the packets corrects it.
    bool durationIsEstimate = false;
    // First byte of the audio payload, and the end of the resource when known.
    std::int64_t dataStart = 0;
    std::optional<std::int64_t> dataEnd;
    // Bits per second over the payload (0 when unknown).
    double bitRate = 0;
    // True when nothing states the bit rate and it was taken from the first
    // packet: good enough to map time to bytes, not to estimate a duration.
    bool bitRateIsGuess = false;
    int sampleRate = 0;
    int channels = 0;

    // The first byte past the payload needed to play up to `seconds`.
    std::int64_t byteOffsetForSeconds(double seconds) const;
    // The playback position that the bytes before `offset` allow.
    double secondsForByteOffset(std::int64_t offset) const;
    // Takes the duration counted from every packet of the whole resource when
    // no header stated one, when it was an estimate, or when the audio ends
    // before the header's duration (a cut file).
    void applyCountedDuration(std::optional<double> counted);
};

struct ProbeNeedsMoreData {
    // The first byte the probe would have read next.
    std::int64_t offset = 0;
};
struct ProbeFailure {
    std::string reason;
};

using ProbeResult = std::variant<MediaInfo, ProbeNeedsMoreData, ProbeFailure>;

// `prefix`: the bytes of the resource from its first byte on. `totalLength`:
// the resource's length when known. When `prefix` holds the whole resource
// (its size equals `totalLength`), the probe never asks for more data, and the
// duration is counted from the packets when no header states it (or when the
// bytes end before the header's duration).
ProbeResult probeMedia(std::span<const std::uint8_t> prefix, std::optional<std::int64_t> totalLength);

// True when the bytes are a whole audio file whose audio stream opens and
// decodes (the packets are not counted).
bool isPlayableAudio(std::span<const std::uint8_t> bytes);

}  // namespace platform::media
