#include "platform/media/AudioOutput.hpp"

#include <pulse/error.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/media/MediaDecoder.hpp"

namespace platform::media {

namespace {

class TimeKeepingOutput final : public AudioOutput {
public:
    std::string name() const override { return "time"; }

protected:
    void play(std::span<const std::int16_t>) override {}
};

class WavFileOutput final : public AudioOutput {
public:
    explicit WavFileOutput(std::FILE* file) : file_(file) { writeHeader(); }
    ~WavFileOutput() override { std::fclose(file_); }
    std::string name() const override { return "wav"; }

protected:
    void play(std::span<const std::int16_t> samples) override {
        std::fseek(file_, 0, SEEK_END);
        std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), file_);
        dataBytes_ += static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
        writeHeader();
    }

private:
    void writeHeader() {
        std::array<std::uint8_t, 44> h{};
        auto put32 = [&h](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i) h[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        auto put16 = [&h](std::size_t at, std::uint16_t v) {
            h[at] = static_cast<std::uint8_t>(v);
            h[at + 1] = static_cast<std::uint8_t>(v >> 8);
        };
        auto tag = [&h](std::size_t at, const char* t) {
            for (std::size_t i = 0; i < 4; ++i) h[at + i] = static_cast<std::uint8_t>(t[i]);
        };
        const std::uint16_t blockAlign = kOutputChannels * 2;
        tag(0, "RIFF");
        put32(4, 36 + dataBytes_);
        tag(8, "WAVE");
        tag(12, "fmt ");
        put32(16, 16);
        put16(20, 1);
        put16(22, kOutputChannels);
        put32(24, kOutputSampleRate);
        put32(28, kOutputSampleRate * blockAlign);
        put16(32, blockAlign);
        put16(34, 16);
        tag(36, "data");
        put32(40, dataBytes_);
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(h.data(), 1, h.size(), file_);
        std::fflush(file_);
    }

    std::FILE* file_;
    std::uint32_t dataBytes_ = 0;
};

// Plays through the sound server's asynchronous API: the client library's
// own thread runs the connection, and the stream pulls audio from there.
// What players write waits in a queue of the output's own until the stream
// asks for it, so neither a write nor what is heard waits for the main
// thread, as long as the players keep some audio queued ahead. What has been
// heard is reckoned from what the server says of the stream. Pause corks the
// stream (the server stops at once) and counts what was not heard, so that
// the player goes on from there; a flush drops what is left. Opening never
// waits for the server: the output is heard once the server answers. When the
// server goes away, or does not answer within kAnswerSeconds of opening, one
// debug line says so, the output counts what it held as not heard (as on a
// pause: the players it tells go on from what was heard once it answers
// again), and connects again every kRetrySeconds.
class PulseAudioOutput final : public AudioOutput {
public:
    // What the server buffers for the stream, and what it waits for before
    // it starts. The stream asks for more each kRequestSeconds, which is
    // also what the sink keeps ahead of what is heard (early requests), so
    // a cork stops the sound promptly.
    static constexpr double kBufferSeconds = 0.25;
    static constexpr double kStartSeconds = 0.05;
    static constexpr double kRequestSeconds = 0.02;
    // What the queue holds at most; the oldest goes first past it.
    static constexpr std::size_t kMaxQueuedSamples = 5 * kOutputSampleRate * kOutputChannels;
    // How long a server that has been reached may take to answer before the
    // output says it does not, and the pause between reconnections.
    static constexpr double kAnswerSeconds = 0.5;
    static constexpr double kRetrySeconds = 0.25;
    // How long the position waits for the server to say what it played
    // before a pause, when asked right after it.
    static constexpr double kPauseWaitSeconds = 0.1;
    static constexpr std::size_t kFrameBytes = kOutputChannels * sizeof(std::int16_t);

    PulseAudioOutput() : AudioOutput(Connecting{}) {}
    ~PulseAudioOutput() override { close(); }
    std::string name() const override { return "pulseaudio"; }
    bool keepsItsOwnTime() const override { return true; }

    // Null with the reason when no server answers.
    static std::shared_ptr<AudioOutput> open(std::string& error) {
        auto output = std::make_shared<PulseAudioOutput>();
        if (!output->start(error)) return nullptr;
        return output;
    }

    std::int64_t framesPending() const override {
        pa_threaded_mainloop_lock(loop_);
        // Right after a pause, the server is about to say what it played.
        if (pausing_) waitFor(kPauseWaitSeconds, [this] { return flushesInFlight_ == 0; });
        const auto pending = ringFrames() + unheardAtPause_ + inServer();
        pa_threaded_mainloop_unlock(loop_);
        return pending;
    }

protected:
    void play(std::span<const std::int16_t> samples) override {
        pa_threaded_mainloop_lock(loop_);
        if (queued_.size() - readAt_ + samples.size() > kMaxQueuedSamples) {
            const std::size_t excess = queued_.size() - readAt_ + samples.size() - kMaxQueuedSamples;
            readAt_ += std::min(excess, queued_.size() - readAt_);
            if (samples.size() > kMaxQueuedSamples) samples = samples.last(kMaxQueuedSamples);
        }
        if (readAt_ > 0 && readAt_ >= queued_.size() / 2) {
            queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(readAt_));
            readAt_ = 0;
        }
        queued_.insert(queued_.end(), samples.begin(), samples.end());
        fill();
        pa_threaded_mainloop_unlock(loop_);
    }

    // The stream is corked: the server stops it at once, and drops what the
    // sink held of it. What was written and not heard then stays counted as
    // pending until the next flush, so that the player knows where to go on
    // from: the server says where the stream stood once corked (asked after
    // the cork, answered in order).
    void paused() override {
        pa_threaded_mainloop_lock(loop_);
        unheardAtPause_ += ringFrames();
        clearRing();
        if (streamReady()) {
            corked_ = true;
            ++flushesInFlight_;
            pausing_ = true;
            handedSinceFlush_ = 0;
            sent<&PulseAudioOutput::pauseAnswered>(
                pa_stream_cork(stream_, 1, askWhereItStands<&PulseAudioOutput::pauseAnswered>, this));
        }
        pa_threaded_mainloop_unlock(loop_);
    }

    void playedOut() override {
        pa_threaded_mainloop_lock(loop_);
        if (streamReady()) {
            fill();
            if (pa_operation* op = pa_stream_trigger(stream_, nullptr, nullptr)) pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(loop_);
    }

    void flushed() override {
        pa_threaded_mainloop_lock(loop_);
        clearRing();
        unheardAtPause_ = 0;
        if (streamReady()) {
            startFlush();
            if (corked_) {
                if (pa_operation* op = pa_stream_cork(stream_, 0, nullptr, nullptr)) pa_operation_unref(op);
            }
        }
        corked_ = false;
        pa_threaded_mainloop_unlock(loop_);
    }

private:
    // Starts the loop's thread and connects without waiting for an answer.
    // A server that is not there (no socket, nobody listening) is refused
    // within the connect call itself, so this fails at once; one that takes
    // the connection and hangs is a server that has not answered yet.
    bool start(std::string& error) {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
            error = "cannot start a main loop";
            return false;
        }
        api_ = pa_threaded_mainloop_get_api(loop_);
        pa_threaded_mainloop_lock(loop_);
        opening_ = true;
        connectContext();
        opening_ = false;
        const bool reached = failure_.empty();
        if (!reached) error = failure_;
        if (reached) {
            answerTimer_ = after(kAnswerSeconds, [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
                auto* output = static_cast<PulseAudioOutput*>(self);
                output->api_->time_free(output->answerTimer_);
                output->answerTimer_ = nullptr;
                if (!output->isAnswering()) output->lost("no answer");
            });
        }
        pa_threaded_mainloop_unlock(loop_);
        return reached;
    }

    // With the loop locked: waits for the loop's thread to signal until
    // `done`, for at most `seconds`.
    template <typename Done>
    void waitFor(double seconds, Done done) const {
        waitedLongEnough_ = false;
        pa_time_event* timer = after(seconds, [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            output->waitedLongEnough_ = true;
            pa_threaded_mainloop_signal(output->loop_, 0);
        });
        while (!done() && !waitedLongEnough_) pa_threaded_mainloop_wait(loop_);
        api_->time_free(timer);
    }

    // With the loop locked: a timer on the loop's thread in `seconds`.
    pa_time_event* after(double seconds, pa_time_event_cb_t callback) const {
        timeval when{};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, static_cast<pa_usec_t>(seconds * PA_USEC_PER_SEC));
        return api_->time_new(api_, &when, callback, const_cast<PulseAudioOutput*>(this));
    }

    std::int64_t ringFrames() const { return static_cast<std::int64_t>((queued_.size() - readAt_) / kOutputChannels); }
    void clearRing() {
        queued_.clear();
        readAt_ = 0;
    }

    // With the loop locked: frames handed to the stream and not heard yet.
    // While the stream plays, what was heard is its read index less what
    // the sink holds, as the server last said, plus the time since; once it
    // has stopped, its read index. Until the server has said where it stands after a flush,
    // nothing handed over since counts as heard.
    std::int64_t inServer() const {
        if (!streamReady()) return 0;
        if (flushesInFlight_ > 0) return handedSinceFlush_;
        const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
        if (!timing || timing->read_index_corrupt) return writeIndex_ - heardIndex_;
        std::int64_t heard = timing->read_index / static_cast<std::int64_t>(kFrameBytes);
        if (timing->playing) {
            // What the sink holds is not heard yet; since the server said
            // so, the stream has gone on playing.
            const double seconds = (static_cast<double>(timing->transport_usec) - static_cast<double>(timing->sink_usec) +
                                    static_cast<double>(pa_timeval_age(&timing->timestamp))) /
                                   PA_USEC_PER_SEC;
            heard += static_cast<std::int64_t>(seconds * kOutputSampleRate);
        }
        heardIndex_ = std::max(heardIndex_, std::min(heard, writeIndex_));
        return writeIndex_ - heardIndex_;
    }

    // On the loop's thread: what the stream had played when the cork
    // stopped it (its read index less what the sink held and dropped); the
    // rest of what was handed over is not heard.
    void pauseAnswered(bool answered) {
        if (flushesInFlight_ == 0 || !stream_) return;
        const pa_timing_info* timing = answered ? pa_stream_get_timing_info(stream_) : nullptr;
        std::int64_t heard = heardIndex_;
        if (timing && !timing->read_index_corrupt)
            heard = timing->read_index / static_cast<std::int64_t>(kFrameBytes) -
                    static_cast<std::int64_t>(timing->sink_usec * kOutputSampleRate / PA_USEC_PER_SEC);
        heard = std::max<std::int64_t>(0, std::min(heard, writeIndex_));
        unheardAtPause_ += writeIndex_ - heard;
        heardIndex_ = writeIndex_;
        if (--flushesInFlight_ == 0) pausing_ = false;
        pa_threaded_mainloop_signal(loop_, 0);
    }

    // With the loop locked: the server drops what the stream holds; once it
    // has, it says where its indices stand (asked after the flush, answered
    // in order), which is where the stream goes on from.
    void startFlush() {
        ++flushesInFlight_;
        handedSinceFlush_ = 0;
        sent<&PulseAudioOutput::flushDone>(
            pa_stream_flush(stream_, askWhereItStands<&PulseAudioOutput::flushDone>, this));
    }

    // An operation's callback: once the server has done it, asks where the
    // stream stands (answered in order), then tells `Answered`.
    template <void (PulseAudioOutput::*Answered)(bool)>
    static void askWhereItStands(pa_stream* stream, int, void* self) {
        sent<Answered>(static_cast<PulseAudioOutput*>(self),
                       pa_stream_update_timing_info(
                           stream,
                           [](pa_stream*, int success, void* self) {
                               (static_cast<PulseAudioOutput*>(self)->*Answered)(success != 0);
                           },
                           self));
    }
    // An operation sent, or `Answered` told at once that it could not be.
    template <void (PulseAudioOutput::*Answered)(bool)>
    static void sent(PulseAudioOutput* self, pa_operation* op) {
        if (op)
            pa_operation_unref(op);
        else
            (self->*Answered)(false);
    }
    template <void (PulseAudioOutput::*Answered)(bool)>
    void sent(pa_operation* op) {
        sent<Answered>(this, op);
    }

    // On the loop's thread (or with it locked).
    void flushDone(bool answered) {
        if (flushesInFlight_ == 0 || --flushesInFlight_ > 0) return;  // the last flush answers for all
        pausing_ = false;
        const pa_timing_info* timing = answered && stream_ ? pa_stream_get_timing_info(stream_) : nullptr;
        constexpr auto frameBytes = static_cast<std::int64_t>(kFrameBytes);
        // The stream stands still at its read index; writing goes on where
        // the flush left it.
        if (timing && !timing->read_index_corrupt && !timing->write_index_corrupt) {
            writeIndex_ = timing->write_index / frameBytes;
            heardIndex_ = std::min(timing->read_index / frameBytes, writeIndex_);
        } else {
            heardIndex_ = writeIndex_ - handedSinceFlush_;
        }
        pa_threaded_mainloop_signal(loop_, 0);
    }

    // With the loop locked.
    void connectContext() {
        context_ = pa_context_new(api_, "Orvane");
        if (!context_) {
            failed("cannot create a context");
            return;
        }
        pa_context_set_state_callback(
            context_, [](pa_context*, void* self) { static_cast<PulseAudioOutput*>(self)->contextChanged(); }, this);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
            failed(pa_strerror(pa_context_errno(context_)));
    }

    // On the loop's thread.
    void contextChanged() {
        switch (pa_context_get_state(context_)) {
            case PA_CONTEXT_READY:
                contextReady_ = true;
                openStream();
                break;
            case PA_CONTEXT_FAILED:
            case PA_CONTEXT_TERMINATED:
                failed(pa_strerror(pa_context_errno(context_)));
                break;
            default:
                break;
        }
        pa_threaded_mainloop_signal(loop_, 0);
    }

    // With the loop locked.
    void openStream() {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = kOutputSampleRate;
        spec.channels = kOutputChannels;
        stream_ = pa_stream_new(context_, "podcast", &spec, nullptr);
        if (!stream_) {
            failed(pa_strerror(pa_context_errno(context_)));
            return;
        }
        writeIndex_ = 0;
        heardIndex_ = 0;
        flushesInFlight_ = 0;
        pausing_ = false;
        pa_stream_set_state_callback(
            stream_, [](pa_stream*, void* self) { static_cast<PulseAudioOutput*>(self)->streamChanged(); }, this);
        pa_stream_set_write_callback(
            stream_, [](pa_stream*, std::size_t, void* self) { static_cast<PulseAudioOutput*>(self)->fill(); }, this);
        const auto bytes = [&spec](double seconds) {
            return static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(seconds * 1e6), &spec));
        };
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.tlength = bytes(kBufferSeconds);
        attributes.prebuf = bytes(kStartSeconds);
        attributes.minreq = bytes(kRequestSeconds);
        attributes.fragsize = static_cast<std::uint32_t>(-1);
        auto flags = PA_STREAM_EARLY_REQUESTS | PA_STREAM_AUTO_TIMING_UPDATE;
        if (corked_) flags |= PA_STREAM_START_CORKED;
        if (pa_stream_connect_playback(stream_, nullptr, &attributes, static_cast<pa_stream_flags_t>(flags), nullptr,
                                       nullptr) < 0)
            failed(pa_strerror(pa_context_errno(context_)));
    }

    // On the loop's thread.
    void streamChanged() {
        switch (pa_stream_get_state(stream_)) {
            case PA_STREAM_READY:
                if (reportedLoss_) {
                    core::debugPrint("Audio output: the sound server answers again");
                    reportedLoss_ = false;
                }
                fill();
                setAnswering(true);
                break;
            case PA_STREAM_FAILED:
            case PA_STREAM_TERMINATED:
                failed(pa_strerror(pa_context_errno(context_)));
                break;
            default:
                break;
        }
        pa_threaded_mainloop_signal(loop_, 0);
    }

    // With the loop locked: the connection or the stream failed. While
    // opening, opening fails with `reason`; afterwards the output is lost
    // and connects again.
    void failed(const std::string& reason) {
        contextReady_ = false;
        if (opening_) {
            if (failure_.empty()) failure_ = reason.empty() ? "failed" : reason;
            return;
        }
        lost(reason);
        if (retry_) return;
        retry_ = after(kRetrySeconds, [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            output->api_->time_free(output->retry_);
            output->retry_ = nullptr;
            output->disconnect();
            output->connectContext();
        });
    }

    // With the loop locked: the server is gone or does not answer. Said
    // once until it answers again. What the stream held and what waited for
    // it is not heard: it counts as pending, as after a pause, and nothing of
    // it plays on a new stream, which starts corked, until the players that
    // are told go on from what was heard (a flush).
    void lost(const std::string& reason) {
        if (!reportedLoss_) {
            core::debugPrint(std::string("Audio output: ") +
                             (isAnswering() ? "lost the sound server" : "the sound server does not answer") + " (" +
                             reason + "); connecting again");
            reportedLoss_ = true;
        }
        if (isAnswering()) {
            const bool flushing = flushesInFlight_ > 0 && !pausing_;
            unheardAtPause_ += ringFrames() + (flushing ? handedSinceFlush_ : writeIndex_ - heardIndex_);
            clearRing();
            corked_ = true;
            writeIndex_ = heardIndex_ = handedSinceFlush_ = 0;
            flushesInFlight_ = 0;
            pausing_ = false;
            // Whoever waits for an answer from the lost stream has it.
            pa_threaded_mainloop_signal(loop_, 0);
        }
        setAnswering(false);
    }

    bool streamReady() const { return stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY; }

    // With the loop locked: hands the stream as much of the queue as it asks
    // for. What the stream refuses stays queued (a failing stream reports
    // itself through its state).
    void fill() {
        if (!streamReady()) return;
        // What has been heard, kept up to date for when the stream is lost.
        inServer();
        const std::size_t writable = pa_stream_writable_size(stream_);
        if (writable == static_cast<std::size_t>(-1)) return;
        constexpr std::size_t frameBytes = kFrameBytes;
        const std::size_t queuedBytes = (queued_.size() - readAt_) * sizeof(std::int16_t);
        const std::size_t bytes = std::min(writable, queuedBytes) / frameBytes * frameBytes;
        if (bytes == 0) return;
        if (pa_stream_write(stream_, queued_.data() + readAt_, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
        readAt_ += bytes / sizeof(std::int16_t);
        writeIndex_ += static_cast<std::int64_t>(bytes / frameBytes);
        handedSinceFlush_ += static_cast<std::int64_t>(bytes / frameBytes);
    }

    // With the loop locked: lets go of the stream and the connection.
    void disconnect() {
        if (stream_) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
        contextReady_ = false;
        // What the old stream held is gone, heard or not.
        writeIndex_ = heardIndex_ = handedSinceFlush_ = 0;
        flushesInFlight_ = 0;
        pausing_ = false;
    }

    void close() {
        if (!loop_) return;
        if (api_) {
            pa_threaded_mainloop_lock(loop_);
            if (retry_) api_->time_free(retry_);
            if (answerTimer_) api_->time_free(answerTimer_);
            retry_ = answerTimer_ = nullptr;
            disconnect();
            pa_threaded_mainloop_unlock(loop_);
        }
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
    }

    pa_threaded_mainloop* loop_ = nullptr;
    // The rest with the loop locked.
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_time_event* retry_ = nullptr;
    pa_time_event* answerTimer_ = nullptr;
    bool opening_ = false;
    mutable bool waitedLongEnough_ = false;
    bool contextReady_ = false;
    bool reportedLoss_ = false;
    std::string failure_;
    // Written but not yet handed to the stream: from readAt_ on.
    std::vector<std::int16_t> queued_;
    std::size_t readAt_ = 0;
    // In frames, in the stream's own count (from its start): where the next
    // write goes, and what it has been heard up to.
    std::int64_t writeIndex_ = 0;
    mutable std::int64_t heardIndex_ = 0;
    // Flushes the server has not answered yet; handed over since the last;
    // and whether the last was a pause.
    int flushesInFlight_ = 0;
    std::int64_t handedSinceFlush_ = 0;
    bool pausing_ = false;
    bool corked_ = false;
    // Written before the last pause and never heard.
    std::int64_t unheardAtPause_ = 0;
};

struct Shared {
    std::mutex mutex;
    AudioOutput::Configuration configuration;
    std::shared_ptr<AudioOutput> output;
};

Shared& sharedState() {
    static Shared s;
    return s;
}

std::shared_ptr<AudioOutput> openOutput(const AudioOutput::Configuration& configuration) {
    switch (configuration.kind) {
        case AudioOutput::Kind::timeKeeping:
            return std::make_shared<TimeKeepingOutput>();
        case AudioOutput::Kind::wavFile:
            if (std::FILE* file = std::fopen(configuration.wavPath.c_str(), "wb")) {
                return std::make_shared<WavFileOutput>(file);
            }
            core::debugPrint("Audio output: cannot write " + configuration.wavPath.string() +
                             "; playback keeps time without sound");
            return std::make_shared<TimeKeepingOutput>();
        case AudioOutput::Kind::automatic:
            break;
    }
    std::string error;
    if (auto pulse = PulseAudioOutput::open(error)) return pulse;
    core::debugPrint("Audio output: no sound server answered (" + error + "); playback keeps time without sound");
    return std::make_shared<TimeKeepingOutput>();
}

}  // namespace

void AudioOutput::configure(Configuration configuration) {
    std::shared_ptr<AudioOutput> old;
    {
        auto& s = sharedState();
        std::lock_guard lock(s.mutex);
        s.configuration = std::move(configuration);
        old = std::move(s.output);
    }
}

std::shared_ptr<AudioOutput> AudioOutput::shared() {
    auto& s = sharedState();
    std::lock_guard lock(s.mutex);
    if (!s.output) s.output = openOutput(s.configuration);
    return s.output;
}

void AudioOutput::write(std::span<const std::int16_t> samples) {
    if (samples.empty()) return;
    std::lock_guard lock(mutex_);
    frames_ += static_cast<std::int64_t>(samples.size() / kOutputChannels);
    play(samples);
}

void AudioOutput::pause() {
    std::lock_guard lock(mutex_);
    paused();
}

void AudioOutput::playOut() {
    std::lock_guard lock(mutex_);
    playedOut();
}

void AudioOutput::flush() {
    std::lock_guard lock(mutex_);
    flushed();
}

core::ObservationToken AudioOutput::observeAnswering(std::function<void(bool answering)> listener) {
    std::lock_guard lock(listeners_->mutex);
    const auto id = listeners_->next++;
    listeners_->list.emplace_back(id, std::make_shared<const std::function<void(bool)>>(std::move(listener)));
    return core::ObservationToken([weak = std::weak_ptr(listeners_), id] {
        if (auto listeners = weak.lock()) {
            std::lock_guard lock(listeners->mutex);
            std::erase_if(listeners->list, [id](const auto& entry) { return entry.first == id; });
        }
    });
}

void AudioOutput::setAnswering(bool answering) {
    const auto reach = answering ? Reach::answering : Reach::lost;
    if (reach_.exchange(reach) == reach) return;
    core::DispatchQueue::main().async([weak = std::weak_ptr(listeners_), answering] {
        auto listeners = weak.lock();
        if (!listeners) return;
        std::vector<std::shared_ptr<const std::function<void(bool)>>> told;
        {
            std::lock_guard lock(listeners->mutex);
            for (const auto& [id, listener] : listeners->list) told.push_back(listener);
        }
        for (const auto& listener : told) (*listener)(answering);
    });
}

std::int64_t AudioOutput::framesWritten() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

}  // namespace platform::media
