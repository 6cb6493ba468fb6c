// Reads the duration of an audio resource from its own bytes: WAV from its
// header, MP4/M4A from the movie header (timescale and duration), MP3 through
// libmpg123. The player item calls it on the main queue each time more bytes
// have arrived, with the bytes held from the start of the resource and the
// resource's total length when it is known; it is a pure function and may be
// called from any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "platform/media/MediaTime.hpp"

namespace platform::media {

enum class MediaFormat { wav, mp3, mp4 };

// What the probe learnt of a resource: its format, its duration, and where its
// audio payload lies, which maps a playback position to the bytes needed to
// play it (linearly across the payload).
struct MediaInfo {
    MediaFormat format = MediaFormat::wav;
    MediaTime duration = MediaTime::indefiniteTime();
    std::int64_t dataStart = 0;
    std::int64_t dataEnd = 0;

    // The first byte past the payload needed to play up to `seconds`.
    std::int64_t byteOffsetForSeconds(double seconds) const;
    // The playback position that the bytes before `offset` allow.
    double secondsForByteOffset(std::int64_t offset) const;
};

struct ProbeNeedsMoreData {};
struct ProbeFailure {
    std::string reason;
};

using ProbeResult = std::variant<MediaInfo, ProbeNeedsMoreData, ProbeFailure>;

// `prefix`: the bytes of the resource from its first byte on. `totalLength`:
// the resource's length when known. When `prefix` holds the whole resource
// (its size equals `totalLength`), the probe never asks for more data.
ProbeResult probeMedia(std::span<const std::uint8_t> prefix, std::optional<std::int64_t> totalLength);

}  // namespace platform::media
