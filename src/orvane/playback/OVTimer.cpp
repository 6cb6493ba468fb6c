#include "orvane/playback/OVTimer.hpp"

namespace orvane {

std::shared_ptr<OVTimer> OVTimer::create() { return std::shared_ptr<OVTimer>(new OVTimer()); }

std::shared_ptr<OVTimer> OVTimer::scheduledTimer(double timeInterval, bool repeats, Block block) {
    auto ovTimer = create();
    ovTimer->block_ = std::move(block);
    // The platform timer holds its target strongly while it is scheduled.
    ovTimer->timer_ = platform::core::Timer::scheduledTimer(
        timeInterval, repeats, [target = ovTimer](platform::core::Timer&) { target->executeBlock(); });
    return ovTimer;
}

void OVTimer::executeBlock() {
    if (block_) block_();
}

}  // namespace orvane
