// A small utility that runs a closure on a platform timer of the main run
// loop. The scheduled timer keeps its OVTimer alive: a one-shot timer lets it
// go after its single fire, a repeating timer keeps firing for the life of the
// process (OVTimer has no way to stop it). Main-thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/core/Timer.hpp"

namespace orvane {

class OVTimer : public std::enable_shared_from_this<OVTimer> {
public:
    using Block = std::function<void()>;

    // A timer without a platform timer and without a closure: it never runs anything.
    static std::shared_ptr<OVTimer> create();

    // Creates an OVTimer holding `block` and schedules a platform timer of
    // `timeInterval` seconds whose action is executeBlock().
    static std::shared_ptr<OVTimer> scheduledTimer(double timeInterval, bool repeats, Block block);

    // The scheduled platform timer; none once it is no longer scheduled.
    std::shared_ptr<platform::core::Timer> timer() const { return timer_.lock(); }
    void setTimer(const std::shared_ptr<platform::core::Timer>& timer) { timer_ = timer; }
    const Block& block() const { return block_; }
    void setBlock(Block block) { block_ = std::move(block); }

private:
    OVTimer() = default;
    // The timer's action: runs the closure when there is one.
    void executeBlock();

    // Weak: the run loop owns the scheduled timer and the timer owns its
    // target (this object), so a strong reference back would be a cycle.
    std::weak_ptr<platform::core::Timer> timer_;
    Block block_;
};

}  // namespace orvane
