// What the footer player asks of its owner (the root container): the player
// actions of `OVPlayerUserActionDelegate` (play and pause from its buttons)
// and a tap on the bar's open button. Held weakly by the footer player and
// called on the main thread.
#pragma once

#include "orvane/playback/OVPlayerUserActionDelegate.hpp"

namespace orvane {

class OVFooterPlayerDelegate : public OVPlayerUserActionDelegate {
public:
    ~OVFooterPlayerDelegate() override = default;
    virtual void didTapFooterPlayer() = 0;
};

}  // namespace orvane
