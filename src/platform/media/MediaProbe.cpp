#include "platform/media/MediaProbe.hpp"

#include <mpg123.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform::media {

std::int64_t MediaInfo::byteOffsetForSeconds(double seconds) const {
    const double total = duration.seconds();
    if (!(total > 0) || dataEnd <= dataStart) return dataEnd;
    const double fraction = std::clamp(seconds / total, 0.0, 1.0);
    const auto span = static_cast<double>(dataEnd - dataStart);
    return dataStart + static_cast<std::int64_t>(std::ceil(fraction * span));
}

double MediaInfo::secondsForByteOffset(std::int64_t offset) const {
    const double total = duration.seconds();
    if (!(total > 0)) return 0;
    if (offset >= dataEnd) return total;
    if (offset <= dataStart || dataEnd <= dataStart) return 0;
    const double fraction = static_cast<double>(offset - dataStart) / static_cast<double>(dataEnd - dataStart);
    return fraction * total;
}

namespace {

using Bytes = std::span<const std::uint8_t>;

// Where the probe stands with a given resource.
struct Input {
    Bytes bytes;
    std::optional<std::int64_t> total;

    bool complete() const { return total && static_cast<std::int64_t>(bytes.size()) >= *total; }
    // True when the bytes [offset, offset + count) are held.
    bool has(std::int64_t offset, std::int64_t count) const {
        const auto held = static_cast<std::int64_t>(bytes.size());
        return offset >= 0 && count >= 0 && offset <= held && count <= held - offset;
    }
    // True when those bytes can never come (past the end of the resource).
    bool beyondEnd(std::int64_t offset, std::int64_t count) const {
        if (complete()) return !has(offset, count);
        // Sizes come from the file: compare without forming offset + count.
        return total && (offset > *total || count > *total - offset);
    }
    std::uint32_t be32(std::int64_t at) const {
        const auto* p = bytes.data() + at;
        return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
    }
    std::uint64_t be64(std::int64_t at) const { return (std::uint64_t{be32(at)} << 32) | be32(at + 4); }
    std::uint32_t le32(std::int64_t at) const {
        const auto* p = bytes.data() + at;
        return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    std::uint16_t le16(std::int64_t at) const {
        const auto* p = bytes.data() + at;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    bool tagAt(std::int64_t at, const char* tag) const {
        return has(at, 4) && std::memcmp(bytes.data() + at, tag, 4) == 0;
    }
};

// Bytes at [offset, offset + count) are needed: more data, or a failure when
// they cannot come.
ProbeResult missing(const Input& in, std::int64_t offset, std::int64_t count, const char* what) {
    if (in.beyondEnd(offset, count)) return ProbeFailure{what};
    return ProbeNeedsMoreData{};
}

// ---- WAV ----

ProbeResult probeWav(const Input& in) {
    std::int64_t offset = 12;
    std::optional<std::uint32_t> sampleRate;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    for (;;) {
        if (!in.has(offset, 8)) return missing(in, offset, 8, "WAV file without a data chunk");
        const std::uint32_t size = in.le32(offset + 4);
        if (in.tagAt(offset, "fmt ")) {
            if (size < 16) return ProbeFailure{"WAV format chunk too short"};
            if (!in.has(offset + 8, 16)) return missing(in, offset + 8, 16, "WAV format chunk cut short");
            const std::uint16_t channels = in.le16(offset + 10);
            sampleRate = in.le32(offset + 12);
            byteRate = in.le32(offset + 16);
            blockAlign = in.le16(offset + 20);
            if (channels == 0 || *sampleRate == 0 || byteRate == 0 || blockAlign == 0)
                return ProbeFailure{"WAV format chunk with a zero rate, channel count or block size"};
        } else if (in.tagAt(offset, "data")) {
            if (!sampleRate) return ProbeFailure{"WAV data chunk before its format chunk"};
            const std::int64_t dataStart = offset + 8;
            std::int64_t dataSize = size;
            // A streamed file may carry a placeholder size: the payload then
            // ends with the resource.
            if (in.total && dataStart + dataSize > *in.total) dataSize = std::max<std::int64_t>(0, *in.total - dataStart);
            const std::int64_t frames = dataSize / blockAlign;
            MediaInfo info;
            info.format = MediaFormat::wav;
            info.duration = MediaTime::make(frames, static_cast<std::int32_t>(std::min<std::uint32_t>(*sampleRate, INT32_MAX)));
            info.dataStart = dataStart;
            info.dataEnd = dataStart + dataSize;
            return info;
        }
        offset += 8 + static_cast<std::int64_t>(size) + (size & 1);
    }
}

// ---- MP4 / M4A ----

struct Box {
    std::int64_t offset;
    std::int64_t header;
    std::int64_t size;  // whole box, header included
    std::array<char, 4> type;
};

// Reads the box header at `offset`; `end` is where the enclosing space ends
// (none: unknown).
std::variant<Box, ProbeResult> readBox(const Input& in, std::int64_t offset, std::optional<std::int64_t> end) {
    if (!in.has(offset, 8)) return missing(in, offset, 8, "MP4 box header cut short");
    Box box{offset, 8, in.be32(offset), {}};
    std::memcpy(box.type.data(), in.bytes.data() + offset + 4, 4);
    if (box.size == 1) {
        if (!in.has(offset, 16)) return missing(in, offset, 16, "MP4 box header cut short");
        const std::uint64_t large = in.be64(offset + 8);
        if (large > static_cast<std::uint64_t>(INT64_MAX)) return ProbeFailure{"MP4 box too large"};
        box.header = 16;
        box.size = static_cast<std::int64_t>(large);
    } else if (box.size == 0) {
        if (!end) return ProbeResult{ProbeNeedsMoreData{}};
        box.size = *end - offset;
    }
    if (box.size < box.header) return ProbeFailure{"MP4 box smaller than its header"};
    // Sizes come from the file: compare without forming offset + size, and
    // refuse a box whose end cannot even be represented.
    if (end && box.size > *end - offset) return ProbeFailure{"MP4 box runs past its container"};
    if (box.size > INT64_MAX - offset) return ProbeFailure{"MP4 box too large"};
    return box;
}

bool isType(const Box& box, const char* type) { return std::memcmp(box.type.data(), type, 4) == 0; }

ProbeResult parseMovieHeader(const Input& in, const Box& moov) {
    std::int64_t offset = moov.offset + moov.header;
    const std::int64_t end = moov.offset + moov.size;
    while (offset + 8 <= end) {
        auto read = readBox(in, offset, end);
        if (auto* result = std::get_if<ProbeResult>(&read)) return *result;
        const Box box = std::get<Box>(read);
        if (isType(box, "mvhd")) {
            const std::int64_t body = box.offset + box.header;
            const std::int64_t bodySize = box.size - box.header;
            if (bodySize < 4) return ProbeFailure{"MP4 movie header too short"};
            const std::uint8_t version = in.bytes[static_cast<std::size_t>(body)];
            std::uint32_t timescale = 0;
            std::uint64_t duration = 0;
            bool unknown = false;
            if (version == 1) {
                if (bodySize < 4 + 8 + 8 + 4 + 8) return ProbeFailure{"MP4 movie header too short"};
                timescale = in.be32(body + 20);
                duration = in.be64(body + 24);
                unknown = duration == UINT64_MAX;
            } else {
                if (bodySize < 4 + 4 + 4 + 4 + 4) return ProbeFailure{"MP4 movie header too short"};
                timescale = in.be32(body + 12);
                duration = in.be32(body + 16);
                unknown = duration == UINT32_MAX;
            }
            if (timescale == 0 || timescale > INT32_MAX) return ProbeFailure{"MP4 movie header with a bad timescale"};
            if (unknown || duration > static_cast<std::uint64_t>(INT64_MAX))
                return ProbeFailure{"MP4 movie without a known duration"};
            MediaInfo info;
            info.format = MediaFormat::mp4;
            info.duration = MediaTime::make(static_cast<std::int64_t>(duration), static_cast<std::int32_t>(timescale));
            return info;
        }
        offset += box.size;
    }
    return ProbeFailure{"MP4 movie without a movie header"};
}

ProbeResult probeMp4(const Input& in) {
    std::optional<MediaInfo> movie;
    std::optional<std::pair<std::int64_t, std::int64_t>> payload;
    std::int64_t offset = 0;
    for (;;) {
        if (movie && payload) break;
        if (in.total && offset >= *in.total) break;
        auto read = readBox(in, offset, in.total);
        if (auto* result = std::get_if<ProbeResult>(&read)) {
            if (std::holds_alternative<ProbeFailure>(*result) && movie) break;
            return *result;
        }
        const Box box = std::get<Box>(read);
        if (offset == 0 && !isType(box, "ftyp")) return ProbeFailure{"MP4 file without a file-type box"};
        if (isType(box, "moov")) {
            if (!in.has(box.offset, box.size)) return missing(in, box.offset, box.size, "MP4 movie box cut short");
            auto header = parseMovieHeader(in, box);
            if (!std::holds_alternative<MediaInfo>(header)) return header;
            movie = std::get<MediaInfo>(header);
        } else if (isType(box, "mdat")) {
            payload = std::pair{box.offset + box.header, box.offset + box.size};
        }
        offset += box.size;
    }
    if (!movie) return ProbeFailure{"MP4 file without a movie box"};
    MediaInfo info = *movie;
    if (payload) {
        info.dataStart = payload->first;
        info.dataEnd = payload->second;
    } else {
        info.dataStart = 0;
        info.dataEnd = in.total.value_or(static_cast<std::int64_t>(in.bytes.size()));
    }
    return info;
}

// ---- MP3 ----

// Length in bytes of the MPEG audio frame whose header is at `at`, or 0 when
// those four bytes are not a usable frame header.
std::int64_t mpegFrameLength(const Input& in, std::int64_t at) {
    const auto* p = in.bytes.data() + at;
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
    const int version = (p[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;    // 1: III, 2: II, 3: I
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    static constexpr int kBitrates[2][3][15] = {
        // MPEG-1: layer I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        // MPEG-2 and 2.5: layer I, II, III
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int layerIndex = 3 - layer;  // 0: I, 1: II, 2: III
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][layerIndex][bitrateIndex] * 1000;
    int rate = kRates[rateIndex];
    if (version == 2) rate /= 2;
    if (version == 0) rate /= 4;
    if (layerIndex == 0) return (12 * bitrate / rate + padding) * 4;
    if (layerIndex == 2 && !mpeg1) return 72 * bitrate / rate + padding;
    return 144 * bitrate / rate + padding;
}

std::once_flag mpg123Once;

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

Handle newHandle() {
    std::call_once(mpg123Once, [] { mpg123_init(); });
    int error = MPG123_OK;
    Handle handle(mpg123_new(nullptr, &error));
    if (handle) mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    return handle;
}

struct MemoryReader {
    Bytes bytes;
    std::int64_t position = 0;

    static mpg123_ssize_t read(void* self, void* buffer, size_t count) {
        auto* reader = static_cast<MemoryReader*>(self);
        const auto available = static_cast<std::int64_t>(reader->bytes.size()) - reader->position;
        const auto n = std::clamp<std::int64_t>(static_cast<std::int64_t>(count), 0, std::max<std::int64_t>(0, available));
        if (n > 0) std::memcpy(buffer, reader->bytes.data() + reader->position, static_cast<std::size_t>(n));
        reader->position += n;
        return static_cast<mpg123_ssize_t>(n);
    }
    static off_t seek(void* self, off_t offset, int whence) {
        auto* reader = static_cast<MemoryReader*>(self);
        std::int64_t base = 0;
        if (whence == SEEK_CUR) base = reader->position;
        if (whence == SEEK_END) base = static_cast<std::int64_t>(reader->bytes.size());
        const std::int64_t target = base + offset;
        if (target < 0 || target > static_cast<std::int64_t>(reader->bytes.size())) return -1;
        reader->position = target;
        return static_cast<off_t>(target);
    }
};

// Sample count and rate of a whole MP3 held in memory (every frame counted).
std::optional<std::pair<std::int64_t, long>> mp3LengthOfWhole(Bytes bytes) {
    auto handle = newHandle();
    if (!handle) return std::nullopt;
    MemoryReader reader{bytes};
    if (mpg123_replace_reader_handle(handle.get(), &MemoryReader::read, &MemoryReader::seek, nullptr) != MPG123_OK)
        return std::nullopt;
    if (mpg123_open_handle(handle.get(), &reader) != MPG123_OK) return std::nullopt;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    std::optional<std::pair<std::int64_t, long>> result;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) == MPG123_OK && rate > 0 &&
        mpg123_scan(handle.get()) == MPG123_OK) {
        const off_t samples = mpg123_length(handle.get());
        if (samples >= 0) result = std::pair{static_cast<std::int64_t>(samples), rate};
    }
    mpg123_close(handle.get());
    return result;
}

// Sample count (estimated from the header frame or the first frames and the
// file size) and rate of an MP3 of which only the start is held.
std::variant<std::pair<std::int64_t, long>, ProbeResult> mp3LengthOfStart(Bytes bytes, std::int64_t total) {
    auto handle = newHandle();
    if (!handle) return ProbeResult{ProbeFailure{"MP3 decoder unavailable"}};
    if (mpg123_open_feed(handle.get()) != MPG123_OK) return ProbeResult{ProbeFailure{"MP3 decoder unavailable"}};
    mpg123_set_filesize(handle.get(), static_cast<off_t>(total));
    if (mpg123_feed(handle.get(), bytes.data(), bytes.size()) != MPG123_OK)
        return ProbeResult{ProbeFailure{"MP3 decoder refused the data"}};
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    const int status = mpg123_getformat(handle.get(), &rate, &channels, &encoding);
    if (status == MPG123_NEED_MORE) return ProbeResult{ProbeNeedsMoreData{}};
    if (status != MPG123_OK || rate <= 0) return ProbeResult{ProbeFailure{"MP3 stream without a readable format"}};
    const off_t samples = mpg123_length(handle.get());
    if (samples < 0) return ProbeResult{ProbeNeedsMoreData{}};
    return std::pair{static_cast<std::int64_t>(samples), rate};
}

ProbeResult probeMp3(const Input& in) {
    std::int64_t offset = 0;
    if (in.has(0, 3) && std::memcmp(in.bytes.data(), "ID3", 3) == 0) {
        if (!in.has(0, 10)) return missing(in, 0, 10, "ID3 tag cut short");
        std::int64_t size = 0;
        for (int i = 6; i < 10; ++i) {
            if (in.bytes[static_cast<std::size_t>(i)] & 0x80) return ProbeFailure{"ID3 tag with a bad size"};
            size = (size << 7) | in.bytes[static_cast<std::size_t>(i)];
        }
        offset = 10 + size + ((in.bytes[5] & 0x10) ? 10 : 0);
    }
    // Two frame headers in a row: random bytes seldom pass for audio.
    if (!in.has(offset, 4)) return missing(in, offset, 4, "no MPEG audio frame");
    const std::int64_t first = mpegFrameLength(in, offset);
    if (first <= 4) return ProbeFailure{"not an audio file"};
    const std::int64_t next = offset + first;
    const bool endsAfterFirst = in.total && next >= *in.total;
    if (!endsAfterFirst) {
        if (!in.has(next, 4)) return missing(in, next, 4, "MPEG audio frame cut short");
        if (mpegFrameLength(in, next) <= 4) return ProbeFailure{"not an audio file"};
    }

    std::pair<std::int64_t, long> length;
    if (in.complete()) {
        auto whole = mp3LengthOfWhole(in.bytes.first(static_cast<std::size_t>(*in.total)));
        if (!whole) return ProbeFailure{"MP3 stream the decoder cannot read"};
        length = *whole;
    } else {
        if (!in.total) return ProbeNeedsMoreData{};
        // The start is enough for an estimate; 64 KiB past the first frame
        // covers a header frame and the first frames many times over.
        const auto limit = static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(in.bytes.size()), offset + 64 * 1024));
        auto start = mp3LengthOfStart(in.bytes.first(limit), *in.total);
        if (auto* result = std::get_if<ProbeResult>(&start)) return *result;
        length = std::get<std::pair<std::int64_t, long>>(start);
    }
    if (length.second > INT32_MAX) return ProbeFailure{"MP3 stream with a bad sample rate"};
    MediaInfo info;
    info.format = MediaFormat::mp3;
    info.duration = MediaTime::make(length.first, static_cast<std::int32_t>(length.second));
    info.dataStart = offset;
    info.dataEnd = in.total.value_or(static_cast<std::int64_t>(in.bytes.size()));
    return info;
}

}  // namespace

ProbeResult probeMedia(std::span<const std::uint8_t> prefix, std::optional<std::int64_t> totalLength) {
    if (totalLength && *totalLength < 0) totalLength.reset();
    if (totalLength && static_cast<std::int64_t>(prefix.size()) > *totalLength)
        prefix = prefix.first(static_cast<std::size_t>(*totalLength));
    const Input in{prefix, totalLength};
    if (in.complete() && prefix.empty()) return ProbeFailure{"empty resource"};

    // The format is told by the first bytes.
    if (!in.has(0, 12)) {
        if (in.complete()) {
            // Too short for WAV or MP4; an MP3 of one tiny frame still is one.
            if (in.has(0, 4)) return probeMp3(in);
            return ProbeFailure{"not an audio file"};
        }
        return ProbeNeedsMoreData{};
    }
    if (in.tagAt(0, "RIFF")) {
        if (!in.tagAt(8, "WAVE")) return ProbeFailure{"RIFF file that is not WAV"};
        return probeWav(in);
    }
    if (in.tagAt(4, "ftyp")) return probeMp4(in);
    return probeMp3(in);
}

}  // namespace platform::media
