// A view that runs a looping animation on demand: the loading spinner, the
// equalizer and the marquee label. Each adopter gives its own rules for
// repeated and unpaired calls. Main thread only.
#pragma once

namespace orvane {

class OVAnimationView {
public:
    virtual ~OVAnimationView() = default;
    virtual void startAnimation() = 0;
    virtual void stopAnimation() = 0;
};

}  // namespace orvane
