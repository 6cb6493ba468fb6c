#include "platform/media/PulseAudioOutput.hpp"

#include <pulse/error.h>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/media/MediaDecoder.hpp"

namespace platform::media {

namespace {

constexpr std::size_t kFrameBytes = kOutputChannels * sizeof(std::int16_t);

// Holds the client library's loop lock for a scope (on any thread but the
// loop's own, whose callbacks already hold it).
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

class PulseAudioStream;

// The connection to the sound server: the client library's own thread runs
// it, and each playback's stream is a server stream of its own on it.
// Opening never waits for the server: the output is heard once the server
// answers. When the server goes away, or does not answer within
// kAnswerSeconds of opening, one debug line says so, every stream counts
// what it held as not heard (as on a pause: the players it tells go on from
// what was heard once it answers again), and the output connects again every
// kRetrySeconds.
class PulseAudioOutput final : public AudioOutput {
public:
    static constexpr double kAnswerSeconds = 0.5;
    static constexpr double kRetrySeconds = 0.25;

    PulseAudioOutput() : AudioOutput(Connecting{}) {}
    ~PulseAudioOutput() override { close(); }
    std::string name() const override { return "pulseaudio"; }
    bool keepsItsOwnTime() const override { return true; }
    std::unique_ptr<AudioStream> openStream() override;

    // Starts the loop's thread and connects without waiting for an answer.
    // A server that is not there (no socket, nobody listening) is refused
    // within the connect call itself, so this fails at once; one that takes
    // the connection and hangs is a server that has not answered yet.
    bool start(std::string& error);

    pa_threaded_mainloop* loop() const { return loop_; }
    // The rest with the loop locked, for the streams.
    pa_context* readyContext() const { return contextReady_ ? context_ : nullptr; }
    void attach(PulseAudioStream* stream) { streams_.push_back(stream); }
    void detach(PulseAudioStream* stream) { std::erase(streams_, stream); }
    // The connection or a stream failed. While opening, opening fails with
    // `reason`; afterwards the output is lost and connects again.
    void failed(const std::string& reason);
    // Lets go of a server stream whose playback has gone. One the server is
    // still creating cannot be disconnected yet: it is kept until it is
    // ready, then disconnected, so that nothing is left on the server.
    void release(pa_stream* stream);
    // A timer on the loop's thread in `seconds`, and its end.
    pa_time_event* after(double seconds, pa_time_event_cb_t callback, void* userdata);
    void cancel(pa_time_event*& timer);

private:
    static void disconnectStream(pa_stream* stream);
    void connectContext();
    void contextChanged();
    // The server is gone or does not answer: said once until it answers
    // again; the streams count what they held as not heard.
    void unreachable(const std::string& reason);
    // Lets go of the streams' server streams and of the connection.
    void disconnect();
    void close();

    pa_threaded_mainloop* loop_ = nullptr;
    // The rest with the loop locked.
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    pa_time_event* retry_ = nullptr;
    pa_time_event* answerTimer_ = nullptr;
    bool opening_ = false;
    bool contextReady_ = false;
    bool reportedLoss_ = false;
    std::string failure_;
    std::vector<PulseAudioStream*> streams_;
    // Server streams being created whose playback has gone.
    std::vector<pa_stream*> released_;
};

// One playback's server stream. What the player writes waits in a queue of
// the stream's own until the server asks for it, so neither a write nor what
// is heard waits for the main thread, as long as the player keeps some audio
// queued ahead. What has been heard since the last flush comes from the
// server's read index for this stream, less what the sink holds, as the
// server last said, plus the time since.
//
// The server stream is corked whenever no sound is due, so that the sink can
// rest: from its creation until frames are written, after a flush until
// frames are written again, while paused (the server stops at once; the
// stream asks where it stood), and once what was played out has been heard.
// Each cork, uncork and flush advances a sequence number; an answer counts
// only if nothing was asked of the stream after its question (a flush's,
// only if no later flush), so a late answer changes nothing. Nothing here
// waits for the server: until it answers, the counts are the latest estimate.
class PulseAudioStream final : public AudioStream {
public:
    // What the server buffers for the stream, and what it waits for before
    // it starts. The stream asks for more each kRequestSeconds, which is
    // also what the sink keeps ahead of what is heard (early requests), so
    // a cork stops the sound promptly.
    static constexpr double kBufferSeconds = 0.25;
    static constexpr double kStartSeconds = 0.05;
    static constexpr double kRequestSeconds = 0.02;
    // How long after its sink's latency a played-out stream rests.
    static constexpr double kRestMarginSeconds = 0.1;
    // What the queue holds at most; the oldest goes first past it.
    static constexpr std::size_t kMaxQueuedSamples = 5 * kOutputSampleRate * kOutputChannels;

    explicit PulseAudioStream(std::shared_ptr<PulseAudioOutput> output)
        : AudioStream(output), output_(std::move(output)) {
        LoopLock lock(output_->loop());
        output_->attach(this);
        if (pa_context* context = output_->readyContext()) connect(context);
    }

    ~PulseAudioStream() override {
        LoopLock lock(output_->loop());
        disconnect();
        output_->detach(this);
    }

    std::int64_t framesPending() const override {
        LoopLock lock(output_->loop());
        updateHeard();
        return written_ - heard_;
    }

    // With the loop locked: a server stream on a connection that is ready.
    // Its indices begin at 0, where the frames handed from now on go.
    void connect(pa_context* context) {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = kOutputSampleRate;
        spec.channels = kOutputChannels;
        stream_ = pa_stream_new(context, "podcast", &spec, nullptr);
        if (!stream_) {
            output_->failed(pa_strerror(pa_context_errno(context)));
            return;
        }
        origin_ = -handed_;
        originFromWriteIndex_ = false;
        serverCorked_ = silent();
        pa_stream_set_state_callback(
            stream_, [](pa_stream*, void* self) { static_cast<PulseAudioStream*>(self)->streamChanged(); }, this);
        pa_stream_set_write_callback(
            stream_, [](pa_stream*, std::size_t, void* self) { static_cast<PulseAudioStream*>(self)->fill(); }, this);
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
        if (serverCorked_) flags |= PA_STREAM_START_CORKED;
        if (pa_stream_connect_playback(stream_, nullptr, &attributes, static_cast<pa_stream_flags_t>(flags), nullptr,
                                       nullptr) < 0)
            output_->failed(pa_strerror(pa_context_errno(context)));
    }

    // With the loop locked: the connection is gone. What the server held and
    // what waited for it is not heard: it stays pending, and nothing plays on
    // the next server stream until the player goes on from what was heard
    // (a flush).
    void lose() {
        updateHeard();
        disconnect();
        clearQueue();
        handed_ = heard_;
        paused_ = true;
        playOut_ = false;
        ++sequence_;
    }

protected:
    // Frames written while not paused are due: the stream plays.
    void play(std::span<const std::int16_t> samples) override {
        LoopLock lock(output_->loop());
        if (queued_.size() - readAt_ + samples.size() > kMaxQueuedSamples) {
            const std::size_t excess = queued_.size() - readAt_ + samples.size() - kMaxQueuedSamples;
            readAt_ += std::min(excess, queued_.size() - readAt_);
            if (samples.size() > kMaxQueuedSamples) samples = samples.last(kMaxQueuedSamples);
        }
        if (readAt_ > 0 && readAt_ >= queued_.size() / 2) {
            queued_.erase(queued_.begin(), queued_.begin() + static_cast<std::ptrdiff_t>(readAt_));
            readAt_ = 0;
        }
        written_ += static_cast<std::int64_t>(samples.size() / kOutputChannels);
        queued_.insert(queued_.end(), samples.begin(), samples.end());
        // More is coming after all: a play-out asked before is for later.
        playOut_ = false;
        idle_ = false;
        fill();
        applyCork();
    }

    // What was heard until now is the estimate until the server says where
    // the stream stood once corked (asked after the cork, answered in order).
    void paused() override {
        LoopLock lock(output_->loop());
        if (paused_) return;
        updateHeard();
        clearQueue();
        paused_ = true;
        playOut_ = false;
        if (!ready() || serverCorked_) return;  // an idle stream has been heard to its end
        cork(true);
        ask(Question::cork);
    }

    void playedOut() override {
        LoopLock lock(output_->loop());
        if (paused_ || idle_) return;
        playOut_ = true;
        fill();
    }

    // The server drops what the stream holds and leaves its write index at
    // its read index, where the frames written from now on begin: asked
    // right after the flush, before any of them is sent. Nothing is due
    // until they are.
    void flushed() override {
        LoopLock lock(output_->loop());
        clearQueue();
        written_ = handed_ = heard_ = 0;
        paused_ = false;
        idle_ = true;
        playOut_ = false;
        triggeredAt_.reset();
        flushSequence_ = ++sequence_;
        originFromWriteIndex_ = false;
        if (!ready()) {
            // A server stream that is not ready has nothing yet; one that is
            // still to come is counted from its start.
            origin_ = 0;
            return;
        }
        origin_.reset();
        keep(pa_stream_flush(stream_, nullptr, nullptr));
        ask(Question::flush);
        applyCork();
    }

private:
    enum class Question { flush, cork };
    struct Asked {
        Question question;
        std::uint64_t sequence;
    };
    // The server's answer to a play-out, awaited or come; asked at
    // `sequence`, with `handed` frames handed over.
    struct Drain {
        bool inFlight = false;
        bool answered = false;
        std::uint64_t sequence = 0;
        std::int64_t handed = 0;
    };

    bool ready() const { return stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY; }
    // No sound is due: paused or lost, or nothing written that is not heard.
    bool silent() const { return paused_ || idle_; }

    void clearQueue() {
        queued_.clear();
        readAt_ = 0;
    }

    // With the loop locked: tells a ready server stream to stand still or
    // to play.
    void cork(bool corked) {
        keep(pa_stream_cork(stream_, corked ? 1 : 0, nullptr, nullptr));
        serverCorked_ = corked;
        ++sequence_;
    }

    // With the loop locked: the server stream stands still exactly while no
    // sound is due.
    void applyCork() {
        if (ready() && serverCorked_ != silent()) cork(silent());
    }

    // With the loop locked: brings what has been heard up to what the server
    // last said of the stream, and the time since. Stands still while
    // paused (the cork's answer says where) and while idle (all was heard).
    void updateHeard() const {
        if (silent() || !ready()) return;
        const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
        if (!timing) return;
        if (!origin_) {
            // The flush's own answer was lost: the write index, as the
            // client library keeps it, counts every write sent.
            if (!originFromWriteIndex_ || timing->write_index_corrupt) return;
            origin_ = timing->write_index / static_cast<std::int64_t>(kFrameBytes) - handed_;
        }
        if (timing->read_index_corrupt) return;
        std::int64_t heard = timing->read_index / static_cast<std::int64_t>(kFrameBytes);
        if (timing->playing) {
            // What the sink holds is not heard yet; since the server said
            // so, the stream has gone on playing.
            const double seconds = (static_cast<double>(timing->transport_usec) - static_cast<double>(timing->sink_usec) +
                                    static_cast<double>(pa_timeval_age(&timing->timestamp))) /
                                   PA_USEC_PER_SEC;
            heard += static_cast<std::int64_t>(seconds * kOutputSampleRate);
        }
        heard_ = std::max(heard_, std::clamp<std::int64_t>(heard - *origin_, 0, handed_));
    }

    // With the loop locked: asks where the stream stands now, answered after
    // everything sent before.
    void ask(Question question) {
        pa_operation* op = pa_stream_update_timing_info(
            stream_, [](pa_stream*, int success, void* self) { static_cast<PulseAudioStream*>(self)->answered(success != 0); },
            this);
        if (!op) {
            if (question == Question::flush) originFromWriteIndex_ = true;
            return;
        }
        asked_.push_back({question, sequence_});
        keep(op);
    }

    // On the loop's thread: the oldest question is answered.
    void answered(bool success) {
        if (asked_.empty()) return;
        const Asked asked = asked_.front();
        asked_.pop_front();
        const pa_timing_info* timing = success && ready() ? pa_stream_get_timing_info(stream_) : nullptr;
        const bool usable = timing && !timing->read_index_corrupt;
        const auto frameBytes = static_cast<std::int64_t>(kFrameBytes);
        if (asked.question == Question::flush) {
            if (asked.sequence != flushSequence_) return;  // a later flush counts from elsewhere
            if (usable)
                origin_ = timing->read_index / frameBytes;
            else
                originFromWriteIndex_ = true;
            return;
        }
        // What the stream had played when the cork stopped it: its read
        // index less what the sink held (and dropped); the rest of what was
        // handed over is not heard.
        if (asked.sequence != sequence_ || !paused_ || !usable || !origin_) return;
        const auto sinkFrames = static_cast<std::int64_t>(timing->sink_usec * kOutputSampleRate / PA_USEC_PER_SEC);
        heard_ = std::clamp<std::int64_t>(timing->read_index / frameBytes - sinkFrames - *origin_, 0, handed_);
    }

    // On the loop's thread.
    void streamChanged() {
        switch (pa_stream_get_state(stream_)) {
            case PA_STREAM_READY:
                // Paused, played or flushed while it connected.
                applyCork();
                fill();
                break;
            case PA_STREAM_FAILED:
            case PA_STREAM_TERMINATED:
                output_->failed(pa_strerror(pa_context_errno(pa_stream_get_context(stream_))));
                break;
            default:
                break;
        }
    }

    // With the loop locked: hands the stream as much of the queue as it asks
    // for. What the stream refuses stays queued (a failing stream reports
    // itself through its state), then plays out the tail when one is due.
    void fill() {
        if (!ready()) return;
        // What has been heard, kept up to date for when the stream is lost.
        updateHeard();
        const std::size_t writable = pa_stream_writable_size(stream_);
        if (writable == static_cast<std::size_t>(-1)) return;
        const std::size_t queuedBytes = (queued_.size() - readAt_) * sizeof(std::int16_t);
        const std::size_t bytes = std::min(writable, queuedBytes) / kFrameBytes * kFrameBytes;
        if (bytes > 0) {
            if (pa_stream_write(stream_, queued_.data() + readAt_, bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) return;
            readAt_ += bytes / sizeof(std::int16_t);
            handed_ += static_cast<std::int64_t>(bytes / kFrameBytes);
        }
        playOutTail();
    }

    // With the loop locked: once a play-out has handed over the last
    // frames, the server plays them however few (it would otherwise wait
    // for its start threshold) and says when it has played them. The server
    // answers one such question at a time: another waits for its answer.
    void playOutTail() {
        if (!playOut_ || readAt_ < queued_.size()) return;
        if (triggeredAt_ != handed_) {
            keep(pa_stream_trigger(stream_, nullptr, nullptr));
            triggeredAt_ = handed_;
        }
        if (drain_.inFlight || (drain_.answered && playedOutSince(drain_))) return;
        pa_operation* op = pa_stream_drain(
            stream_, [](pa_stream*, int success, void* self) { static_cast<PulseAudioStream*>(self)->drained(success != 0); },
            this);
        if (!op) return;
        drain_ = Drain{true, false, sequence_, handed_};
        keep(op);
    }

    // Whether the play-out asked at `drain` still stands: nothing asked of
    // the stream or written since.
    bool playedOutSince(const Drain& drain) const {
        return drain.sequence == sequence_ && drain.handed == handed_ && playOut_ && readAt_ >= queued_.size();
    }

    // On the loop's thread: the server has taken all the stream held. What
    // its sink holds of it is heard within the sink's latency (and a margin,
    // as a server may hold more than it says): the stream rests then, unless
    // anything was asked of it or written since. Otherwise the question is
    // asked again for what came since.
    void drained(bool success) {
        drain_.inFlight = false;
        if (success && playedOutSince(drain_)) {
            drain_.answered = true;
            const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
            const double sinkSeconds = timing ? static_cast<double>(timing->sink_usec) / PA_USEC_PER_SEC : kBufferSeconds;
            output_->cancel(restTimer_);
            restTimer_ = output_->after(
                sinkSeconds + kRestMarginSeconds,
                [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
                    static_cast<PulseAudioStream*>(self)->rest();
                },
                this);
            return;
        }
        if (ready()) playOutTail();
    }

    // On the loop's thread: all that was played out has been heard.
    void rest() {
        output_->cancel(restTimer_);
        if (!drain_.answered || !playedOutSince(drain_)) return;
        heard_ = handed_;
        idle_ = true;
        applyCork();
    }

    // With the loop locked: an operation in flight, kept so that its callback
    // can be cancelled with the stream.
    void keep(pa_operation* op) {
        if (!op) return;
        std::erase_if(operations_, [](pa_operation* kept) {
            if (pa_operation_get_state(kept) == PA_OPERATION_RUNNING) return false;
            pa_operation_unref(kept);
            return true;
        });
        operations_.push_back(op);
    }

    // With the loop locked: lets go of the server stream; no callback of its
    // comes after. One the server is still creating cannot be disconnected
    // yet: the output keeps it until it can.
    void disconnect() {
        output_->cancel(restTimer_);
        for (pa_operation* op : operations_) {
            if (pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_operation_cancel(op);
            pa_operation_unref(op);
        }
        operations_.clear();
        asked_.clear();
        drain_ = {};
        triggeredAt_.reset();
        if (!stream_) return;
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        output_->release(std::exchange(stream_, nullptr));
    }


    std::shared_ptr<PulseAudioOutput> output_;
    // The rest with the loop locked.
    pa_stream* stream_ = nullptr;
    // Whether the server stream was last told to stand still.
    bool serverCorked_ = false;
    // Paused, or lost: what is heard stands still until the next flush.
    bool paused_ = false;
    // Nothing written since the stream began or was flushed, or all of it
    // played out and heard.
    bool idle_ = true;
    // No more is coming for now: what was written plays out.
    bool playOut_ = false;
    Drain drain_;
    // Until what was played out is heard.
    pa_time_event* restTimer_ = nullptr;
    // What had been handed over when the server was last told to play the
    // tail without waiting for more.
    std::optional<std::int64_t> triggeredAt_;
    // Written but not yet handed to the server: from readAt_ on.
    std::vector<std::int16_t> queued_;
    std::size_t readAt_ = 0;
    // Since the last flush, in frames: written by the player, handed to the
    // server, and heard.
    std::int64_t written_ = 0;
    std::int64_t handed_ = 0;
    mutable std::int64_t heard_ = 0;
    // The server's index (in frames) where the frames handed since the last
    // flush begin; unknown until the server says where the flush left it.
    mutable std::optional<std::int64_t> origin_;
    mutable bool originFromWriteIndex_ = false;
    // Advanced by every cork, uncork and flush; the last flush's.
    std::uint64_t sequence_ = 0;
    std::uint64_t flushSequence_ = 0;
    // Questions in flight, in the order they are answered.
    std::deque<Asked> asked_;
    std::vector<pa_operation*> operations_;
};

std::unique_ptr<AudioStream> PulseAudioOutput::openStream() {
    return std::make_unique<PulseAudioStream>(std::static_pointer_cast<PulseAudioOutput>(shared_from_this()));
}

bool PulseAudioOutput::start(std::string& error) {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
        error = "cannot start a main loop";
        return false;
    }
    api_ = pa_threaded_mainloop_get_api(loop_);
    LoopLock lock(loop_);
    opening_ = true;
    connectContext();
    opening_ = false;
    if (!failure_.empty()) {
        error = failure_;
        return false;
    }
    answerTimer_ = after(
        kAnswerSeconds,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            output->cancel(output->answerTimer_);
            if (!output->isAnswering()) output->unreachable("no answer");
        },
        this);
    return true;
}

pa_time_event* PulseAudioOutput::after(double seconds, pa_time_event_cb_t callback, void* userdata) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, static_cast<pa_usec_t>(seconds * PA_USEC_PER_SEC));
    return api_->time_new(api_, &when, callback, userdata);
}

void PulseAudioOutput::cancel(pa_time_event*& timer) {
    if (timer) api_->time_free(timer);
    timer = nullptr;
}

void PulseAudioOutput::connectContext() {
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

void PulseAudioOutput::contextChanged() {
    switch (pa_context_get_state(context_)) {
        case PA_CONTEXT_READY:
            contextReady_ = true;
            for (std::size_t i = 0; i < streams_.size() && contextReady_; ++i) streams_[i]->connect(context_);
            if (!contextReady_) break;
            if (reportedLoss_) {
                core::debugPrint("Audio output: the sound server answers again");
                reportedLoss_ = false;
            }
            setAnswering(true);
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            failed(pa_strerror(pa_context_errno(context_)));
            break;
        default:
            break;
    }
}

void PulseAudioOutput::failed(const std::string& reason) {
    contextReady_ = false;
    if (opening_) {
        if (failure_.empty()) failure_ = reason.empty() ? "failed" : reason;
        return;
    }
    unreachable(reason);
    if (retry_) return;
    retry_ = after(
        kRetrySeconds,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* output = static_cast<PulseAudioOutput*>(self);
            output->cancel(output->retry_);
            output->disconnect();
            output->connectContext();
        },
        this);
}

void PulseAudioOutput::unreachable(const std::string& reason) {
    if (!reportedLoss_) {
        core::debugPrint(std::string("Audio output: ") +
                         (isAnswering() ? "lost the sound server" : "the sound server does not answer") + " (" +
                         reason + "); connecting again");
        reportedLoss_ = true;
    }
    for (auto* stream : streams_) stream->lose();
    setAnswering(false);
}

void PulseAudioOutput::disconnectStream(pa_stream* stream) {
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    if (pa_stream_get_state(stream) == PA_STREAM_READY) pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

void PulseAudioOutput::release(pa_stream* stream) {
    if (pa_stream_get_state(stream) != PA_STREAM_CREATING) {
        disconnectStream(stream);
        return;
    }
    released_.push_back(stream);
    pa_stream_set_state_callback(
        stream,
        [](pa_stream* created, void* self) {
            if (pa_stream_get_state(created) == PA_STREAM_CREATING) return;
            std::erase(static_cast<PulseAudioOutput*>(self)->released_, created);
            disconnectStream(created);
        },
        this);
}

void PulseAudioOutput::disconnect() {
    for (auto* stream : streams_) stream->lose();
    // The connection takes what it was still creating with it.
    for (pa_stream* stream : std::exchange(released_, {})) disconnectStream(stream);
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    contextReady_ = false;
}

void PulseAudioOutput::close() {
    if (!loop_) return;
    if (api_) {
        LoopLock lock(loop_);
        cancel(retry_);
        cancel(answerTimer_);
        disconnect();
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

}  // namespace

std::shared_ptr<AudioOutput> openPulseAudioOutput(std::string& error) {
    auto output = std::make_shared<PulseAudioOutput>();
    if (!output->start(error)) return nullptr;
    return output;
}

}  // namespace platform::media
