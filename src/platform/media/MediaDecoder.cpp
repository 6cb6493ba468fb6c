#include "platform/media/MediaDecoder.hpp"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

#include "platform/core/DebugPrint.hpp"

namespace platform::media {

namespace {

constexpr int kIOBufferSize = 32 * 1024;
// Reads that jump this close to the end of a resource look for trailing tags
// or the last page (ID3v1, APE, the last Ogg page): while those bytes are
// missing, such a read sees the end instead of stopping the open.
constexpr std::int64_t kTailBytes = 64 * 1024 + 4096;
// What counting the packets reads of a stream before it counts them.
constexpr std::int64_t kCountAnalyzeMicroseconds = 100'000;
// How far (in output frames) a render may start from where the last one
// ended and still go on without a seek.
constexpr std::int64_t kContinuityFrames = 2;
// A decoder that refuses this many packets in a row gives up.
constexpr int kMaxConsecutiveErrors = 32;

// What an audio file can hold. A stream that claims more is a file that lies:
// preparing a resampler or a decoder for it would cost without bound (a
// resampler for a rate of a billion hertz takes minutes and gigabytes).
constexpr int kLowestSampleRate = 1000;
constexpr int kHighestSampleRate = 768000;
constexpr int kMostChannels = 16;
// Samples of one packet (FLAC's largest block is 65535).
constexpr std::int64_t kLargestFrameSamples = 65536;
// Bytes of one packet of raw samples.
constexpr std::int64_t kLargestBlockAlign = 65536;
constexpr double kLongestSeconds = 30.0 * 24 * 3600;

// The containers of the audio we play, as their demuxers name themselves
// ("mov" reads MP4 and M4A, "aac" ADTS streams). Anything else is refused
// before it is opened: a playlist ("hls"), a concatenation list and the like
// name other resources for the libraries to open.
constexpr const char* kAudioContainers = "mp3,aac,mov,ogg,wav,flac";

// Every byte comes through our own I/O context. What a container would open
// beside it (a segment, a movie's external data reference) is refused, and no
// protocol of the libraries is allowed: nothing is fetched, no file is read.
int refuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }
constexpr const char* kNoProtocol = "none";

void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::string errorText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

// Reads up to `count` bytes at `offset` that have arrived.
std::vector<std::uint8_t> readHeld(ByteSource& source, std::int64_t offset, std::int64_t count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, count)));
    std::int64_t got = 0;
    while (got < count) {
        const std::int64_t n = source.read(offset + got, bytes.data() + got, count - got);
        if (n <= 0) break;
        got += n;
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

// The encoder's delay and padding, in samples, that an MP3's info tag states.
// LAME (and libavcodec after it) writes the tag in a frame of its own just
// before the first frame of audio: "Xing" or "Info", the fields its flags
// announce, then the encoder's name and, 21 bytes on, 12 bits of delay and
// 12 bits of padding.
std::optional<std::int64_t> mp3DelayAndPadding(ByteSource& source, std::int64_t audioStart) {
    constexpr std::int64_t kLargestFrame = 2881 + 4096;
    const std::int64_t from = std::max<std::int64_t>(0, audioStart - kLargestFrame);
    const auto bytes = readHeld(source, from, audioStart - from);
    for (std::size_t at = bytes.size(); at-- > 0;) {
        if (at + 8 > bytes.size()) continue;
        if (std::memcmp(&bytes[at], "Xing", 4) != 0 && std::memcmp(&bytes[at], "Info", 4) != 0) continue;
        const std::uint32_t flags = (std::uint32_t{bytes[at + 4]} << 24) | (std::uint32_t{bytes[at + 5]} << 16) |
                                    (std::uint32_t{bytes[at + 6]} << 8) | bytes[at + 7];
        std::size_t encoder = at + 8;
        if (flags & 1) encoder += 4;    // frames
        if (flags & 2) encoder += 4;    // bytes
        if (flags & 4) encoder += 100;  // table of contents
        if (flags & 8) encoder += 4;    // quality
        if (encoder + 24 > bytes.size()) continue;
        const auto* name = &bytes[encoder];
        if (std::memcmp(name, "LAME", 4) != 0 && std::memcmp(name, "Lavc", 4) != 0 && std::memcmp(name, "Lavf", 4) != 0)
            continue;
        const std::int64_t delay = (std::int64_t{bytes[encoder + 21]} << 4) | (bytes[encoder + 22] >> 4);
        const std::int64_t padding = (std::int64_t{bytes[encoder + 22] & 0x0F} << 8) | bytes[encoder + 23];
        return delay + padding;
    }
    return std::nullopt;
}

// The last whole Ogg page among the bytes before `end`: where it ends and its
// granule position (the samples decoded by its end, pre-skip included).
struct OggPage {
    std::int64_t end = 0;
    std::int64_t granule = 0;
};
std::optional<OggPage> lastWholeOggPage(ByteSource& source, std::int64_t end) {
    constexpr std::int64_t kLargestPage = 27 + 255 + 255 * 255;
    const std::int64_t from = std::max<std::int64_t>(0, end - 2 * kLargestPage);
    const auto bytes = readHeld(source, from, end - from);
    for (std::size_t at = bytes.size() >= 27 ? bytes.size() - 27 + 1 : 0; at-- > 0;) {
        if (std::memcmp(&bytes[at], "OggS", 4) != 0) continue;
        const std::size_t segments = bytes[at + 26];
        if (at + 27 + segments > bytes.size()) continue;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i) body += bytes[at + 27 + i];
        const std::size_t pageEnd = at + 27 + segments + body;
        if (pageEnd > bytes.size()) continue;
        std::uint64_t granule = 0;
        for (int i = 7; i >= 0; --i) granule = (granule << 8) | bytes[at + 6 + static_cast<std::size_t>(i)];
        if (granule == ~std::uint64_t{0}) continue;  // no packet ends on this page
        if (granule > (std::uint64_t{1} << 62)) return std::nullopt;
        return OggPage{from + static_cast<std::int64_t>(pageEnd), static_cast<std::int64_t>(granule)};
    }
    return std::nullopt;
}

// The samples of audio an M4A's iTunSMPB tag states (the encoder's priming
// and remainder left out): " 00000000 <priming> <remainder> <samples> ...".
std::optional<std::int64_t> itunesSampleCount(const AVFormatContext* format, const AVStream* stream) {
    const AVDictionaryEntry* entry = av_dict_get(format->metadata, "iTunSMPB", nullptr, 0);
    if (!entry) entry = av_dict_get(stream->metadata, "iTunSMPB", nullptr, 0);
    if (!entry || !entry->value) return std::nullopt;
    unsigned priming = 0;
    unsigned remainder = 0;
    unsigned long long samples = 0;
    if (std::sscanf(entry->value, " %*x %x %x %llx", &priming, &remainder, &samples) != 3) return std::nullopt;
    if (samples == 0 || samples > (1ULL << 48)) return std::nullopt;
    return static_cast<std::int64_t>(samples);
}

// Why the stream's parameters cannot be those of an audio file, or nothing
// when they can. `complete`: every parameter must be known (after the stream
// information was read); otherwise only those already known are checked.
std::optional<std::string> implausibleStream(const AVFormatContext* format, const AVStream* stream, bool complete) {
    const AVCodecParameters* p = stream->codecpar;
    if (p->sample_rate != 0 || complete) {
        if (p->sample_rate < kLowestSampleRate || p->sample_rate > kHighestSampleRate)
            return "a sample rate of " + std::to_string(p->sample_rate) + " Hz";
    }
    if (p->ch_layout.nb_channels != 0 || complete) {
        if (p->ch_layout.nb_channels < 1 || p->ch_layout.nb_channels > kMostChannels)
            return std::to_string(p->ch_layout.nb_channels) + " channels";
    }
    if (p->frame_size < 0 || p->frame_size > kLargestFrameSamples)
        return "frames of " + std::to_string(p->frame_size) + " samples";
    if (p->block_align < 0 || p->block_align > kLargestBlockAlign)
        return "blocks of " + std::to_string(p->block_align) + " bytes";
    double seconds = 0;
    if (format->duration != AV_NOPTS_VALUE) seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    if (stream->duration != AV_NOPTS_VALUE && stream->time_base.num > 0 && stream->time_base.den > 0)
        seconds = std::max(seconds, static_cast<double>(stream->duration) * av_q2d(stream->time_base));
    if (seconds < 0 || seconds > kLongestSeconds) return "a duration of " + std::to_string(seconds) + " s";
    return std::nullopt;
}

// Bytes held in memory, with the length of the resource when known.
class SpanSource final : public ByteSource {
public:
    SpanSource(std::span<const std::uint8_t> bytes, std::optional<std::int64_t> total) : bytes_(bytes), total_(total) {}
    std::int64_t read(std::int64_t offset, std::uint8_t* into, std::int64_t count) override {
        const auto held = static_cast<std::int64_t>(bytes_.size());
        if (offset < 0) return -1;
        if (offset >= held) return total_ && offset >= *total_ ? 0 : -1;
        const std::int64_t n = std::min(count, held - offset);
        std::memcpy(into, bytes_.data() + offset, static_cast<std::size_t>(n));
        return n;
    }
    std::optional<std::int64_t> length() const override { return total_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::optional<std::int64_t> total_;
};

}  // namespace

// ---- the libraries' objects of one reading ----

struct AudioDecoder::Context {
    std::shared_ptr<ByteSource> source;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;

    // Where the next read of the source starts.
    std::int64_t position = 0;
    // Set by a seek that moved the position; cleared by a read.
    bool jumped = false;
    // While opening, a jump near the end of the resource onto missing bytes
    // reads as the end.
    bool opening = true;
    // The first read of missing bytes since the open or the last seek.
    std::optional<std::int64_t> missingAt;
    std::optional<std::int64_t> tailMissedAt;
    // `packet` holds a packet read but not yet given to the decoder.
    bool pendingPacket = false;
    // Reads of missing bytes wait for them (a count that follows arriving
    // bytes) instead of stopping the reading.
    bool waits = false;
    // A read reached the end of the resource.
    bool reachedEnd = false;

    ~Context() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }

    static int readPacket(void* opaque, std::uint8_t* buffer, int size) {
        auto* self = static_cast<Context*>(opaque);
        for (;;) {
            const std::int64_t n = self->source->read(self->position, buffer, size);
            if (n > 0) {
                self->position += n;
                self->jumped = false;
                if (const auto length = self->source->length(); length && self->position >= *length)
                    self->reachedEnd = true;
                return static_cast<int>(n);
            }
            if (n == 0) {
                self->reachedEnd = true;
                return AVERROR_EOF;
            }
            if (self->opening && self->jumped) {
                // What the open looks for at the end of the resource (trailing
                // tags, the last page) is not waited for.
                const auto length = self->source->length();
                if (length && self->position >= *length - kTailBytes) {
                    if (!self->tailMissedAt) self->tailMissedAt = self->position;
                    return AVERROR_EOF;
                }
            }
            if (self->waits && self->source->waitFor(self->position)) continue;
            if (!self->missingAt) self->missingAt = self->position;
            return AVERROR_EXIT;
        }
    }

    static std::int64_t seek(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<Context*>(opaque);
        const auto length = self->source->length();
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE) return length ? *length : AVERROR(ENOSYS);
        std::int64_t target = 0;
        if (whence == SEEK_SET) {
            target = offset;
        } else if (whence == SEEK_CUR) {
            target = self->position + offset;
        } else if (whence == SEEK_END && length) {
            target = *length + offset;
        } else {
            return AVERROR(ENOSYS);
        }
        if (target < 0) return AVERROR(EINVAL);
        if (target != self->position) self->jumped = true;
        self->position = target;
        return target;
    }

    bool makeIO() {
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIOBufferSize));
        if (!buffer) return false;
        io = avio_alloc_context(buffer, kIOBufferSize, 0, this, &Context::readPacket, nullptr, &Context::seek);
        if (!io) {
            av_free(buffer);
            return false;
        }
        format = avformat_alloc_context();
        if (!format) return false;
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        return true;
    }

    // Finds the container and opens it over our reading only: a container we
    // do not play is refused (and named in `refused`) before it is opened.
    int openInput(std::string& refused) {
        const AVInputFormat* container = nullptr;
        if (int r = av_probe_input_buffer2(io, &container, "", nullptr, 0, 0); r < 0) return r;
        if (av_match_list(container->name, kAudioContainers, ',') <= 0) {
            refused = container->name;
            return AVERROR_INVALIDDATA;
        }
        format->io_open = &refuseNestedOpen;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "format_whitelist", kAudioContainers, 0);
        av_dict_set(&options, "protocol_whitelist", kNoProtocol, 0);
        av_dict_set(&options, "enable_drefs", "0", 0);  // a movie's external data stays unread
        const int r = avformat_open_input(&format, nullptr, container, &options);
        av_dict_free(&options);
        if (r < 0) format = nullptr;  // freed by the failed open
        return r;
    }

    std::optional<std::int64_t> neededOffset() const {
        if (missingAt && tailMissedAt) return std::min(*missingAt, *tailMissedAt);
        if (missingAt) return missingAt;
        return tailMissedAt;
    }
};

// ---- opening ----

AudioDecoder::AudioDecoder(std::unique_ptr<Context> context) : context_(std::move(context)) {}
AudioDecoder::~AudioDecoder() = default;

DecoderOpenResult AudioDecoder::open(std::shared_ptr<ByteSource> source) {
    quietLibraries();
    auto context = std::make_unique<Context>();
    context->source = std::move(source);
    auto& c = *context;
    if (!c.makeIO()) return ProbeFailure{"out of memory"};

    auto failed = [&](std::string reason) -> DecoderOpenResult {
        if (auto offset = c.neededOffset()) return ProbeNeedsMoreData{*offset};
        return ProbeFailure{std::move(reason)};
    };

    std::string refused;
    if (int r = c.openInput(refused); r < 0) {
        if (!refused.empty()) {
            core::debugPrint("AudioDecoder: refused a resource in the " + refused + " format: not audio");
            return ProbeFailure{"not an audio file (" + refused + " is not a container of audio)"};
        }
        return failed("not an audio file (" + errorText(r) + ")");
    }
    // Nothing is prepared for a stream no audio file holds (the item's
    // failure says why): checked on what the container's header states,
    // before the stream information is read (which opens decoders), and
    // again on what that reading found.
    auto implausible = [&](bool complete) -> std::optional<std::string> {
        for (unsigned i = 0; i < c.format->nb_streams; ++i) {
            const AVStream* s = c.format->streams[i];
            if (s->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
            if (complete && static_cast<int>(i) != c.stream) continue;
            if (auto why = implausibleStream(c.format, s, complete))
                return "not what an audio file holds (" + *why + ")";
        }
        return std::nullopt;
    };
    if (auto why = implausible(false)) return ProbeFailure{std::move(*why)};
    if (int r = avformat_find_stream_info(c.format, nullptr); r < 0) return failed("unreadable stream (" + errorText(r) + ")");
    const AVCodec* decoder = nullptr;
    c.stream = av_find_best_stream(c.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (c.stream < 0 || !decoder) return failed("no audio stream that can be decoded");
    if (auto why = implausible(true)) return ProbeFailure{std::move(*why)};
    AVStream* stream = c.format->streams[c.stream];
    for (unsigned i = 0; i < c.format->nb_streams; ++i) {
        if (static_cast<int>(i) != c.stream) c.format->streams[i]->discard = AVDISCARD_ALL;
    }

    c.codec = avcodec_alloc_context3(decoder);
    if (!c.codec) return ProbeFailure{"out of memory"};
    if (avcodec_parameters_to_context(c.codec, stream->codecpar) < 0) return ProbeFailure{"unusable codec parameters"};
    c.codec->pkt_timebase = stream->time_base;
    if (int r = avcodec_open2(c.codec, decoder, nullptr); r < 0) return failed("the decoder refused the stream (" + errorText(r) + ")");
    if (c.codec->sample_rate <= 0 || c.codec->ch_layout.nb_channels <= 0)
        return failed("audio stream without a sample rate or channels");
    // What the decoder made of the stream (a rate doubled by SBR, a layout
    // from the codec's own header) is held to the same limits.
    if (c.codec->sample_rate < kLowestSampleRate || c.codec->sample_rate > kHighestSampleRate ||
        c.codec->ch_layout.nb_channels > kMostChannels) {
        return ProbeFailure{"not what an audio file holds (" + std::to_string(c.codec->sample_rate) + " Hz, " +
                            std::to_string(c.codec->ch_layout.nb_channels) + " channels)"};
    }

    AVChannelLayout inLayout{};
    if (c.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&inLayout, c.codec->ch_layout.nb_channels);
    } else if (av_channel_layout_copy(&inLayout, &c.codec->ch_layout) < 0) {
        return ProbeFailure{"out of memory"};
    }
    AVChannelLayout outLayout = AV_CHANNEL_LAYOUT_STEREO;
    const int swrResult = swr_alloc_set_opts2(&c.swr, &outLayout, AV_SAMPLE_FMT_S16, kOutputSampleRate, &inLayout,
                                              c.codec->sample_fmt, c.codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    if (swrResult < 0 || swr_init(c.swr) < 0) return ProbeFailure{"no resampler for the stream's format"};

    c.packet = av_packet_alloc();
    c.frame = av_frame_alloc();
    if (!c.packet || !c.frame) return ProbeFailure{"out of memory"};

    // The first packet tells where the payload starts; it is decoded first.
    for (;;) {
        const int r = av_read_frame(c.format, c.packet);
        if (r < 0) {
            if (c.missingAt) return ProbeNeedsMoreData{*c.missingAt};
            return failed("audio stream without a packet");
        }
        if (c.packet->stream_index == c.stream) break;
        av_packet_unref(c.packet);
    }
    c.pendingPacket = true;
    // Reading ahead for the stream's parameters ran into bytes that had not
    // arrived: the reading is stuck there, so decoding starts with a seek to
    // where it is asked to start, which reads what has arrived by then.
    const bool readPastHeldBytes = c.missingAt.has_value();

    MediaInfo info;
    info.format = c.format->iformat->name;
    info.codec = decoder->name;
    info.sampleRate = c.codec->sample_rate;
    info.channels = c.codec->ch_layout.nb_channels;
    info.dataStart = std::max<std::int64_t>(0, c.packet->pos);
    info.dataEnd = c.source->length();
    if (c.format->duration != AV_NOPTS_VALUE && c.format->duration > 0) {
        info.duration = MediaTime::make(c.format->duration, AV_TIME_BASE);
        info.durationIsEstimate = c.format->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE;
    } else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0 && stream->time_base.num > 0) {
        info.duration = MediaTime::makeWithSeconds(static_cast<double>(stream->duration) * av_q2d(stream->time_base),
                                                   1'000'000);
    }
    if (c.packet->duration > 0 && stream->time_base.num > 0) {
        info.frameSeconds = static_cast<double>(c.packet->duration) * av_q2d(stream->time_base);
    } else if (stream->codecpar->frame_size > 0) {
        info.frameSeconds = static_cast<double>(stream->codecpar->frame_size) / info.sampleRate;
    }
    if (!info.duration.isIndefinite() && !info.durationIsEstimate) {
        // What the decoder drops is not heard: the length the listener hears
        // leaves the encoder's delay and padding out.
        double seconds = info.duration.seconds();
        if (info.format == "mp3") {
            if (auto trimmed = mp3DelayAndPadding(*c.source, info.dataStart))
                seconds -= static_cast<double>(*trimmed) / info.sampleRate;
        } else if (info.format == "ogg") {
            // The last granule position counts the pre-skip.
            seconds -= static_cast<double>(std::max(0, stream->codecpar->initial_padding)) / info.sampleRate;
            // Read from the last page the open could see: the end only when
            // the reading reached the end of the resource; else the time of
            // the last whole page held at the seconds per byte up to it.
            if (!c.reachedEnd) {
                info.durationIsEstimate = true;
                const auto page = c.missingAt && info.dataEnd ? lastWholeOggPage(*c.source, *c.missingAt) : std::nullopt;
                if (page && page->end > info.dataStart && *info.dataEnd > page->end) {
                    const double pageSeconds =
                        static_cast<double>(page->granule - std::max(0, stream->codecpar->initial_padding)) /
                        info.sampleRate;
                    seconds = pageSeconds * static_cast<double>(*info.dataEnd - info.dataStart) /
                              static_cast<double>(page->end - info.dataStart);
                }
            }
        } else if (info.format.starts_with("mov")) {
            if (auto samples = itunesSampleCount(c.format, stream))
                seconds = static_cast<double>(*samples) / info.sampleRate;
        }
        if (seconds > 0) info.duration = MediaTime::makeWithSeconds(seconds, 1'000'000);
    }
    if (info.dataEnd && !info.duration.isIndefinite() && info.duration.seconds() > 0 && *info.dataEnd > info.dataStart) {
        info.bitRate = static_cast<double>(*info.dataEnd - info.dataStart) * 8.0 / info.duration.seconds();
    } else if (stream->codecpar->bit_rate > 0) {
        info.bitRate = static_cast<double>(stream->codecpar->bit_rate);
    } else if (c.format->bit_rate > 0) {
        info.bitRate = static_cast<double>(c.format->bit_rate);
    } else if (c.packet->duration > 0 && c.packet->size > 0 && stream->time_base.num > 0) {
        info.bitRate = c.packet->size * 8.0 / (static_cast<double>(c.packet->duration) * av_q2d(stream->time_base));
        info.bitRateIsGuess = true;
    }
    c.opening = false;
    auto decoderObject = std::unique_ptr<AudioDecoder>(new AudioDecoder(std::move(context)));
    decoderObject->info_ = std::move(info);
    decoderObject->needsResync_ = readPastHeldBytes;
    return decoderObject;
}

// ---- counting ----

std::optional<PacketCount> countPackets(std::shared_ptr<ByteSource> source,
                                        const std::function<void(const PacketCount&)>& progress) {
    quietLibraries();
    auto context = std::make_unique<AudioDecoder::Context>();
    context->source = std::move(source);
    context->waits = true;
    auto& c = *context;
    if (!c.makeIO()) return std::nullopt;
    if (std::string refused; c.openInput(refused) < 0) return std::nullopt;
    // Only what the count needs of the stream's information is read: the
    // full reading reads (and waits for) seconds of packets before the
    // first is counted, while the count is what tells how far the bytes
    // held play.
    c.format->max_analyze_duration = kCountAnalyzeMicroseconds;
    if (avformat_find_stream_info(c.format, nullptr) < 0) return std::nullopt;
    if (c.stream = av_find_best_stream(c.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0); c.stream < 0)
        return std::nullopt;
    c.opening = false;
    const AVStream* stream = c.format->streams[c.stream];
    const AVRational timeBase = stream->time_base;
    const int rate = stream->codecpar->sample_rate;
    if (timeBase.num <= 0 || rate <= 0) return std::nullopt;
    // An Ogg stream's timestamps come from its granule positions, which end
    // where the audio ends: the padding the last packet marks is already off.
    const bool timestampsEndTheAudio = std::strcmp(c.format->iformat->name, "ogg") == 0;
    c.packet = av_packet_alloc();
    if (!c.packet) return std::nullopt;

    std::int64_t first = AV_NOPTS_VALUE;
    std::int64_t end = AV_NOPTS_VALUE;
    std::int64_t summed = 0;
    // Samples the decoder drops: the encoder's delay at the start, its
    // padding at the end.
    std::int64_t startSkip = 0;
    std::int64_t endSkip = 0;
    PacketCount count;
    auto seconds = [&] {
        const std::int64_t ticks = first != AV_NOPTS_VALUE && end != AV_NOPTS_VALUE ? end - first : summed;
        const std::int64_t dropped = startSkip + (timestampsEndTheAudio ? 0 : endSkip);
        return std::max(0.0, static_cast<double>(ticks) * av_q2d(timeBase) - static_cast<double>(dropped) / rate);
    };
    int errors = 0;
    for (;;) {
        const int r = av_read_frame(c.format, c.packet);
        if (r < 0) {
            if (c.missingAt || r == AVERROR_EOF || avio_feof(c.format->pb) || ++errors > kMaxConsecutiveErrors) break;
            continue;
        }
        errors = 0;
        if (c.packet->stream_index == c.stream) {
            // The packets before this one are the audio of the bytes before
            // it (an Ogg page's packets share the page's position, so the
            // count moves a whole page at a time).
            const double before = seconds();
            if (c.packet->pos > count.bytes) {
                count.bytes = c.packet->pos;
                count.seconds = before;
            }
            count.readSeconds = before;
            if (progress) progress(count);
            const std::int64_t duration = std::max<std::int64_t>(0, c.packet->duration);
            summed += duration;
            if (c.packet->pts != AV_NOPTS_VALUE) {
                if (first == AV_NOPTS_VALUE || c.packet->pts < first) first = c.packet->pts;
                if (end == AV_NOPTS_VALUE || c.packet->pts + duration > end) end = c.packet->pts + duration;
            }
            std::size_t size = 0;
            if (const auto* skip = av_packet_get_side_data(c.packet, AV_PKT_DATA_SKIP_SAMPLES, &size); skip && size >= 8) {
                std::uint32_t atStart = 0;
                std::uint32_t atEnd = 0;
                std::memcpy(&atStart, skip, 4);
                std::memcpy(&atEnd, skip + 4, 4);
                startSkip += atStart;
                endSkip += atEnd;
            }
        }
        av_packet_unref(c.packet);
    }
    if (c.missingAt) return std::nullopt;
    count.seconds = seconds();
    count.readSeconds = count.seconds;
    if (const auto length = c.source->length()) count.bytes = std::max(count.bytes, *length);
    if (!(count.seconds > 0)) return std::nullopt;
    count.complete = true;
    if (progress) progress(count);
    return count;
}

std::optional<double> AudioDecoder::countDuration() const {
    const auto count = countPackets(context_->source);
    if (!count) return std::nullopt;
    return count->seconds;
}

const std::shared_ptr<ByteSource>& AudioDecoder::source() const { return context_->source; }

// ---- decoding ----

void AudioDecoder::appendFrame() {
    auto& c = *context_;
    if (alignToNextFrame_) {
        alignToNextFrame_ = false;
        const std::int64_t pts = c.frame->best_effort_timestamp;
        const AVStream* stream = c.format->streams[c.stream];
        if (pts != AV_NOPTS_VALUE && fifo_.empty()) {
            const std::int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
            fifoStart_ = av_rescale_q(pts - start, stream->time_base, AVRational{1, kOutputSampleRate});
        }
    }
    const int capacity = swr_get_out_samples(c.swr, c.frame->nb_samples);
    if (capacity <= 0) return;
    const std::size_t old = fifo_.size();
    fifo_.resize(old + static_cast<std::size_t>(capacity) * kOutputChannels);
    auto* out = reinterpret_cast<std::uint8_t*>(fifo_.data() + old);
    const int got = swr_convert(c.swr, &out, capacity, const_cast<const std::uint8_t**>(c.frame->extended_data),
                                c.frame->nb_samples);
    fifo_.resize(old + static_cast<std::size_t>(std::max(0, got)) * kOutputChannels);
}

AudioDecoder::Step AudioDecoder::decodeNext() {
    auto& c = *context_;
    for (;;) {
        const int received = avcodec_receive_frame(c.codec, c.frame);
        if (received == 0) {
            appendFrame();
            av_frame_unref(c.frame);
            consecutiveErrors_ = 0;
            return Step::decoded;
        }
        if (received == AVERROR_EOF) {
            // What the resampler still holds ends the audio.
            const int capacity = swr_get_out_samples(c.swr, 0);
            if (capacity > 0) {
                const std::size_t old = fifo_.size();
                fifo_.resize(old + static_cast<std::size_t>(capacity) * kOutputChannels);
                auto* out = reinterpret_cast<std::uint8_t*>(fifo_.data() + old);
                const int got = swr_convert(c.swr, &out, capacity, nullptr, 0);
                fifo_.resize(old + static_cast<std::size_t>(std::max(0, got)) * kOutputChannels);
            }
            return Step::endOfStream;
        }
        if (received != AVERROR(EAGAIN)) {
            ++decodeErrors_;
            if (++consecutiveErrors_ > kMaxConsecutiveErrors) {
                failure_ = "the decoder failed (" + errorText(received) + ")";
                return Step::failed;
            }
        }
        if (!c.pendingPacket) {
            // A read of missing bytes leaves the reading stuck (it stays so
            // until the next seek), whatever the demuxer makes of it.
            if (c.missingAt) return Step::missing;
            const int r = av_read_frame(c.format, c.packet);
            if (r < 0) {
                if (c.missingAt) return Step::missing;
                if (r == AVERROR_EOF || avio_feof(c.format->pb)) {
                    avcodec_send_packet(c.codec, nullptr);  // drain
                    continue;
                }
                ++decodeErrors_;
                if (++consecutiveErrors_ > kMaxConsecutiveErrors) {
                    failure_ = "the stream cannot be read (" + errorText(r) + ")";
                    return Step::failed;
                }
                continue;
            }
        }
        c.pendingPacket = false;
        if (c.packet->stream_index != c.stream) {
            av_packet_unref(c.packet);
            continue;
        }
        const int sent = avcodec_send_packet(c.codec, c.packet);
        av_packet_unref(c.packet);
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_EOF) {
            ++decodeErrors_;
            if (++consecutiveErrors_ > kMaxConsecutiveErrors) {
                failure_ = "the decoder failed (" + errorText(sent) + ")";
                return Step::failed;
            }
        }
    }
}

void AudioDecoder::seekTo(std::int64_t frame) {
    auto& c = *context_;
    if (c.pendingPacket) av_packet_unref(c.packet);
    c.pendingPacket = false;
    c.missingAt.reset();
    c.format->pb->error = 0;
    c.format->pb->eof_reached = 0;
    const AVStream* stream = c.format->streams[c.stream];
    std::int64_t target = av_rescale_q(frame, AVRational{1, kOutputSampleRate}, stream->time_base);
    if (stream->start_time != AV_NOPTS_VALUE) target += stream->start_time;
    if (avformat_seek_file(c.format, c.stream, std::numeric_limits<std::int64_t>::min(), target, target, 0) < 0)
        av_seek_frame(c.format, c.stream, target, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(c.codec);
    swr_close(c.swr);
    swr_init(c.swr);
    fifo_.clear();
    fifoStart_ = frame;
    alignToNextFrame_ = true;
    endOfStream_ = false;
    nextFrame_ = frame;
}

AudioDecoder::Rendered AudioDecoder::render(std::int64_t start, std::int64_t count, std::vector<std::int16_t>& out) {
    Rendered result;
    if (failure_) {
        result.failure = failure_;
        return result;
    }
    if (count <= 0) return result;
    // A position reckoned in seconds may round to a neighbouring sample: a
    // start that close to where decoding stands goes on from there, as a seek
    // in a compressed stream lands only near its target.
    if (!needsResync_ && std::abs(start - nextFrame_) <= kContinuityFrames) start = nextFrame_;
    if (needsResync_ || start != nextFrame_) seekTo(start);
    needsResync_ = false;
    auto held = [this] { return static_cast<std::int64_t>(fifo_.size() / kOutputChannels); };
    while (!endOfStream_ && fifoStart_ + held() < start + count) {
        const Step step = decodeNext();
        if (step == Step::missing) {
            result.missingAt = context_->missingAt;
            needsResync_ = true;
            break;
        }
        if (step == Step::failed) {
            result.failure = failure_;
            return result;
        }
        if (step == Step::endOfStream) endOfStream_ = true;
    }
    // Line the decoded frames up with `start`: silence for a gap before the
    // first decoded frame, nothing of what lies before `start`.
    if (fifoStart_ > start && held() > 0) {
        const std::int64_t gap = std::min(fifoStart_ - start, count);
        fifo_.insert(fifo_.begin(), static_cast<std::size_t>(gap) * kOutputChannels, 0);
        fifoStart_ -= gap;
    }
    if (fifoStart_ < start) {
        const std::int64_t drop = std::min(start - fifoStart_, held());
        fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(drop * kOutputChannels));
        fifoStart_ += drop;
    }
    std::int64_t n = 0;
    if (fifoStart_ == start) {
        n = std::min(count, held());
        out.insert(out.end(), fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(n * kOutputChannels));
        fifo_.erase(fifo_.begin(), fifo_.begin() + static_cast<std::ptrdiff_t>(n * kOutputChannels));
        fifoStart_ += n;
    }
    nextFrame_ = start + n;
    result.frames = n;
    result.ended = endOfStream_ && n < count && !result.missingAt;
    return result;
}

// ---- probing bytes in memory ----

std::int64_t MediaInfo::byteOffsetForSeconds(double seconds) const {
    if (!(bitRate > 0)) return dataEnd.value_or(dataStart);
    const double bytes = std::max(0.0, seconds) * bitRate / 8.0;
    std::int64_t offset = dataStart + static_cast<std::int64_t>(std::min(std::ceil(bytes), 9.0e18));
    if (dataEnd) offset = std::min(offset, *dataEnd);
    return offset;
}

double MediaInfo::secondsForByteOffset(std::int64_t offset) const {
    const double total = duration.isIndefinite() ? std::numeric_limits<double>::infinity() : duration.seconds();
    if (dataEnd && offset >= *dataEnd) return total;
    if (offset <= dataStart || !(bitRate > 0)) return 0;
    return std::min(static_cast<double>(offset - dataStart) * 8.0 / bitRate, total);
}

bool MediaInfo::applyCountedDuration(std::optional<double> counted) {
    if (!counted || !(*counted > 0)) return false;
    const bool better = duration.isIndefinite() || durationIsEstimate ||
                        std::abs(*counted - duration.seconds()) > std::max(frameSeconds, 1e-6);
    if (!better) return false;
    duration = MediaTime::makeWithSeconds(*counted, 1'000'000);
    durationIsEstimate = false;
    if (dataEnd && *dataEnd > dataStart) {
        bitRate = static_cast<double>(*dataEnd - dataStart) * 8.0 / *counted;
        bitRateIsGuess = false;
    }
    return true;
}

ProbeResult probeMedia(std::span<const std::uint8_t> prefix, std::optional<std::int64_t> totalLength) {
    if (totalLength && *totalLength < 0) totalLength.reset();
    if (totalLength && static_cast<std::int64_t>(prefix.size()) > *totalLength)
        prefix = prefix.first(static_cast<std::size_t>(*totalLength));
    const bool complete = totalLength && static_cast<std::int64_t>(prefix.size()) == *totalLength;
    if (complete && prefix.empty()) return ProbeFailure{"empty resource"};
    auto opened = AudioDecoder::open(std::make_shared<SpanSource>(prefix, totalLength));
    if (auto* more = std::get_if<ProbeNeedsMoreData>(&opened)) {
        if (complete) return ProbeFailure{"the file ends before its audio can be read"};
        return *more;
    }
    if (auto* failure = std::get_if<ProbeFailure>(&opened)) return *failure;
    auto& decoder = std::get<std::unique_ptr<AudioDecoder>>(opened);
    MediaInfo info = decoder->info();
    if (complete) info.applyCountedDuration(decoder->countDuration());
    return info;
}

bool isPlayableAudio(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return false;
    auto source = std::make_shared<SpanSource>(bytes, static_cast<std::int64_t>(bytes.size()));
    return std::holds_alternative<std::unique_ptr<AudioDecoder>>(AudioDecoder::open(std::move(source)));
}

}  // namespace platform::media
