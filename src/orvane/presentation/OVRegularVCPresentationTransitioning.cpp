#include "orvane/presentation/OVRegularVCPresentationTransitioning.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "orvane/presentation/OVRegularTransitionProperty.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Application.hpp"

namespace orvane {

using namespace platform::ui;
using Regular = OVConstants::OVVCPresentationTransitioning::Regular;
using State = OVRegularDisplayState;

namespace {

constexpr double openingSpringDivisor = 500;
constexpr double openingDamping = 0.65;
constexpr double openingVelocity = 1.0;
constexpr Size panelShadowOffset{-5, -5};
constexpr double handleSide = 40;
constexpr double flickDurationCap = 0.25;
constexpr double springBackMinimum = 0.35;
constexpr double springBackDivisor = 500;
constexpr double springBackDamping = 0.6;
constexpr double springBackVelocity = 0.05;
constexpr double dismissVelocityFloor = 250;
constexpr double dismissDurationCap = 0.6;
constexpr double dismissDefaultVelocity = 600;

// A duration from a distance and a speed: never negative (a panel dragged
// past the edge has a negative distance left) and never more than `cap`.
double travelDuration(double distance, double speed, double cap) {
    const double d = std::min(distance / speed, cap);
    return std::isfinite(d) ? std::max(d, 0.0) : 0.0;
}

}  // namespace

std::shared_ptr<OVRegularVCPresentationTransitioning> OVRegularVCPresentationTransitioning::create() {
    return std::make_shared<OVRegularVCPresentationTransitioning>(ConstructorKey{});
}

double OVRegularVCPresentationTransitioning::transitionDuration(const std::shared_ptr<TransitionContext>&) {
    return Regular::openingAnimationDuration;
}

const std::shared_ptr<PanGestureRecognizer>& OVRegularVCPresentationTransitioning::dismissPanGestureRecognizer() {
    if (!dismissPanGestureRecognizer_) {
        auto self = std::static_pointer_cast<OVRegularVCPresentationTransitioning>(shared_from_this());
        dismissPanGestureRecognizer_ =
            PanGestureRecognizer::create(self, &OVRegularVCPresentationTransitioning::handleDismissPan);
        dismissPanGestureRecognizer_->setEnabled(false);
    }
    return dismissPanGestureRecognizer_;
}

void OVRegularVCPresentationTransitioning::setDisplayState(State state) {
    displayState_ = state;
    if (auto vc = presentedVC()) vc->stateDidChange(displayState_);
}

void OVRegularVCPresentationTransitioning::animateTransition(const std::shared_ptr<TransitionContext>& context) {
    if (!context) return;
    auto from = context->viewController(TransitionContextKey::from);
    auto presented = OVPresentable<OVRegularPresentableViewController>::of(
        context->viewController(TransitionContextKey::to));
    if (!from || !presented) {
        // Left waiting, the platform would ignore every touch for good.
        platform::core::debugPrint("Side panel: the transition has no presentable controller; cancelled");
        context->completeTransition(false);
        return;
    }
    auto container = context->containerView();
    setContainerView(container);
    setPresentingVC(from);
    setPresentedVC(presented);
    setPresentableVC(presented);

    auto shadow = addShadowView(container);
    setShadowView(shadow);

    auto panel = View::create(container->bounds());
    container->addSubview(panel);
    panel->setTranslatesAutoresizingMaskIntoConstraints(false);
    presentedVCUnderlyingView_ = panel;

    auto presentedView = presented.controller->view();
    panel->addSubview(presentedView);
    customizeLayers(panel, presentedView, panelShadowOffset);

    const std::weak_ptr<GestureRecognizerDelegate> recognizersDelegate = presented.protocol;
    const auto& tap = tapToCloseGestureRecognizer();
    tap->setDelegate(recognizersDelegate);
    container->addGestureRecognizer(tap);
    presented->closeTapGestureRecognizerWasSet(tap);

    const auto& pan = dismissPanGestureRecognizer();
    pan->setDelegate(recognizersDelegate);
    container->addGestureRecognizer(pan);
    presented->dismissGestureRecognizerWasSetForRegularDisplay(pan);

    setSwipeButton();

    const double statusBarHeight = Application::shared().statusBarFrame().size.height;
    auto right = panel->rightAnchor().constraintEqualTo(container->rightAnchor(), 0);
    LayoutConstraint::activate({
        panel->widthAnchor().constraintEqualToConstant(Regular::width),
        panel->topAnchor().constraintEqualTo(container->topAnchor(), statusBarHeight),
        panel->bottomAnchor().constraintEqualTo(container->bottomAnchor()),
        right,
    });

    setTransitionProperties({
        OVRegularTransitionProperty::ShadowViewAlpha::create(shadow),
        OVRegularTransitionProperty::PresentedVCRightConstraint::create(right),
        OVRegularTransitionProperty::SwipeButtonHeightFactor::create(swipeDownButton()),
    });
    OVTransitionProperty::set(transitionProperties(), rawValue(State::closed));
    if (auto c = containerView()) c->layoutIfNeeded();

    presented->presentationAnimationWillStart();

    auto self = std::static_pointer_cast<OVRegularVCPresentationTransitioning>(shared_from_this());
    View::animate(
        Regular::width / openingSpringDivisor, 0, openingDamping, openingVelocity, {},
        [self, container] {
            OVTransitionProperty::set(self->transitionProperties(), rawValue(State::displayed));
            container->layoutIfNeeded();
        },
        [self, container, context](bool finished) {
            context->completeTransition(finished);
            self->dismissPanGestureRecognizer()->setEnabled(true);
            self->setDisplayState(State::displayed);
        });
}

void OVRegularVCPresentationTransitioning::setSwipeButton() {
    auto container = containerView();
    auto presented = presentedVC();
    if (!container || !presented) return;
    auto handle = OVSwipeButon::create();
    container->addSubview(handle);
    handle->setTranslatesAutoresizingMaskIntoConstraints(false);
    LayoutConstraint::activate({
        handle->widthAnchor().constraintEqualToConstant(handleSide),
        handle->heightAnchor().constraintEqualToConstant(handleSide),
        handle->centerYAnchor().constraintEqualTo(container->centerYAnchor()),
        handle->rightAnchor().constraintEqualTo(presented.controller->view()->leftAnchor()),
    });
    handle->setTransform(AffineTransform::rotation(-std::numbers::pi / 2));
    setSwipeDownButton(handle);
    setSwipeTarget();
}

void OVRegularVCPresentationTransitioning::handleDismissPan(PanGestureRecognizer& panGestureRecognizer) {
    auto container = containerView();
    if (!container) return;
    const double velocity = panGestureRecognizer.velocity(container.get()).x;
    // A drag to the left (or a translation that is no number) counts as none.
    const double dragged = panGestureRecognizer.translation(container.get()).x;
    const double translation = dragged > 0 ? dragged : 0.0;
    const double position = Regular::width - translation;
    const double relativePosition = position / Regular::width;
    auto self = std::static_pointer_cast<OVRegularVCPresentationTransitioning>(shared_from_this());

    switch (panGestureRecognizer.state()) {
        case GestureRecognizerState::changed:
            OVTransitionProperty::update(transitionProperties(), relativePosition, rawValue(State::shrinking));
            break;
        case GestureRecognizerState::ended:
            if (velocity > flickVelocity) {
                View::animate(
                    travelDuration(position, velocity, flickDurationCap),
                    [self, container] {
                        OVTransitionProperty::set(self->transitionProperties(), rawValue(State::closed));
                        container->layoutIfNeeded();
                    },
                    [self](bool finished) {
                        if (finished) self->finishDismissal();
                    });
            } else {
                View::animate(
                    std::max(translation / springBackDivisor, springBackMinimum), 0, springBackDamping,
                    springBackVelocity, {},
                    [self, container] {
                        OVTransitionProperty::set(self->transitionProperties(), rawValue(State::displayed));
                        container->layoutIfNeeded();
                    });
            }
            break;
        default: break;
    }
}

void OVRegularVCPresentationTransitioning::dismiss() { dismiss(dismissDefaultVelocity); }

void OVRegularVCPresentationTransitioning::dismiss(double velocity) {
    auto container = containerView();
    if (!container) return;
    const double width = container->bounds().size.width;
    auto panel = presentedVCUnderlyingView_.lock();
    if (!panel) return;
    const double x = panel->frame().origin.x;
    const double duration = travelDuration(width - x, std::max(velocity, dismissVelocityFloor), dismissDurationCap);
    dismissPanGestureRecognizer()->setEnabled(false);
    auto self = std::static_pointer_cast<OVRegularVCPresentationTransitioning>(shared_from_this());
    ViewAnimationOptions options;
    options.curve = ViewAnimationCurve::easeIn;
    View::animate(
        duration, 0, options,
        [self, container] {
            OVTransitionProperty::set(self->transitionProperties(), rawValue(State::closed));
            container->layoutIfNeeded();
        },
        [self](bool) { self->finishDismissal(); });
}

void OVRegularVCPresentationTransitioning::finishDismissal() {
    if (auto vc = presentedVC()) vc.controller->dismiss(false);
    setDisplayState(State::closed);
}

void OVRegularVCPresentationTransitioning::fullExpand(std::function<void()> /*completion*/) {}

}  // namespace orvane
