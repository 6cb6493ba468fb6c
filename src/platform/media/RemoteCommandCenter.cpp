#include "platform/media/RemoteCommandCenter.hpp"

#include <algorithm>

#include "platform/media/MprisService.hpp"

namespace platform::media {

std::uint64_t RemoteCommand::addTarget(Handler handler) {
    const auto id = nextId_++;
    targets_.push_back(Target{id, std::move(handler)});
    MprisService::shared().remoteCommandsDidChange();
    return id;
}

void RemoteCommand::removeTarget(std::uint64_t target) {
    if (std::erase_if(targets_, [target](const Target& t) { return t.id == target; }) > 0) {
        MprisService::shared().remoteCommandsDidChange();
    }
}

void RemoteCommand::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    MprisService::shared().remoteCommandsDidChange();
}

std::vector<RemoteCommandHandlerStatus> RemoteCommand::fire(const RemoteEvent& event) {
    // A copy: a handler may add or remove targets.
    const auto targets = targets_;
    std::vector<RemoteCommandHandlerStatus> statuses;
    statuses.reserve(targets.size());
    for (const auto& target : targets) statuses.push_back(target.handler(event));
    return statuses;
}

RemoteCommandCenter& RemoteCommandCenter::shared() {
    static RemoteCommandCenter center;
    return center;
}

}  // namespace platform::media
