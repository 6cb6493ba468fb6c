#include "orvane/coordinator/Orvane.hpp"

#include "orvane/coordinator/OVCoordinator.hpp"
#include "platform/core/RunLoop.hpp"

namespace orvane {

Orvane& Orvane::shared() {
    static Orvane instance;
    return instance;
}

void Orvane::start() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (coordinator_) coordinator_->quit();
    coordinator_ = OVCoordinator::create();
}

}  // namespace orvane
