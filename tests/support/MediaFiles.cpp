#include "support/MediaFiles.hpp"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/FileManager.hpp"
#include "platform/media/MediaDecoder.hpp"
#include "support/EncodedMedia.hpp"

namespace orvane::testing {

using platform::core::Data;

namespace {
void put32le(Data& d, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) d.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16le(Data& d, std::uint16_t v) {
    d.push_back(static_cast<std::uint8_t>(v));
    d.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32be(Data& d, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) d.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put64be(Data& d, std::uint64_t v) {
    put32be(d, static_cast<std::uint32_t>(v >> 32));
    put32be(d, static_cast<std::uint32_t>(v));
}
void putTag(Data& d, const char* tag) {
    for (int i = 0; i < 4; ++i) d.push_back(static_cast<std::uint8_t>(tag[i]));
}
}  // namespace

Data makeWav(double seconds, int sampleRate, int channels) {
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * sampleRate));
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    const std::uint32_t dataSize = frames * blockAlign;
    Data d;
    d.reserve(44 + dataSize);
    putTag(d, "RIFF");
    put32le(d, 36 + dataSize);
    putTag(d, "WAVE");
    putTag(d, "fmt ");
    put32le(d, 16);
    put16le(d, 1);  // PCM
    put16le(d, static_cast<std::uint16_t>(channels));
    put32le(d, static_cast<std::uint32_t>(sampleRate));
    put32le(d, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16le(d, blockAlign);
    put16le(d, 16);
    putTag(d, "data");
    put32le(d, dataSize);
    d.resize(d.size() + dataSize, 0);
    return d;
}

Data makeMp3(std::size_t frames, std::size_t id3Bytes) {
    Data d;
    d.reserve(frames * kMp3FrameBytes + id3Bytes + 10);
    if (id3Bytes > 0) {
        d.insert(d.end(), {'I', 'D', '3', 4, 0, 0});
        for (int shift = 21; shift >= 0; shift -= 7) d.push_back(static_cast<std::uint8_t>((id3Bytes >> shift) & 0x7F));
        d.resize(d.size() + id3Bytes, 0);
    }
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t start = d.size();
        // Sync, MPEG-1, Layer III, no CRC; 128 kbit/s, 44.1 kHz, no padding; mono.
        d.insert(d.end(), {0xFF, 0xFB, 0x90, 0xC0});
        d.resize(start + kMp3FrameBytes, 0);  // zero side information and main data: silence
    }
    return d;
}

Data makeMp3Seconds(double seconds) {
    return makeMp3(static_cast<std::size_t>(std::ceil(seconds / kMp3FrameSeconds)));
}

Data makeMp4(std::uint32_t timescale, std::uint64_t duration, std::size_t payloadBytes, bool movieAtEnd,
             bool version1) {
    Data ftyp;
    put32be(ftyp, 24);
    putTag(ftyp, "ftyp");
    putTag(ftyp, "M4A ");
    put32be(ftyp, 0);
    putTag(ftyp, "M4A ");
    putTag(ftyp, "isom");

    Data mvhd;
    const std::uint32_t mvhdBody = version1 ? 4 + 8 + 8 + 4 + 8 + 80 : 4 + 4 + 4 + 4 + 4 + 80;
    put32be(mvhd, 8 + mvhdBody);
    putTag(mvhd, "mvhd");
    mvhd.push_back(version1 ? 1 : 0);
    mvhd.insert(mvhd.end(), {0, 0, 0});
    if (version1) {
        put64be(mvhd, 0);
        put64be(mvhd, 0);
        put32be(mvhd, timescale);
        put64be(mvhd, duration);
    } else {
        put32be(mvhd, 0);
        put32be(mvhd, 0);
        put32be(mvhd, timescale);
        put32be(mvhd, static_cast<std::uint32_t>(duration));
    }
    mvhd.resize(8 + mvhdBody, 0);

    Data moov;
    put32be(moov, static_cast<std::uint32_t>(8 + mvhd.size()));
    putTag(moov, "moov");
    moov.insert(moov.end(), mvhd.begin(), mvhd.end());

    Data mdat;
    put32be(mdat, static_cast<std::uint32_t>(8 + payloadBytes));
    putTag(mdat, "mdat");
    mdat.resize(8 + payloadBytes, 0);

    Data d = ftyp;
    if (movieAtEnd) {
        d.insert(d.end(), mdat.begin(), mdat.end());
        d.insert(d.end(), moov.begin(), moov.end());
    } else {
        d.insert(d.end(), moov.begin(), moov.end());
        d.insert(d.end(), mdat.begin(), mdat.end());
    }
    return d;
}

Data makeTone(double seconds, double frequency, int sampleRate, int channels) {
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * sampleRate));
    Data d = makeWavFrames(frames, sampleRate, channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double value = 8192.0 * std::sin(2.0 * M_PI * frequency * i / sampleRate);
        const auto sample = static_cast<std::int16_t>(std::lround(value));
        for (int c = 0; c < channels; ++c) {
            const std::size_t at = 44 + (static_cast<std::size_t>(i) * channels + c) * 2;
            d[at] = static_cast<std::uint8_t>(sample & 0xFF);
            d[at + 1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
        }
    }
    return d;
}

Data makeWavFrames(std::uint32_t frames, int sampleRate, int channels) {
    Data d = makeWav(0, sampleRate, channels);
    const std::uint32_t dataSize = frames * static_cast<std::uint32_t>(channels) * 2;
    d.resize(44 + dataSize, 0);
    for (int i = 0; i < 4; ++i) {
        d[4 + i] = static_cast<std::uint8_t>((36 + dataSize) >> (8 * i));
        d[40 + i] = static_cast<std::uint8_t>(dataSize >> (8 * i));
    }
    return d;
}

Data makePositionCode(double seconds, std::uint32_t firstCode) {
    constexpr int rate = 48000;
    const auto frames = static_cast<std::uint32_t>(std::llround(seconds * rate));
    Data d = makeWavFrames(frames, rate, 2);
    for (std::uint32_t n = 0; n < frames; ++n) {
        const std::uint32_t code = firstCode + n;
        const std::size_t at = 44 + static_cast<std::size_t>(n) * 4;
        const auto left = static_cast<std::uint16_t>(static_cast<std::int32_t>(code & 0xFFFF) - 32768);
        const auto right = static_cast<std::uint16_t>(static_cast<std::int32_t>(code >> 16) - 32768);
        d[at] = static_cast<std::uint8_t>(left);
        d[at + 1] = static_cast<std::uint8_t>(left >> 8);
        d[at + 2] = static_cast<std::uint8_t>(right);
        d[at + 3] = static_cast<std::uint8_t>(right >> 8);
    }
    return d;
}

std::optional<std::uint32_t> positionCodeOf(std::int16_t left, std::int16_t right) {
    const auto high = static_cast<std::uint32_t>(right + 32768);
    if (high >= 256) return std::nullopt;  // silence has 32768 here
    return (high << 16) | static_cast<std::uint32_t>(left + 32768);
}

Data makeWavClaiming(std::uint32_t sampleRate, std::uint32_t channels, std::size_t size) {
    Data d;
    putTag(d, "RIFF");
    put32le(d, static_cast<std::uint32_t>(std::max<std::size_t>(size, 44) - 8));
    putTag(d, "WAVE");
    putTag(d, "fmt ");
    put32le(d, 16);
    put16le(d, 1);  // PCM
    put16le(d, static_cast<std::uint16_t>(channels));
    put32le(d, sampleRate);
    put32le(d, sampleRate * channels * 2);
    put16le(d, static_cast<std::uint16_t>(channels * 2));
    put16le(d, 16);
    putTag(d, "data");
    put32le(d, static_cast<std::uint32_t>(std::max<std::size_t>(size, 44) - 44));
    d.resize(std::max<std::size_t>(size, 44), 0);
    return d;
}

Data encodeWithFfmpeg(const std::string& input, const std::string& output, const std::string& extension) {
    static std::mutex mutex;
    static std::map<std::string, Data> made;
    const std::string key = input + "|" + output + "|" + extension;
    std::lock_guard lock(mutex);
    if (auto it = made.find(key); it != made.end()) return it->second;
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvane-test-" + std::to_string(::getpid()) + "-" + std::to_string(made.size()) + "." + extension);
    const std::string command = "ffmpeg -hide_banner -loglevel error -nostdin -y " + input + " " + output + " '" +
                                path.string() + "' < /dev/null";
    Data bytes;
    if (std::system(command.c_str()) == 0) {
        if (auto read = platform::core::FileManager::readFile(path)) bytes = std::move(*read);
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    made.emplace(key, bytes);
    return bytes;
}

Data makeHtmlPage(std::size_t size) {
    std::string page = "<!DOCTYPE html><html><head><title>404 Not Found</title></head><body><h1>Not Found</h1>";
    while (page.size() + 14 < size) page += "<p>missing</p>";
    page += "</body></html>";
    return Data(page.begin(), page.end());
}

Data withLargeId3(const Data& bytes, std::size_t tagBytes) {
    Data d = {'I', 'D', '3', 4, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7) d.push_back(static_cast<std::uint8_t>((tagBytes >> shift) & 0x7F));
    d.resize(d.size() + tagBytes, 0);
    d.insert(d.end(), bytes.begin(), bytes.end());
    return d;
}

Data withItunesGaplessInfo(const Data& m4a, std::uint32_t priming, std::uint32_t remainder, std::uint64_t samples) {
    auto box = [](const char* tag, const Data& payload) {
        Data d;
        put32be(d, static_cast<std::uint32_t>(8 + payload.size()));
        putTag(d, tag);
        d.insert(d.end(), payload.begin(), payload.end());
        return d;
    };
    auto text = [](Data prefix, const std::string& value) {
        prefix.insert(prefix.end(), value.begin(), value.end());
        return prefix;
    };
    char value[96];
    std::snprintf(value, sizeof value, " 00000000 %08X %08X %016llX 00000000 00000000", priming, remainder,
                  static_cast<unsigned long long>(samples));
    const Data flags = {0, 0, 0, 0};
    Data custom = box("mean", text(flags, "com.apple.iTunes"));
    const Data name = box("name", text(flags, "iTunSMPB"));
    const Data data = box("data", text({0, 0, 0, 1, 0, 0, 0, 0}, value));
    custom.insert(custom.end(), name.begin(), name.end());
    custom.insert(custom.end(), data.begin(), data.end());
    Data handler = text(flags, std::string(4, '\0'));
    handler = text(handler, "mdirappl");
    handler.resize(handler.size() + 9, 0);
    Data meta = flags;
    const Data hdlr = box("hdlr", handler);
    const Data ilst = box("ilst", box("----", custom));
    meta.insert(meta.end(), hdlr.begin(), hdlr.end());
    meta.insert(meta.end(), ilst.begin(), ilst.end());
    const Data udta = box("udta", box("meta", meta));

    // Find the last top-level box: it must be the movie header.
    std::size_t at = 0;
    std::size_t last = 0;
    while (at + 8 <= m4a.size()) {
        const std::uint32_t size = (std::uint32_t{m4a[at]} << 24) | (std::uint32_t{m4a[at + 1]} << 16) |
                                   (std::uint32_t{m4a[at + 2]} << 8) | m4a[at + 3];
        if (size < 8) return {};
        last = at;
        at += size;
    }
    if (at != m4a.size() || std::string(m4a.begin() + static_cast<std::ptrdiff_t>(last) + 4,
                                        m4a.begin() + static_cast<std::ptrdiff_t>(last) + 8) != "moov")
        return {};
    Data out = m4a;
    out.insert(out.end(), udta.begin(), udta.end());
    const auto size = static_cast<std::uint32_t>(m4a.size() - last + udta.size());
    for (int i = 0; i < 4; ++i) out[last + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * (3 - i)));
    return out;
}

namespace {
class WholeBytes final : public platform::media::ByteSource {
public:
    explicit WholeBytes(const Data& bytes) : bytes_(bytes) {}
    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
        const auto size = static_cast<std::int64_t>(bytes_.size());
        if (offset >= size) return 0;
        const std::int64_t n = std::min(count, size - offset);
        std::copy_n(bytes_.begin() + offset, n, into);
        return n;
    }
    std::optional<std::int64_t> length() const override { return static_cast<std::int64_t>(bytes_.size()); }

private:
    const Data& bytes_;
};
}  // namespace

std::vector<std::int16_t> decodedSamples(const Data& bytes) {
    using namespace platform::media;
    std::vector<std::int16_t> out;
    auto opened = AudioDecoder::open(std::make_shared<WholeBytes>(bytes));
    auto* decoder = std::get_if<std::unique_ptr<AudioDecoder>>(&opened);
    if (!decoder) return {};
    std::int64_t frames = 0;
    for (;;) {
        const auto rendered = (*decoder)->render(frames, kOutputSampleRate, out);
        if (rendered.failure || rendered.missingAt) return {};
        frames += rendered.frames;
        if (rendered.ended) break;
    }
    return out;
}

double decodedSeconds(const Data& bytes) {
    const auto samples = decodedSamples(bytes);
    if (samples.empty()) return -1;
    return static_cast<double>(samples.size() / platform::media::kOutputChannels) /
           platform::media::kOutputSampleRate;
}

}  // namespace orvane::testing
