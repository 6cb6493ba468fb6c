// How the root container and the coordinator hold and drive a presentation's
// animator: its delegate (held weakly), its container view, `dismiss()` at
// the animator's own speed and `fullExpand` to the largest state (the side
// panel has none and never calls the completion). It is the animation
// controller the container returns for its presentation. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "orvane/presentation/OVOpenCloseExpandDelegate.hpp"
#include "platform/ui/controllers/TransitionContext.hpp"

namespace orvane {

class OVVCPresentationTransitioningProtocol : public platform::ui::AnimatedTransitioning {
public:
    virtual std::shared_ptr<OVOpenCloseExpandDelegate> delegate() const = 0;
    virtual void setDelegate(std::weak_ptr<OVOpenCloseExpandDelegate> delegate) = 0;
    virtual std::shared_ptr<platform::ui::View> containerView() const = 0;
    virtual void dismiss() = 0;
    virtual void fullExpand(std::function<void()> completion) = 0;
};

}  // namespace orvane
