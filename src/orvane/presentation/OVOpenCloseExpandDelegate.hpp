// The requests that leave the presentation and the chip for the coordinator:
// close (quit listening), swipe down (put the container away while
// listening goes on) and open-expand (show the container; raised by the
// chip). Held weakly by its callers; main thread only.
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
