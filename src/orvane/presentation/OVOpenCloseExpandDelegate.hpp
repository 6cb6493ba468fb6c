// What the listener asks of the component from its presentation: quit (the
// cancel button), put the container away while playback goes on (the swipe
// handle, a tap beside the container) or open it (the chip). Implemented by
// the coordinator; animators and the chip hold it weakly. Main thread only.
#pragma once

namespace orvane {

class OVOpenCloseExpandDelegate {
public:
    virtual ~OVOpenCloseExpandDelegate() = default;
    virtual void didTapClose() = 0;
    virtual void didTapSwipeDown() = 0;
    virtual void didTapOpenExapnd() = 0;
};

}  // namespace orvane
