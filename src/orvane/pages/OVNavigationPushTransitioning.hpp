// The push and pop animation of a screen: the incoming page slides in from
// 70 points to one side while the outgoing page slides 70 points the other
// way, over a background colour, in 0.2 seconds. Made anew by a screen for
// each push or pop and held by the navigation controller for the length of
// that transition. Main thread only.
#pragma once

#include <memory>

#include "platform/graphics/Color.hpp"
#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/controllers/TransitionContext.hpp"

namespace orvane {

class OVNavigationPushTransitioning : public platform::ui::AnimatedTransitioning {
    struct Token {
        explicit Token() = default;
    };

public:
    using Operation = platform::ui::NavigationControllerOperation;

    static std::shared_ptr<OVNavigationPushTransitioning> create(platform::graphics::Color backgroundColor,
                                                                 Operation operation);
    OVNavigationPushTransitioning(Token, platform::graphics::Color backgroundColor, Operation operation)
        : backgroundColor_(backgroundColor), operation_(operation) {}

    const platform::graphics::Color& backgroundColor() const { return backgroundColor_; }
    Operation operation() const { return operation_; }

    // Always 0.2 seconds, with any context or none.
    double transitionDuration(const std::shared_ptr<platform::ui::TransitionContext>& context) override;
    // Push: the new page from +70 points and transparent to its place, the
    // old page to -70. Pop: the previous page from -70 points under the
    // current one, which leaves to +70 while it fades out. The container
    // shows the background colour meanwhile; the transition then completes.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

private:
    platform::graphics::Color backgroundColor_;
    Operation operation_;
};

}  // namespace orvane
