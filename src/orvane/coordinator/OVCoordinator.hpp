// The coordinator: created by the facade at each start, it tells the widget
// that the player opened, and when it quits that the player closed.
// Main-thread only; owned by the facade.
#pragma once

#include <memory>

namespace orvane {

class OVCoordinator : public std::enable_shared_from_this<OVCoordinator> {
    struct Token {
        explicit Token() = default;
    };

public:
    explicit OVCoordinator(Token) {}

    // Sends the player-open action to the widget.
    static std::shared_ptr<OVCoordinator> create();

    OVCoordinator(const OVCoordinator&) = delete;
    OVCoordinator& operator=(const OVCoordinator&) = delete;

    // Sends the player-close action, then the close tracking action.
    void quit();
};

}  // namespace orvane
