// Decodes an audio resource with libavformat, libavcodec and libswresample,
// reading its bytes through a ByteSource: the bytes a player item's resource
// loader has delivered so far, or bytes held in memory. Nothing is read that
// has not arrived: a read of missing bytes stops the open (which then names
// the offset it needs) or the decoding (which resumes with a seek once the
// bytes are there).
//
// Output: 16-bit signed interleaved PCM at kOutputSampleRate with
// kOutputChannels channels, addressed by output frame (frame n plays at
// n / kOutputSampleRate seconds of media time).
//
// Not thread-safe: one decoder is used on one thread at a time. The source may
// be filled from other threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/media/MediaProbe.hpp"

namespace platform::media {

inline constexpr int kOutputSampleRate = 48000;
inline constexpr int kOutputChannels = 2;

// The bytes of one resource as far as they are known. Thread-safe.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to `count` bytes at `offset` into `into` and returns how many
    // (> 0); 0 at or past the end of the resource; -1 when the bytes at
    // `offset` have not arrived.
    virtual std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) = 0;
    // The length of the resource, when known.
    virtual std::optional<std::int64_t> length() const = 0;
    // Blocks until the bytes at `offset` have arrived or the resource is
    // known to end before it: true then, false when they never will (the
    // source has been closed). A source whose bytes are all there at once
    // never waits.
    virtual bool waitFor(std::int64_t offset) {
        (void)offset;
        return false;
    }
};

// What counting the packets of a resource from its first byte found so far.
struct PacketCount {
    // Seconds of audio the packets counted play: encoder delay and padding
    // that the decoder drops are not counted.
    double seconds = 0;
    // The bytes whose packets are counted: up to the first byte of the next
    // packet (the whole resource once complete).
    std::int64_t bytes = 0;
    // Every packet of the resource is counted.
    bool complete = false;
    // Seconds of the packets read so far but the last one: what the bytes
    // read play, with a packet to spare for what a decoder reads ahead (the
    // packets of an Ogg page share its position, so `seconds` lags by a
    // page).
    double readSeconds = 0;
};

// Counts the packets of the resource in one reading from its first byte,
// without decoding them. Reads of bytes that have not arrived wait for them
// (ByteSource::waitFor), so that a count started while the resource arrives
// follows its bytes. `progress`, when given, is called on the calling thread
// whenever the count reads a packet, and once complete. Answers the complete
// count, or none when the source was closed or the packets cannot be counted.
std::optional<PacketCount> countPackets(std::shared_ptr<ByteSource> source,
                                        const std::function<void(const PacketCount&)>& progress = {});

class AudioDecoder;
using DecoderOpenResult = std::variant<std::unique_ptr<AudioDecoder>, ProbeNeedsMoreData, ProbeFailure>;

class AudioDecoder {
public:
    // Opens the resource: container, first audio stream, decoder, resampler.
    static DecoderOpenResult open(std::shared_ptr<ByteSource> source);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    const MediaInfo& info() const { return info_; }

    // Seconds of audio the whole resource holds, counted from its packets
    // (every byte must be there); none when they cannot be counted. Uses a
    // reading of its own: the decoding position is untouched.
    std::optional<double> countDuration() const;
    // The source the decoder reads.
    const std::shared_ptr<ByteSource>& source() const;

    struct Rendered {
        std::int64_t frames = 0;  // frames appended
        bool ended = false;       // the decoded audio ended before `count` frames
        std::optional<std::int64_t> missingAt;  // bytes needed that have not arrived
        std::optional<std::string> failure;     // the decoder gave up
    };
    // Appends up to `count` output frames, starting at output frame `start`,
    // to `out`. A `start` other than where the last call ended seeks.
    Rendered render(std::int64_t start, std::int64_t count, std::vector<std::int16_t>& out);

    // How many packets the decoder refused so far.
    int decodeErrorCount() const { return decodeErrors_; }

private:
    friend std::optional<PacketCount> countPackets(std::shared_ptr<ByteSource> source,
                                                   const std::function<void(const PacketCount&)>& progress);
    struct Context;
    explicit AudioDecoder(std::unique_ptr<Context> context);

    enum class Step { decoded, missing, endOfStream, failed };
    Step decodeNext();
    void appendFrame();
    void seekTo(std::int64_t frame);

    std::unique_ptr<Context> context_;
    MediaInfo info_;
    // Decoded, resampled frames not handed out yet; the first is `fifoStart_`.
    std::vector<std::int16_t> fifo_;
    std::int64_t fifoStart_ = 0;
    std::int64_t nextFrame_ = 0;
    bool alignToNextFrame_ = false;
    bool endOfStream_ = false;
    bool needsResync_ = false;
    int decodeErrors_ = 0;
    int consecutiveErrors_ = 0;
    std::optional<std::string> failure_;
};

}  // namespace platform::media
