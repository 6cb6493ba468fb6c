#include "orvane/pages/OVNavigationPushTransitioning.hpp"

#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

using platform::graphics::AffineTransform;
using platform::ui::TransitionContext;
using platform::ui::TransitionContextKey;
using platform::ui::View;
using platform::ui::ViewAnimationCurve;
using platform::ui::ViewAnimationOptions;

std::shared_ptr<OVNavigationPushTransitioning> OVNavigationPushTransitioning::create(
    platform::graphics::Color backgroundColor, Operation operation) {
    return std::make_shared<OVNavigationPushTransitioning>(Token{}, backgroundColor, operation);
}

double OVNavigationPushTransitioning::transitionDuration(const std::shared_ptr<TransitionContext>& /*context*/) {
    return OVConstants::OVScreen::Transitioning::duration;
}

void OVNavigationPushTransitioning::animateTransition(const std::shared_ptr<TransitionContext>& context) {
    if (!context) return;
    const double t = OVConstants::OVScreen::Transitioning::translation;
    const double d = OVConstants::OVScreen::Transitioning::duration;
    const auto container = context->containerView();
    const auto toController = context->viewController(TransitionContextKey::to);
    const auto fromView = context->view(TransitionContextKey::from);
    const auto toView = context->view(TransitionContextKey::to);
    // Not a push or a pop between two pages: nothing to move, but the
    // transition must still end.
    if (!container || !fromView || !toView || !toController || operation_ == Operation::none) {
        context->completeTransition(true);
        return;
    }
    container->setBackgroundColor(backgroundColor_);
    toView->setFrame(context->finalFrame(*toController));
    const ViewAnimationOptions easeOut{.curve = ViewAnimationCurve::easeOut};

    if (operation_ == Operation::push) {
        toView->setTransform(AffineTransform::translation(t, 0));
        toView->setAlpha(0);
        container->addSubview(toView);
        View::animate(
            d, 0, easeOut,
            [fromView, toView, t] {
                fromView->setTransform(AffineTransform::translation(-t, 0));
                toView->setTransform(AffineTransform::identity());
                toView->setAlpha(1);
            },
            [context, container, fromView](bool) {
                fromView->setTransform(AffineTransform::identity());
                container->setBackgroundColor(std::nullopt);
                context->completeTransition(true);
            });
        return;
    }

    toView->setTransform(AffineTransform::translation(-t, 0));
    if (fromView->superview() == container) {
        container->insertSubviewBelow(toView, fromView);
    } else {
        container->insertSubview(toView, 0);
    }
    View::animate(
        d, 0, easeOut,
        [fromView, toView, t] {
            toView->setTransform(AffineTransform::identity());
            fromView->setTransform(AffineTransform::translation(t, 0));
            fromView->setAlpha(0);
        },
        [context, container](bool) {
            container->setBackgroundColor(std::nullopt);
            context->completeTransition(true);
        });
}

}  // namespace orvane
