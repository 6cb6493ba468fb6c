// A listener's tap on the skip button of an ad, declared with the player
// cell. The main page adopts it and does nothing with the tap. Held weakly;
// main thread only.
#pragma once

namespace orvane {

class OVAdUserInteractionDelegate {
public:
    virtual ~OVAdUserInteractionDelegate() = default;
    virtual void didTapSkipButton() = 0;
};

}  // namespace orvane
