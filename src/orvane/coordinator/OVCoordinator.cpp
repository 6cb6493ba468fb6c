#include "orvane/coordinator/OVCoordinator.hpp"

#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

std::shared_ptr<OVCoordinator> OVCoordinator::create() {
    auto coordinator = std::make_shared<OVCoordinator>(Token{});
    OVWidgetManager::shared().send(OVWidgetManager::SDKPlayerAction::open());
    return coordinator;
}

void OVCoordinator::quit() {
    auto& bridge = OVWidgetManager::shared();
    bridge.send(OVWidgetManager::SDKPlayerAction::close());
    bridge.send(OVWidgetManager::SDKTracking::close);
}

}  // namespace orvane
