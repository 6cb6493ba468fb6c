// The context of one controller transition (a presentation, a dismissal, a
// push or a pop): the container view in which it happens, the controllers
// and views it moves from and to, and `completeTransition`, which the
// animator calls once when its animation is over and which decides the
// outcome. Made by the controller that runs the transition and handed to the
// animator (an `AnimatedTransitioning`). Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

class ViewController;
class TransitionContext;

// What an animator of controller transitions answers.
class AnimatedTransitioning {
public:
    virtual ~AnimatedTransitioning() = default;
    virtual double transitionDuration(const std::shared_ptr<TransitionContext>& context) = 0;
    // Animates, then calls `context->completeTransition(...)` exactly once.
    virtual void animateTransition(const std::shared_ptr<TransitionContext>& context) = 0;
    // Told after the transition completed (true) or was cancelled (false).
    virtual void animationEnded(bool /*transitionCompleted*/) {}
};

enum class TransitionContextKey { from, to };

class TransitionContext : public std::enable_shared_from_this<TransitionContext> {
public:
    // `finish` receives the outcome; it runs once, on the first completion.
    using Finish = std::function<void(bool completed)>;
    static std::shared_ptr<TransitionContext> create(std::shared_ptr<View> containerView,
                                                     std::shared_ptr<ViewController> from,
                                                     std::shared_ptr<ViewController> to,
                                                     bool animated, Finish finish);

    const std::shared_ptr<View>& containerView() const { return containerView_; }
    std::shared_ptr<ViewController> viewController(TransitionContextKey key) const;
    // The view moving in or out: the controller's view; none for a view the
    // transition does not move (the presenting view under a custom
    // presentation, which stays where it is).
    std::shared_ptr<View> view(TransitionContextKey key) const;
    void withholdView(TransitionContextKey key) {
        (key == TransitionContextKey::from ? withholdFrom_ : withholdTo_) = true;
    }
    bool isAnimated() const { return animated_; }
    // Where a controller's view should end: the container's bounds for the
    // controller moving in, an empty rectangle for the one moving out.
    Rect finalFrame(const ViewController& controller) const;
    Rect initialFrame(const ViewController& controller) const;

    // Ends the transition: true keeps the result, false returns to where it
    // started. Only the first call counts; later ones are ignored with a
    // debug line.
    void completeTransition(bool didComplete);
    bool isCompleted() const { return completed_; }
    bool transitionWasCancelled() const { return cancelled_; }

    // The animator running this transition; told `animationEnded`.
    void setAnimator(std::shared_ptr<AnimatedTransitioning> animator) { animator_ = std::move(animator); }

    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };
    TransitionContext(ConstructorKey, std::shared_ptr<View> containerView, std::shared_ptr<ViewController> from,
                      std::shared_ptr<ViewController> to, bool animated, Finish finish);

private:
    std::shared_ptr<View> containerView_;
    std::shared_ptr<ViewController> from_;
    std::shared_ptr<ViewController> to_;
    std::shared_ptr<AnimatedTransitioning> animator_;
    bool animated_;
    Finish finish_;
    bool withholdFrom_ = false;
    bool withholdTo_ = false;
    bool completed_ = false;
    bool cancelled_ = false;
};

}  // namespace platform::ui
