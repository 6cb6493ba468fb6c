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
    // The length of the audio the decoder plays: what a header states, less
    // the encoder's delay and padding that the decoder drops (an MP3's info
    // tag, an M4A's iTunSMPB, Opus pre-skip). Indefinite when neither a header
    // nor the length of the resource tells it.
    MediaTime duration = MediaTime::indefiniteTime();
    // True when `duration` is an estimate: from the bit rate and the length
    // of the resource (no header states it), or from the last timestamp of a
    // prefix whose end was not seen. Counting the packets corrects it.
    bool durationIsEstimate = false;
    // Seconds of one packet of the stream: the precision of a duration.
    double frameSeconds = 0;
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
    // no header stated one, when it was an estimate, or when it differs from
    // the header's by more than one packet (a cut file, a header that lies).
    // True when the duration changed.
    bool applyCountedDuration(std::optional<double> counted);
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
// count differs from the header's). A duration read from a prefix whose end
// was not seen is an estimate.
ProbeResult probeMedia(std::span<const std::uint8_t> prefix, std::optional<std::int64_t> totalLength);

// True when the bytes are a whole audio file whose audio stream opens and
// decodes (the packets are not counted).
bool isPlayableAudio(std::span<const std::uint8_t> bytes);

}  // namespace platform::media
