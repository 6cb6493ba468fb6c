#include "orvane/presentation/OVCompactVCPresentationTransitioning.hpp"

#include "orvane/presentation/OVCancelButton.hpp"
#include "orvane/presentation/OVCompactSheetMotion.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/toolkit/OVViewWithTouchOutsideBounds.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

using namespace platform::ui;
using State = OVCompactDisplayState;
using Transitioning = OVConstants::OVVCPresentationTransitioning;
using GRState = GestureRecognizerState;

namespace {

constexpr int raw(State state) { return rawValue(state); }

// The handle and the cancel button are 40 x 40 points.
constexpr double controlSide = 40;
// Without a constraint against it, the sheet is this wide where the
// container allows it.
constexpr double sheetPreferredWidth = 500;

}  // namespace

// ---- ExpandingPanGestureRecognizer ----

std::optional<double> OVCompactVCPresentationTransitioning::ExpandingPanGestureRecognizer::positionEstimation(
    double translation) {
    if (!lastPosition_) return std::nullopt;
    const double estimate = translation - lastTranslation_ + *lastPosition_;
    lastTranslation_ = translation;
    return estimate;
}

// ---- Creation ----

std::shared_ptr<OVCompactVCPresentationTransitioning> OVCompactVCPresentationTransitioning::create(
    bool fullExpandRequired) {
    return std::make_shared<OVCompactVCPresentationTransitioning>(ConstructorKey{}, fullExpandRequired);
}

OVCompactVCPresentationTransitioning::OVCompactVCPresentationTransitioning(ConstructorKey, bool fullExpandRequired)
    : fullExpandRequired_(fullExpandRequired) {}

std::shared_ptr<OVCompactVCPresentationTransitioning> OVCompactVCPresentationTransitioning::self() {
    return std::static_pointer_cast<OVCompactVCPresentationTransitioning>(shared_from_this());
}

const std::shared_ptr<OVCompactVCPresentationTransitioning::ExpandingPanGestureRecognizer>&
OVCompactVCPresentationTransitioning::expandingPanGestureRecognizer() {
    if (!expandingPanGestureRecognizer_) {
        expandingPanGestureRecognizer_ =
            ExpandingPanGestureRecognizer::create(self(), &OVCompactVCPresentationTransitioning::handleExpandingPan);
        expandingPanGestureRecognizer_->setMaximumNumberOfTouches(1);
    }
    return expandingPanGestureRecognizer_;
}

const std::shared_ptr<PanGestureRecognizer>& OVCompactVCPresentationTransitioning::dismissPanGestureRecognizer() {
    if (!dismissPanGestureRecognizer_) {
        dismissPanGestureRecognizer_ =
            PanGestureRecognizer::create(self(), &OVCompactVCPresentationTransitioning::handleDismissPan);
        dismissPanGestureRecognizer_->setEnabled(false);
    }
    return dismissPanGestureRecognizer_;
}

void OVCompactVCPresentationTransitioning::setDisplayState(State state) {
    const State previous = displayState_;
    displayState_ = state;
    if (auto vc = presentedVC()) vc->stateDidChange(previous, state);
}

// ---- Opening ----

double OVCompactVCPresentationTransitioning::transitionDuration(const std::shared_ptr<TransitionContext>&) {
    return Transitioning::Compact::openingAnimationDuration;
}

std::shared_ptr<View> OVCompactVCPresentationTransitioning::addAlphaMaskView(
    const std::shared_ptr<View>& toPresentedVCUnderlyingView, const Color& withBackgroundColor) {
    auto mask = View::create();
    mask->setBackgroundColor(withBackgroundColor);
    mask->setTranslatesAutoresizingMaskIntoConstraints(false);
    if (!toPresentedVCUnderlyingView) return mask;
    const auto& sheet = toPresentedVCUnderlyingView;
    sheet->addSubview(mask);
    LayoutConstraint::activate({mask->leftAnchor().constraintEqualTo(sheet->leftAnchor()),
                                mask->rightAnchor().constraintEqualTo(sheet->rightAnchor()),
                                mask->bottomAnchor().constraintEqualTo(sheet->bottomAnchor())});
    return mask;
}

void OVCompactVCPresentationTransitioning::setSwipeButton() {
    auto vc = presentedVC();
    if (!vc) return;
    auto presentedView = vc.controller->view();
    auto handle = OVSwipeButon::create();
    if (auto sheet = presentedVCUnderlyingView_.lock()) sheet->addSubview(handle);
    handle->setTranslatesAutoresizingMaskIntoConstraints(false);
    LayoutConstraint::activate({handle->widthAnchor().constraintEqualToConstant(controlSide),
                                handle->heightAnchor().constraintEqualToConstant(controlSide),
                                handle->centerXAnchor().constraintEqualTo(presentedView->centerXAnchor()),
                                handle->bottomAnchor().constraintEqualTo(presentedView->topAnchor())});
    setSwipeDownButton(handle);
}

void OVCompactVCPresentationTransitioning::setCancelButton() {
    auto vc = presentedVC();
    if (!vc) return;
    auto presentedView = vc.controller->view();
    auto button = OVCancelButton::create();
    if (auto container = containerView()) container->addSubview(button);
    button->setTranslatesAutoresizingMaskIntoConstraints(false);
    LayoutConstraint::activate({button->widthAnchor().constraintEqualToConstant(controlSide),
                                button->heightAnchor().constraintEqualToConstant(controlSide),
                                button->leftAnchor().constraintEqualTo(presentedView->leftAnchor())});
    if (auto handle = swipeDownButton()) {
        button->centerYAnchor().constraintEqualTo(handle->centerYAnchor())->setActive(true);
    }
    OVVCPresentationTransitioning::setCancelButton(button);
    setCancel();
}

void OVCompactVCPresentationTransitioning::animateTransition(const std::shared_ptr<TransitionContext>& context) {
    if (!context) return;
    auto presenting = context->viewController(TransitionContextKey::from);
    auto presented =
        OVPresentable<OVCompactPresentableViewController>::of(context->viewController(TransitionContextKey::to));
    if (!presenting || !presented) {
        // Nothing is built; the transition still ends, refused, so that the
        // window takes touches again and the presenter may present later.
        context->completeTransition(false);
        return;
    }
    const auto& container = context->containerView();
    setContainerView(container);
    setPresentingVC(presenting);
    setPresentableVC(presented);
    setPresentedVC(presented);
    auto presentedView = presented.controller->view();

    presentedView->setFrame(presentedView->bounds());
    setShadowView(addShadowView(container));

    auto sheet = OVViewWithTouchOutsideBounds::create(container->bounds());
    container->addSubview(sheet);

    const auto& tap = tapToCloseGestureRecognizer();
    tap->setDelegate(presented.protocol);
    container->addGestureRecognizer(tap);
    presented->closeTapGestureRecognizerWasSet(tap);

    const auto& expandingPan = expandingPanGestureRecognizer();
    expandingPan->setDelegate(presented.protocol);
    sheet->addGestureRecognizer(expandingPan);
    presented->expandingPanGestureRecognizerWasSet(expandingPan);

    const auto& dismissPan = dismissPanGestureRecognizer();
    dismissPan->setDelegate(presented.protocol);
    presentedView->addGestureRecognizer(dismissPan);
    presented->dismissPanGestureRecognizerWasSet(dismissPan);

    sheet->setTranslatesAutoresizingMaskIntoConstraints(false);
    presentedVCUnderlyingView_ = sheet;
    sheet->addSubview(presentedView);

    std::shared_ptr<View> alphaMask;
    if (const auto theme = presented->theme()) {
        alphaMask = addAlphaMaskView(sheet, theme->backgroundColor());
        alphaMaskView_ = alphaMask;
    }
    presented->controllerViewWasAddedToContainer(container->safeAreaLayoutGuide());
    customizeLayers(sheet, presentedView, {0, -5});

    auto height = sheet->heightAnchor().constraintEqualTo(container->heightAnchor());
    height->setActive(true);
    heightConstraint_ = height;
    sheet->centerXAnchor().constraintEqualTo(container->centerXAnchor())->setActive(true);
    auto width = sheet->widthAnchor().constraintLessThanOrEqualTo(container->widthAnchor());
    auto top = sheet->topAnchor().constraintEqualTo(container->safeAreaLayoutGuide().bottomAnchor());
    LayoutConstraint::activate({width, top});
    widthConstraint_ = width;
    topConstraint_ = top;

    setSwipeButton();
    if (auto handle = swipeDownButton()) sheet->addTouchView(handle);
    setCancelButton();

    using P = OVCompactTransitionProperty;
    OVTransitionPropertyList properties{
        P::PresentingVCTransform::create(presenting->view()),
        P::PresentingVCCornerRadius::create(presenting->view()),
        P::ShadowViewAlpha::create(shadowView()),
        P::AlphaMask::create(alphaMask),
        P::ImageRatio::create(presented.protocol),
        P::PresentedVCWidth::create(width),
        P::CancelButtonDisplay::create(cancelButton()),
        P::SwipeButtonHeightFactor::create(swipeDownButton()),
    };
    for (auto& extra : presented->transitionProperties()) properties.push_back(std::move(extra));
    setTransitionProperties(properties);
    OVTransitionProperty::set(properties, raw(State::closed));

    auto preferredWidth = sheet->widthAnchor().constraintEqualToConstant(sheetPreferredWidth);
    preferredWidth->setPriority(LayoutPriority::defaultLow);
    preferredWidth->setActive(true);

    container->layoutIfNeeded();
    presented->setImageRatio(2.0 / 3.0, true);
    container->layoutIfNeeded();

    const auto previewView = presented->preview();
    previewHeight_ = compactsheet::finiteOr(previewView ? previewView->bounds().size.height : 0);
    // r, the preview's relative position; unknown (formulas that need it
    // stay still) in a container without height.
    const double H = container->bounds().size.height;
    std::optional<double> r;
    if (H > 0) r = previewHeight_ / H;
    for (const auto& property : properties) {
        if (auto compact = std::dynamic_pointer_cast<OVCompactTransitionProperty>(property)) {
            compact->setPreviewRelativePosition(r);
        }
    }
    OVTransitionProperty::set(properties, raw(State::closed));

    if (alphaMask) alphaMask->topAnchor().constraintEqualTo(sheet->topAnchor(), previewHeight_)->setActive(true);

    container->layoutIfNeeded();
    presented->presentationAnimationWillStart();
    container->layoutIfNeeded();

    if (!fullExpandRequired_) {
        top->setConstant(-previewHeight_);
        auto self = this->self();
        View::animate(
            Transitioning::Compact::openingAnimationDuration, 0, 0.65, 1.0, {},
            [properties, container] {
                OVTransitionProperty::set(properties, raw(State::preview));
                container->layoutIfNeeded();
            },
            [self, context, presentedView](bool finished) {
                context->completeTransition(finished);
                self->previewFrame_ = presentedView->frame();
                self->setDisplayState(State::preview);
            });
    } else {
        expand(650, 0, [context] { context->completeTransition(true); });
    }
}

// ---- Expanding pan ----

void OVCompactVCPresentationTransitioning::handleExpandingPan(ExpandingPanGestureRecognizer& pan) {
    auto container = containerView();
    auto sheet = presentedVCUnderlyingView_.lock();
    if (!container || !sheet) return;
    const double H = container->bounds().size.height;
    // In a container without height nothing follows the finger.
    if (!(H > 0)) return;
    const double ty = compactsheet::finiteOr(pan.translation(container.get()).y);
    const double vy = compactsheet::finiteOr(pan.velocity(container.get()).y);

    switch (pan.state()) {
        case GRState::began: pan.setRealPosition(sheet->frame().origin.y); break;
        case GRState::changed: {
            const auto position = pan.positionEstimation(ty);
            if (!position) break;
            if (*position >= compactsheet::expandEstimateLimit) {
                if (const auto p = compactsheet::expandingRelativePosition(previewHeight_, ty, H)) {
                    OVTransitionProperty::update(transitionProperties(), *p, raw(State::expanding));
                }
                if (auto top = topConstraint_.lock()) top->setConstant(ty - previewHeight_);
                pan.setRealPosition(sheet->frame().origin.y);
            } else {
                expand(vy, ty, nullptr);
            }
            break;
        }
        case GRState::ended:
            switch (compactsheet::expandingRelease(vy, ty)) {
                case compactsheet::ExpandingRelease::dismiss: dismiss(vy); break;
                case compactsheet::ExpandingRelease::expand: {
                    std::weak_ptr<OVCompactVCPresentationTransitioning> weakSelf = self();
                    expand(vy, ty, [weakSelf] {
                        if (auto s = weakSelf.lock()) s->setSwipeTarget();
                    });
                    break;
                }
                case compactsheet::ExpandingRelease::snapBack: {
                    if (auto top = topConstraint_.lock()) top->setConstant(-previewHeight_);
                    const auto properties = transitionProperties();
                    View::animate(0.7, 0, 0.65, 0.1, {.allowUserInteraction = true}, [properties, container] {
                        OVTransitionProperty::set(properties, raw(State::preview));
                        container->layoutIfNeeded();
                    });
                    break;
                }
            }
            break;
        default: break;  // possible, cancelled (the expansion disabling it), failed
    }
}

// ---- Dismiss pan ----

void OVCompactVCPresentationTransitioning::handleDismissPan(PanGestureRecognizer& pan) {
    auto presented = presentedVC();
    auto container = containerView();
    if (!presented || !container) return;
    const double H = container->bounds().size.height;
    if (!(H > 0)) return;
    double ty = compactsheet::finiteOr(pan.translation(container.get()).y);
    const double vy = compactsheet::finiteOr(pan.velocity(container.get()).y);

    switch (pan.state()) {
        case GRState::changed: {
            const bool start = ty >= 0 && presented->shouldStartShrink();
            if (start && displayState_ != State::shrinking) {
                pan.setTranslation({0, 0}, container.get());
                setDisplayState(State::shrinking);
                container->layoutIfNeeded();
            }
            if (displayState_ != State::shrinking) break;
            ty = compactsheet::finiteOr(pan.translation(container.get()).y);
            const auto p = compactsheet::shrinkingRelativePosition(ty, H);
            auto top = topConstraint_.lock();
            if (ty < 0) {
                OVTransitionProperty::set(transitionProperties(), raw(State::fullScreen));
                setDisplayState(State::fullScreen);
                if (top) top->setConstant(topConstraintConstant_);
                View::animate(0.1, [container] { container->layoutIfNeeded(); });
            } else if (p) {
                presented->isShrinking(*p);
                if (top) top->setConstant(ty + topConstraintConstant_);
                OVTransitionProperty::update(transitionProperties(), *p, raw(State::shrinking));
                container->layoutIfNeeded();
            }
            break;
        }
        case GRState::ended: {
            if (displayState_ != State::shrinking) break;
            if (compactsheet::shrinkReleaseDismisses(vy, ty)) {
                dismiss(vy);
                break;
            }
            setDisplayState(State::fullScreen);
            if (auto top = topConstraint_.lock()) top->setConstant(topConstraintConstant_);
            const auto properties = transitionProperties();
            std::weak_ptr<View> weakContainer = container;
            View::animate(0.7, 0, 0.65, 1.0, {.allowUserInteraction = true}, [properties, weakContainer] {
                OVTransitionProperty::set(properties, raw(State::fullScreen));
                if (auto c = weakContainer.lock()) c->layoutIfNeeded();
            });
            break;
        }
        default: break;
    }
}

// ---- Expansion ----

void OVCompactVCPresentationTransitioning::expand(double velocity, double translation,
                                                  std::function<void()> completion) {
    auto container = containerView();
    auto sheet = presentedVCUnderlyingView_.lock();
    if (!container || !sheet) return;
    const double H = compactsheet::finiteOr(container->bounds().size.height);
    const auto motion = compactsheet::expansion(H, previewHeight_, translation, velocity);

    if (auto top = topConstraint_.lock()) top->setActive(false);
    if (auto height = heightConstraint_.lock()) height->setActive(false);
    topConstraintConstant_ = compactsheet::fullScreenTopInset;
    auto top = sheet->topAnchor().constraintEqualTo(container->safeAreaLayoutGuide().topAnchor(),
                                                    topConstraintConstant_);
    top->setActive(true);
    topConstraint_ = top;

    expandingPanGestureRecognizer()->setEnabled(false);
    dismissPanGestureRecognizer()->setEnabled(false);

    sheet->bottomAnchor().constraintEqualTo(container->bottomAnchor(), Transitioning::cornerRadius)->setActive(true);

    const auto properties = transitionProperties();
    auto self = this->self();
    View::animate(
        motion.duration, 0, 0.8, motion.springVelocity, {},
        [properties, container] {
            OVTransitionProperty::set(properties, raw(State::fullScreen));
            container->layoutIfNeeded();
        },
        [self, completion = std::move(completion)](bool) {
            if (auto mask = self->alphaMaskView_.lock()) mask->removeFromSuperview();
            self->setDisplayState(State::fullScreen);
            if (completion) completion();
        });
}

void OVCompactVCPresentationTransitioning::fullExpand(std::function<void()> completion) {
    // The expansion disables the dismiss pan, which the root container
    // enables again only on the way from the preview: from any later state
    // it would stay disabled for good.
    switch (displayState_) {
        case State::fullScreen:
            // The sheet is where it is asked to be.
            if (completion) completion();
            return;
        case State::shrinking: returnToFullScreen(std::move(completion)); return;
        case State::dismissing:
            // The sheet is on its way out and its controller is dismissed at
            // the end: there is nothing left to expand.
            return;
        default: expand(600, 0, std::move(completion)); return;
    }
}

void OVCompactVCPresentationTransitioning::returnToFullScreen(std::function<void()> completion) {
    auto container = containerView();
    if (!container) return;
    // The drag under way ends here; the pan stays enabled for the next one.
    const auto& pan = dismissPanGestureRecognizer();
    if (pan->isEnabled()) {
        pan->setEnabled(false);
        pan->setEnabled(true);
    }
    setDisplayState(State::fullScreen);
    if (auto top = topConstraint_.lock()) top->setConstant(topConstraintConstant_);
    const auto properties = transitionProperties();
    std::weak_ptr<View> weakContainer = container;
    View::animate(
        0.7, 0, 0.65, 1.0, {.allowUserInteraction = true},
        [properties, weakContainer] {
            OVTransitionProperty::set(properties, raw(State::fullScreen));
            if (auto c = weakContainer.lock()) c->layoutIfNeeded();
        },
        [completion = std::move(completion)](bool) {
            if (completion) completion();
        });
}

// ---- Dismissal ----

void OVCompactVCPresentationTransitioning::dismiss(double velocity) {
    auto sheet = presentedVCUnderlyingView_.lock();
    if (!sheet) return;
    const double y = sheet->frame().origin.y;
    auto container = containerView();
    if (!container) return;
    setDisplayState(State::dismissing);
    const double duration = compactsheet::dismissalDuration(container->bounds().size.height, y, velocity);

    auto presenting = presentingVC();
    if (!presenting) return;
    dismissPanGestureRecognizer()->setEnabled(false);
    if (auto top = topConstraint_.lock()) top->setConstant(presenting->view()->bounds().size.height);

    const auto properties = transitionProperties();
    auto self = this->self();
    View::animate(
        duration, 0, {.curve = ViewAnimationCurve::easeIn},
        [properties, container] {
            OVTransitionProperty::set(properties, raw(State::closed));
            container->layoutIfNeeded();
        },
        [self](bool) {
            if (auto vc = self->presentedVC()) vc.controller->dismiss(false);
            // A second dismissal replacing this one ends here too: `closed`
            // is reported once.
            if (self->displayState_ != State::closed) self->setDisplayState(State::closed);
        });
}

void OVCompactVCPresentationTransitioning::dismiss() {
    auto sheet = presentedVCUnderlyingView_.lock();
    auto container = containerView();
    if (!sheet || !container) return;
    const double y = sheet->frame().origin.y;
    dismiss(compactsheet::defaultDismissalVelocity(container->bounds().size.height, y));
}

}  // namespace orvane
