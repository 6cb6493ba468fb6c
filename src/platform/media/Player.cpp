#include "platform/media/Player.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/core/RunLoop.hpp"
#include "platform/media/MprisService.hpp"

namespace platform::media {

namespace {
constexpr double kEpsilon = 1e-9;
// What the output's samples tell apart.
constexpr double kOneFrame = 1.0 / kOutputSampleRate;
// What a clock reading in seconds since 1970 can tell apart, with room for
// the rate.
constexpr double kClockResolution = 1e-6;
// What a player that waits to minimise stalling wants buffered before it
// starts or resumes (or everything up to the end, when less remains).
constexpr double kPrerollSeconds = 1.0;
constexpr std::int32_t kTimescale = 1'000'000'000;
// The output is fed at least this often (media seconds) while playing: what
// is heard lags the position by about this much plus the output's own buffer.
constexpr double kFeedInterval = 0.05;
// An output with a clock of its own is fed this far beyond what it has played:
// what the main thread may be late by without a gap in the sound.
constexpr double kFeedAhead = 0.5;
// What the output's report of what it has played may leave short of the end
// of what was written once all of it is heard.
constexpr double kHeardTolerance = 0.01;
// The shortest wait between two wakes that follow the output's clock.
constexpr double kShortestWait = 0.005;
// How long a player waits for an output that stopped answering (a sound
// server restarting) before that counts as a stall.
constexpr double kOutputGraceSeconds = 2.0;

double clockNow() { return core::RunLoop::main().now(); }

// Players of the process asked to play (main thread).
int playingPlayers = 0;

void playingPlayersChanged(int by) {
    const bool before = playingPlayers > 0;
    playingPlayers += by;
    if ((playingPlayers > 0) != before) MprisService::shared().playersDidChange(playingPlayers > 0);
}
}  // namespace

Player::Player() = default;

Player::~Player() {
    for (auto& observer : observers_) observer.alive->store(false);
    if (item_) item_->detach(this);
    if (countedPlaying_) {
        // The last owner may let go of a player elsewhere than on the main thread.
        core::RunLoop::main().async([] { playingPlayersChanged(-1); });
    }
}

void Player::countPlaying() {
    const bool playing = rate_ > 0 && item_ && (!output_ || output_->isAnswering());
    if (playing == countedPlaying_) return;
    countedPlaying_ = playing;
    playingPlayersChanged(playing ? 1 : -1);
}

std::shared_ptr<Player> Player::create() { return create(std::shared_ptr<PlayerItem>()); }

std::shared_ptr<Player> Player::create(std::shared_ptr<PlayerItem> item) {
    auto player = std::shared_ptr<Player>(new Player());
    player->setUp(std::move(item));
    return player;
}

std::shared_ptr<Player> Player::create(const core::URL& url) { return create(PlayerItem::create(url)); }

void Player::setUp(std::shared_ptr<PlayerItem> item) {
    if (item) replaceCurrentItem(std::move(item));
}

std::shared_ptr<PlayerItem> Player::currentItem() const {
    std::lock_guard lock(itemMutex_);
    return item_;
}

void Player::replaceCurrentItem(std::shared_ptr<PlayerItem> item) {
    PLATFORM_ASSERT_MAIN_THREAD();
    settle();
    if (item == item_) return;
    if (advancing_) {
        advancing_ = false;
        ++generation_;
    }
    if (seeking_) {
        seeking_ = false;
        if (auto completion = std::exchange(seekCompletion_, nullptr))
            core::DispatchQueue::main().async([completion] { completion(false); });
    }
    // What the old item left in the output is not heard any more.
    if (stream_) stream_->flush();
    outputPaused_ = false;
    auto old = item_;
    if (old) {
        old->setCurrentSeconds(anchorPosition_);
        old->detach(this);
    }
    {
        std::lock_guard lock(itemMutex_);
        item_ = item;
    }
    anchorPosition_ = item ? item->currentSeconds() : 0;
    playedToEnd_ = false;
    if (item) item->attach(shared_from_this());
    update();
    countPlaying();
}

void Player::setRate(float rate) {
    PLATFORM_ASSERT_MAIN_THREAD();
    settle();
    // Asked anew: an output still not heard is waited for again.
    outputStalled_ = false;
    // Whatever the new speed, it counts from here.
    originClock_ = anchorClock_;
    originPosition_ = anchorPosition_;
    const float newRate = rate > 0 ? rate : 0;
    if (advancing_ && newRate > 0) {
        if (clocked_ == (output_->keepsItsOwnTime() && newRate == 1.0f)) {
            // Still playing: a new speed from here on.
            rate_ = newRate;
            schedule();
            return;
        }
        // An output's own clock plays at the normal speed only: playback
        // starts again from here, on the other clock.
        stopAdvancing();
    }
    rate_ = newRate;
    update();
    countPlaying();
}

void Player::setAutomaticallyWaitsToMinimizeStalling(bool waits) {
    PLATFORM_ASSERT_MAIN_THREAD();
    automaticallyWaits_ = waits;
    update();
}

double Player::durationSeconds() const {
    if (!item_ || item_->status() != PlayerItemStatus::readyToPlay) return std::numeric_limits<double>::infinity();
    return item_->endSeconds();
}

void Player::takeOutput() {
    if (output_) return;
    output_ = AudioOutput::shared();
    stream_ = output_->openStream();
    std::weak_ptr<Player> weak = weak_from_this();
    outputObservation_ = output_->observeAnswering([weak](bool answering) {
        if (auto player = weak.lock()) player->outputDidChange(answering);
    });
}

void Player::outputDidChange(bool answering) {
    if (answering) {
        outputStalled_ = false;
        update();
        countPlaying();
        return;
    }
    settle();
    const bool wanted = advancing_ || waitingForOutput_;
    countPlaying();
    if (!wanted) return;
    // Nothing can be heard. The output counts what it held as not heard, so
    // playback goes on from what was once it answers again. A server that
    // comes back soon (restarted) is waited for; one that does not is a
    // stall, as when the bytes run out.
    if (advancing_) {
        halt();
        fireObservers(true);
    }
    waitForOutput();
}

void Player::waitForOutput() {
    waitingForOutput_ = true;
    const std::uint64_t wait = ++outputWaitGeneration_;
    std::weak_ptr<Player> weak = weak_from_this();
    core::RunLoop::main().asyncAfter(kOutputGraceSeconds, [weak, wait] {
        auto player = weak.lock();
        if (!player || player->outputWaitGeneration_ != wait || !player->waitingForOutput_) return;
        if (player->output_ && player->output_->isAnswering()) return;
        player->waitingForOutput_ = false;
        player->outputStalled_ = true;
        player->stall();
    });
}

std::optional<Player::FeedStop> Player::feed(double from, double to) {
    if (!item_ || !(to > from)) return std::nullopt;
    takeOutput();
    const auto first = static_cast<std::int64_t>(std::llround(from * kOutputSampleRate));
    const auto last = static_cast<std::int64_t>(std::llround(to * kOutputSampleRate));
    const auto rendered = item_->render(first, last - first, *stream_);
    if (!rendered.ended && !rendered.starved) return std::nullopt;
    return FeedStop{std::max(from, static_cast<double>(first + rendered.frames) / kOutputSampleRate), rendered.ended};
}

double Player::heardPosition() const {
    const double pending = static_cast<double>(stream_->framesPending()) / kOutputSampleRate;
    return std::max(anchorPosition_, fedTo_ - pending);
}

void Player::feedAhead() {
    if (audioEnd_) return;
    const double to = std::min(limit_, heardPosition() + kFeedAhead);
    if (!(to > fedTo_)) return;
    starvedAt_.reset();
    if (const auto stop = feed(fedTo_, to)) {
        fedTo_ = stop->at;
        if (stop->ended) audioEnd_ = stop->at;
        else starvedAt_ = stop->at;
    } else {
        fedTo_ = to;
    }
    // Nothing more to write for now: the output plays what it has.
    if (audioEnd_ || starvedAt_ || fedTo_ + kEpsilon >= limit_) stream_->playOut();
}

double Player::positionNow() const {
    if (!advancing_) return anchorPosition_;
    if (clocked_) return std::min(heardPosition(), audioEnd_ ? *audioEnd_ : starvedAt_.value_or(limit_));
    const double position = originPosition_ + (clockNow() - originClock_) * rate_;
    return std::min(position, limit_);
}

MediaTime Player::currentTime() const { return MediaTime::makeWithSeconds(positionNow(), kTimescale); }

void Player::settle() {
    if (!advancing_) return;
    const double now = clockNow();
    anchorClock_ = now;
    double position = 0;
    bool reachedLimit = false;
    std::optional<double> audioEnd;
    // The bytes ran out before the limit: a stall there, like one at it.
    bool starved = false;
    if (clocked_) {
        // The position is what the output has played; it is fed ahead of that.
        feedAhead();
        if (!audioEnd_ && fedTo_ > limit_ + kOneFrame && limit_ + kEpsilon < durationSeconds()) {
            // The bytes held play less far than they seemed to when they
            // were fed (the count has begun reading them, or the decoder
            // found bytes missing): what was fed past that must not sound.
            // Playback stops at once, as on a pause, and goes on from what
            // was heard.
            anchorPosition_ = heardPosition();
            halt();
            fireObservers(true);
            // How far the bytes held play is told within moments: playback
            // goes on then, without a stall.
            if (!item_ || !item_->awaitsCount()) stall();
            return;
        }
        const double stop = audioEnd_ ? *audioEnd_ : starvedAt_.value_or(limit_);
        position = heardPosition();
        reachedLimit = position + kHeardTolerance >= stop;
        if (reachedLimit) {
            position = stop;
            audioEnd = audioEnd_;
            starved = !audioEnd_ && starvedAt_.has_value();
        }
    } else {
        position = originPosition_ + (now - originClock_) * rate_;
        // At its deadline the position has reached what the wake was meant
        // for, even when the clock's resolution at this date cannot show the
        // difference; and a position past it by no more than that resolution
        // is taken as exactly there, so that rounding does not add up wake
        // after wake.
        if (deadlineGeneration_ == generation_ && now >= deadline_ &&
            position < deadlinePosition_ + kClockResolution)
            position = deadlinePosition_;
        reachedLimit = position + kEpsilon >= limit_;
        if (reachedLimit) position = limit_;
        if (const auto stop = feed(anchorPosition_, position)) {
            position = stop->at;
            if (stop->ended) audioEnd = stop->at;
            else starved = true;
        }
    }
    if (!reachedLimit && !audioEnd && !starved) {
        anchorPosition_ = position;
        if (item_) item_->setCurrentSeconds(anchorPosition_);
        return;
    }
    anchorPosition_ = position;
    advancing_ = false;
    ++generation_;
    if (stream_) stream_->playOut();
    auto item = item_;
    if (item) item->setCurrentSeconds(anchorPosition_);
    if (audioEnd || (!starved && limit_ + kEpsilon >= durationSeconds())) {
        // The end: playback stops there and stays there. Where the decoded
        // audio ended is the item's duration from now on.
        if (item && audioEnd) item->audioDidEnd(*audioEnd);
        reachEnd();
    } else if (!starved && position <= originPosition_ + kEpsilon && item && item->awaitsCount()) {
        // Nothing could be played since playback started, and how far the
        // bytes held play is told within moments (the count reads on
        // through them): playback starts once it has, as when asked to play
        // then, without a stall in between.
        fireObservers(true);
    } else {
        // Ran out of bytes.
        stall();
    }
}

void Player::stall() {
    // A player that waits keeps its rate and resumes by itself.
    if (!automaticallyWaits_) rate_ = 0;
    countPlaying();
    fireObservers(true);
    if (auto item = item_) item->postNotification(PlayerItem::playbackStalledNotification);
}

void Player::update() {
    settle();
    const bool wasWaitingForOutput = std::exchange(waitingForOutput_, false);
    const bool canPlay = rate_ > 0 && item_ && item_->status() == PlayerItemStatus::readyToPlay && !seeking_;
    if (!canPlay) {
        if (advancing_) stopAdvancing();
        return;
    }
    const double duration = durationSeconds();
    if (advancing_) {
        limit_ = std::min(item_->playableEnd(anchorPosition_), duration);
        schedule();
        return;
    }
    if (playedToEnd_) {
        // Asked to play once the item has played to its end: it plays again
        // from its start.
        playedToEnd_ = false;
        anchorPosition_ = 0;
        item_->setCurrentSeconds(0);
    } else if (anchorPosition_ + kEpsilon >= duration) {
        // Asked to play where a seek left it, at the end: nothing left to
        // play, so the end is reached at once.
        reachEnd();
        return;
    }
    item_->prepareToPlay(anchorPosition_);
    const double ahead = std::min(item_->playableEnd(anchorPosition_), duration) - anchorPosition_;
    if (automaticallyWaits_) {
        const double wanted = std::min(kPrerollSeconds, duration - anchorPosition_);
        if (ahead + kEpsilon < wanted) return;  // waits for more bytes
    } else if (ahead <= kEpsilon) {
        // How far the bytes held play is told within moments: playback
        // starts then.
        if (item_->awaitsCount()) return;
        // Nothing to play where playback would begin: it stalls at once.
        stall();
        return;
    }
    takeOutput();
    if (!output_->isAnswering()) {
        // Not heard yet: starts once the output says it answers, or stalls
        // as when it is lost while playing, once for each time it is asked
        // to play.
        if (wasWaitingForOutput)
            waitingForOutput_ = true;
        else if (!outputStalled_)
            waitForOutput();
        return;
    }
    startAdvancing();
}

void Player::reachEnd() {
    rate_ = 0;
    countPlaying();
    playedToEnd_ = true;
    fireObservers(true);
    if (auto item = item_) item->postNotification(PlayerItem::didPlayToEndTimeNotification);
}

void Player::startAdvancing() {
    advancing_ = true;
    anchorClock_ = clockNow();
    originClock_ = anchorClock_;
    originPosition_ = anchorPosition_;
    limit_ = std::min(item_->playableEnd(anchorPosition_), durationSeconds());
    clocked_ = output_->keepsItsOwnTime() && rate_ == 1.0f;
    if (clocked_) {
        // After a pause, playback goes on from what was really heard then.
        if (outputPaused_) {
            anchorPosition_ = std::max(0.0, fedTo_ - static_cast<double>(stream_->framesPending()) / kOutputSampleRate);
            originPosition_ = anchorPosition_;
            if (item_) item_->setCurrentSeconds(anchorPosition_);
        }
        fedTo_ = anchorPosition_;
        audioEnd_.reset();
        starvedAt_.reset();
    }
    // What the output still holds is not this position's.
    stream_->flush();
    outputPaused_ = false;
    if (clocked_) feedAhead();
    fireObservers(true);
    schedule();
}

void Player::stopAdvancing() {
    settle();
    if (!advancing_) return;
    halt();
    fireObservers(true);
}

void Player::halt() {
    advancing_ = false;
    ++generation_;
    if (stream_) stream_->pause();
    outputPaused_ = clocked_;
    if (item_) item_->setCurrentSeconds(anchorPosition_);
}

void Player::schedule() {
    if (!advancing_ || rate_ <= 0) return;
    const std::uint64_t generation = ++generation_;
    double target = std::min(limit_, anchorPosition_ + kFeedInterval);
    for (const auto& observer : observers_) target = std::min(target, observer.nextBoundary);
    if (clocked_ && audioEnd_) target = std::min(target, *audioEnd_);
    if (clocked_ && starvedAt_) target = std::min(target, *starvedAt_);
    target = std::max(target, anchorPosition_);
    // The output's own clock runs at the normal speed; a wake that finds it
    // short of the target comes again shortly.
    const double deadline = clocked_ ? clockNow() + std::max(target - anchorPosition_, kShortestWait)
                                     : originClock_ + (target - originPosition_) / rate_;
    deadline_ = deadline;
    deadlinePosition_ = target;
    deadlineGeneration_ = generation;
    std::weak_ptr<Player> weak = weak_from_this();
    core::RunLoop::main().asyncAt(deadline, [weak, generation] {
        if (auto player = weak.lock()) player->wake(generation);
    });
}

void Player::wake(std::uint64_t generation) {
    if (generation != generation_) return;
    settle();
    if (!advancing_) return;
    fireObservers(false);
    limit_ = std::min(item_->playableEnd(anchorPosition_), durationSeconds());
    schedule();
}

void Player::fireObservers(bool all) {
    const double position = anchorPosition_;
    const auto time = MediaTime::makeWithSeconds(position, kTimescale);
    for (auto& observer : observers_) {
        const bool crossed = position + kEpsilon >= observer.nextBoundary;
        if (all || crossed) {
            observer.queue->async([block = observer.block, alive = observer.alive, time] {
                if (alive->load()) (*block)(time);
            });
        }
        observer.nextBoundary = (std::floor(position / observer.interval + kEpsilon) + 1) * observer.interval;
    }
}

Player::TimeObserverToken Player::addPeriodicTimeObserver(MediaTime interval, core::DispatchQueue& queue,
                                                          TimeObserverBlock block) {
    PLATFORM_ASSERT_MAIN_THREAD();
    double seconds = interval.seconds();
    if (!(seconds > 0)) seconds = 1.0;
    const auto token = nextToken_++;
    const double position = positionNow();
    observers_.push_back(Observer{token, seconds, &queue, std::make_shared<TimeObserverBlock>(std::move(block)),
                                  std::make_shared<std::atomic<bool>>(true),
                                  (std::floor(position / seconds + kEpsilon) + 1) * seconds});
    if (advancing_) {
        settle();
        schedule();
    }
    return token;
}

void Player::removeTimeObserver(TimeObserverToken token) {
    PLATFORM_ASSERT_MAIN_THREAD();
    std::erase_if(observers_, [token](const Observer& observer) {
        if (observer.token != token) return false;
        observer.alive->store(false);
        return true;
    });
}

void Player::seek(MediaTime time, SeekCompletion completion) {
    PLATFORM_ASSERT_MAIN_THREAD();
    settle();
    if (auto previous = std::exchange(seekCompletion_, nullptr))
        core::DispatchQueue::main().async([previous] { previous(false); });
    double target = time.isIndefinite() ? 0 : time.seconds();
    if (!(target > 0)) target = 0;
    target = std::min(target, durationSeconds());
    if (advancing_) {
        advancing_ = false;
        ++generation_;
    }
    // What was heard before the seek stops there.
    if (stream_) stream_->flush();
    outputPaused_ = false;
    anchorPosition_ = target;
    playedToEnd_ = false;
    seeking_ = true;
    seekCompletion_ = std::move(completion);
    const std::uint64_t seek = ++seekGeneration_;
    if (item_) {
        item_->setCurrentSeconds(target);
        item_->prepareToPlay(target);
    }
    std::weak_ptr<Player> weak = weak_from_this();
    core::DispatchQueue::main().async([weak, seek] {
        auto player = weak.lock();
        if (player && player->seekGeneration_ == seek) player->finishSeek();
    });
}

void Player::finishSeek() {
    if (!seeking_) return;
    const auto status = item_ ? item_->status() : PlayerItemStatus::failed;
    if (status == PlayerItemStatus::unknown) return;  // completes once the item is ready
    if (status == PlayerItemStatus::readyToPlay) {
        // A seek is done once the item can play at the target: some bytes
        // there, or the target is the end.
        const double duration = durationSeconds();
        const double target = std::min(anchorPosition_, duration);
        if (target + kEpsilon < duration && item_->playableEnd(target) <= target + kEpsilon) {
            item_->prepareToPlay(target);
            return;
        }
    }
    seeking_ = false;
    auto completion = std::exchange(seekCompletion_, nullptr);
    const bool finished = status == PlayerItemStatus::readyToPlay;
    if (finished) {
        anchorPosition_ = std::min(anchorPosition_, durationSeconds());
        item_->setCurrentSeconds(anchorPosition_);
        fireObservers(true);
    }
    update();
    if (completion) completion(finished);
}

void Player::itemDidChange() {
    if (seeking_) {
        finishSeek();
        return;
    }
    update();
}

}  // namespace platform::media
