#include "platform/ui/controllers/TransitionContext.hpp"

#include "platform/core/DebugPrint.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace platform::ui {

std::shared_ptr<TransitionContext> TransitionContext::create(std::shared_ptr<View> containerView,
                                                             std::shared_ptr<ViewController> from,
                                                             std::shared_ptr<ViewController> to, bool animated,
                                                             Finish finish) {
    return std::make_shared<TransitionContext>(ConstructorKey{}, std::move(containerView), std::move(from),
                                               std::move(to), animated, std::move(finish));
}

TransitionContext::TransitionContext(ConstructorKey, std::shared_ptr<View> containerView,
                                     std::shared_ptr<ViewController> from, std::shared_ptr<ViewController> to,
                                     bool animated, Finish finish)
    : containerView_(std::move(containerView)),
      from_(std::move(from)),
      to_(std::move(to)),
      animated_(animated),
      finish_(std::move(finish)) {}

std::shared_ptr<ViewController> TransitionContext::viewController(TransitionContextKey key) const {
    return key == TransitionContextKey::from ? from_ : to_;
}

std::shared_ptr<View> TransitionContext::view(TransitionContextKey key) const {
    const auto& controller = key == TransitionContextKey::from ? from_ : to_;
    if (key == TransitionContextKey::from ? withholdFrom_ : withholdTo_) return nullptr;
    return controller ? controller->view() : nullptr;
}

Rect TransitionContext::finalFrame(const ViewController& controller) const {
    if (to_.get() == &controller && containerView_) return containerView_->bounds();
    return Rect::zero();
}

Rect TransitionContext::initialFrame(const ViewController& controller) const {
    if (from_.get() == &controller && containerView_) return containerView_->bounds();
    return Rect::zero();
}

void TransitionContext::completeTransition(bool didComplete) {
    if (completed_) {
        core::debugPrint("TransitionContext: completeTransition called again; ignored");
        return;
    }
    completed_ = true;
    cancelled_ = !didComplete;
    // Keep this context alive while the outcome runs: the finish may drop
    // the last other reference to it.
    auto self = shared_from_this();
    auto finish = std::move(finish_);
    finish_ = nullptr;
    if (finish) finish(didComplete);
    if (auto animator = std::move(animator_)) animator->animationEnded(didComplete);
}

}  // namespace platform::ui
