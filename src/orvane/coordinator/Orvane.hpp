// The component's facade: the one object the host talks to. `start()` quits
// the running coordinator, if any, and creates a new one, which the facade
// owns. Main-thread only; one instance for the process (`shared()`).
#pragma once

#include <memory>
#include <optional>

#include "orvane/widget/OVAudioPlayerStatus.hpp"

namespace orvane {

class OVCoordinator;

class Orvane {
public:
    static Orvane& shared();

    Orvane(const Orvane&) = delete;
    Orvane& operator=(const Orvane&) = delete;

    // Quits the current coordinator (when there is one), then creates a new
    // one and keeps it. Never fails.
    void start();

    // The running component's audio player status; none before the first
    // start.
    std::optional<OVAudioPlayerStatus> playerStatus() const;

    // The running coordinator, none before the first start.
    const std::shared_ptr<OVCoordinator>& coordinator() const { return coordinator_; }

private:
    Orvane() = default;

    std::shared_ptr<OVCoordinator> coordinator_;
};

}  // namespace orvane
