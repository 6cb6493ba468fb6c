#include "orvane/coordinator/Orvane.hpp"

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"

namespace orvane {

Orvane& Orvane::shared() {
    static platform::core::NoDestructor<Orvane> instance{std::in_place, [] { return Orvane(); }};
    return *instance;
}

namespace {

// A widget's web view restarts the component through the facade.
[[maybe_unused]] const bool starterInstalled = [] {
    OVWebView::installComponentStarter([] { Orvane::shared().start(); });
    return true;
}();

}  // namespace

std::optional<OVAudioPlayerStatus> Orvane::playerStatus() const {
    if (!coordinator_ || !coordinator_->player()) return std::nullopt;
    return coordinator_->player()->status();
}

void Orvane::start() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (coordinator_) coordinator_->quit();
    coordinator_ = OVCoordinator::create();
}

}  // namespace orvane
