// A player: plays its current item on the main run loop's clock. At rate 1.0,
// one second of media time passes per second of the clock; the position only
// moves over bytes the item has received. Each time the position moves, the
// player's own stream on the audio output (AudioOutput::shared(), taken when
// the player first plays) is fed the decoded audio of the media time that
// passed; pausing, seeking, a
// stall and the end feed it nothing. An output with a clock of its own (a
// sound server) is fed instead up to kFeedAhead beyond what it has played, and
// at rate 1.0 the position is what it has really played: a main thread that
// is late then delays the interface, not the sound. Playback goes on after a
// pause from what was really heard. Running past the bytes stalls the item
// (its stalled notification); reaching the end of the decoded audio posts its
// played-to-end notification and stops playback there. Asked to play after
// that (no seek or new item in between), the player plays the item again
// from its start; asked to play at the end a seek went to, it reaches the
// end at once (the rate drops back and the notification is posted).
//
// Periodic time observers fire, on their queue, each time the media time
// crosses a multiple of their interval while playing, and when playback
// starts, stops or jumps (a seek). They go with the player.
//
// `automaticallyWaitsToMinimizeStalling` (true by default): with it, a player
// asked to play waits until enough bytes are there and resumes by itself
// after a stall; without it, playback starts as soon as the item is ready and
// a stall sets the rate to 0. An output that cannot be heard (a sound server
// lost, or not answering yet) is waited for as bytes are: a player asked to
// play starts once it answers, and one that plays when it is lost goes on
// from what was heard once it answers again; an output that stays silent for
// two seconds counts as a stall, each time the player is asked to play. Meanwhile the player does not count as
// playing for the media controls.
//
// The desktop's media controls learn whether any player of the process plays
// (asked to play, with an item, and its output can be heard) as it changes (MprisService::playersDidChange),
// as the system knows which application's audio plays.
//
// Main-thread object, owned through std::shared_ptr (subclasses call
// `setUp` from their own `create`). `currentItem()` may be read from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/core/DispatchQueue.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/media/MediaTime.hpp"
#include "platform/media/PlayerItem.hpp"

namespace platform::media {

class Player : public std::enable_shared_from_this<Player> {
public:
    using TimeObserverBlock = std::function<void(MediaTime)>;
    using TimeObserverToken = std::uint64_t;
    using SeekCompletion = std::function<void(bool finished)>;

    static std::shared_ptr<Player> create();
    static std::shared_ptr<Player> create(std::shared_ptr<PlayerItem> item);
    // A player of a plain item for `url`.
    static std::shared_ptr<Player> create(const core::URL& url);

    virtual ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void play() { setRate(1.0f); }
    void pause() { setRate(0.0f); }
    float rate() const { return rate_; }
    void setRate(float rate);

    MediaTime currentTime() const;

    // Moves to `time` (clamped to the item's span). The completion runs on
    // the main queue once the item can play there (it is ready and holds
    // bytes at the target): finished true; or false when a later seek (or a
    // new item) took its place first, or the item failed.
    void seek(MediaTime time, SeekCompletion completion = {});

    // Returns the token that removes the observer; the block runs on `queue`.
    TimeObserverToken addPeriodicTimeObserver(MediaTime interval, core::DispatchQueue& queue, TimeObserverBlock block);
    void removeTimeObserver(TimeObserverToken token);

    bool automaticallyWaitsToMinimizeStalling() const { return automaticallyWaits_; }
    void setAutomaticallyWaitsToMinimizeStalling(bool waits);

    std::shared_ptr<PlayerItem> currentItem() const;
    void replaceCurrentItem(std::shared_ptr<PlayerItem> item);

    // True while the position moves.
    bool isAdvancing() const { return advancing_; }

protected:
    Player();
    // Second step of construction: attaches the first item.
    void setUp(std::shared_ptr<PlayerItem> item);

private:
    friend class PlayerItem;

    struct Observer {
        TimeObserverToken token;
        double interval;
        core::DispatchQueue* queue;
        std::shared_ptr<TimeObserverBlock> block;
        std::shared_ptr<std::atomic<bool>> alive;
        double nextBoundary;
    };

    // Called by the item on the main thread when its status or bytes change.
    void itemDidChange();

    double positionNow() const;
    // Brings the position up to the clock; handles a stall or the end.
    void settle();
    // Starts or stops advancing as the rate, item and bytes allow; reschedules.
    void update();
    // Playback stops at the end of the item: rate 0, observers told, the
    // played-to-end notification posted.
    void reachEnd();
    void startAdvancing();
    void stopAdvancing();
    // Stops advancing without telling the observers.
    void halt();
    // Playback cannot go on: the stalled notification, observers told; a
    // player that does not wait drops its rate.
    void stall();
    // Takes the shared output, and listens to whether it answers.
    void takeOutput();
    void outputDidChange(bool answering);
    // Waits for the output to answer; it counts as a stall after a grace
    // period.
    void waitForOutput();
    void schedule();
    void wake(std::uint64_t generation);
    void fireObservers(bool all);
    void finishSeek();
    double durationSeconds() const;
    // Counts this player among the process's playing ones while it is asked
    // to play, has an item and its output can be heard; tells the media
    // controls when that changes.
    void countPlaying();
    // Where feeding the output stopped short of where it was asked to go.
    struct FeedStop {
        double at = 0;
        bool ended = false;  // the decoded audio ended there; else its bytes ran out
    };
    // Feeds the output the audio from `from` to `to`; tells where it stopped
    // when the decoded audio ended, or the bytes ran out, before `to`.
    std::optional<FeedStop> feed(double from, double to);
    // With an output that keeps its own time: the position it has played,
    // and feeding it ahead of that.
    double heardPosition() const;
    void feedAhead();

    std::shared_ptr<PlayerItem> item_;
    mutable std::mutex itemMutex_;  // guards item_ against readers on other threads

    float rate_ = 0;
    bool countedPlaying_ = false;
    bool automaticallyWaits_ = true;
    bool advancing_ = false;
    // The item played to its end and has not been moved since.
    bool playedToEnd_ = false;
    double anchorPosition_ = 0;
    double anchorClock_ = 0;
    // Where the clock and the position stood when playback last started or
    // changed speed: positions and deadlines are reckoned from there, so that
    // the clock's rounding does not add up over the feeds in between.
    double originPosition_ = 0;
    double originClock_ = 0;
    double limit_ = 0;
    // The clock time of the next wake and the position it was meant for.
    double deadline_ = 0;
    double deadlinePosition_ = 0;
    std::uint64_t deadlineGeneration_ = 0;
    std::shared_ptr<AudioOutput> output_;
    // This player's own way into the output.
    std::unique_ptr<AudioStream> stream_;
    core::ObservationToken outputObservation_;
    // Asked to play, with what it needs, but the output is not heard yet.
    bool waitingForOutput_ = false;
    // Counts the output's losses, so that the wait for one ends only its own.
    std::uint64_t outputWaitGeneration_ = 0;
    // The wait for the output ended in a stall; not waited for again until
    // the player is asked to play anew or the output answers.
    bool outputStalled_ = false;
    // The position follows what the output has played (see above).
    bool clocked_ = false;
    // Then: where the audio written to the output ends; whether the output
    // was paused for this player since (it then counts what it dropped
    // unheard among its pending frames); and where the decoded audio ended,
    // once a feed found it.
    double fedTo_ = 0;
    bool outputPaused_ = false;
    std::optional<double> audioEnd_;
    // Where the bytes held ran out in what was fed, until a feed goes past it.
    std::optional<double> starvedAt_;
    std::uint64_t generation_ = 0;

    std::vector<Observer> observers_;
    TimeObserverToken nextToken_ = 1;

    bool seeking_ = false;
    std::uint64_t seekGeneration_ = 0;
    SeekCompletion seekCompletion_;
};

}  // namespace platform::media
