#include "orvane/presentation/OVCompactTransitionProperty.hpp"

#include "orvane/presentation/OVCompactPresentableViewController.hpp"
#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/presentation/OVTransitionFormulas.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

using namespace platform::ui;
using State = OVCompactDisplayState;
using Transitioning = OVConstants::OVVCPresentationTransitioning;
using transition::clamp01;
using transition::divide;
using transition::finite;

namespace {

std::optional<State> stateOf(int raw) { return fromRawValue<State>(raw); }

}  // namespace

std::shared_ptr<OVCompactTransitionProperty> OVCompactTransitionProperty::create() {
    return std::make_shared<OVCompactTransitionProperty>(ConstructorKey{});
}

// ---- ShadowViewAlpha ----

std::shared_ptr<OVCompactTransitionProperty::ShadowViewAlpha> OVCompactTransitionProperty::ShadowViewAlpha::create(
    const std::shared_ptr<View>& shadowView) {
    return std::make_shared<ShadowViewAlpha>(ConstructorKey{}, shadowView);
}

OVCompactTransitionProperty::ShadowViewAlpha::ShadowViewAlpha(ConstructorKey key, const std::shared_ptr<View>& view)
    : OVCompactTransitionProperty(key), shadowView_(view) {}

void OVCompactTransitionProperty::ShadowViewAlpha::set(int toState) {
    const auto state = stateOf(toState);
    if (!state) return;
    double alpha;
    switch (*state) {
        case State::closed: alpha = 0; break;
        case State::preview:
        case State::fullScreen: alpha = Transitioning::shadowViewAlpha; break;
        default: return;
    }
    if (auto view = shadowView_.lock()) view->setAlpha(alpha);
}

void OVCompactTransitionProperty::ShadowViewAlpha::update(double p, int withState) {
    const auto state = stateOf(withState);
    std::optional<double> alpha;
    if (state == State::expanding) {
        const auto r = previewRelativePosition();
        if (!r || !(p < *r)) return;
        const auto q = divide(p, *r);
        if (!q) return;
        alpha = Transitioning::shadowViewAlpha * *q;
    } else if (state == State::shrinking) {
        alpha = finite(Transitioning::shadowViewAlpha * p);
    }
    if (!alpha) return;
    if (auto view = shadowView_.lock()) view->setAlpha(*alpha);
}

// ---- AlphaMask ----

std::shared_ptr<OVCompactTransitionProperty::AlphaMask> OVCompactTransitionProperty::AlphaMask::create(
    const std::shared_ptr<View>& alphaMask) {
    return std::make_shared<AlphaMask>(ConstructorKey{}, alphaMask);
}

OVCompactTransitionProperty::AlphaMask::AlphaMask(ConstructorKey key, const std::shared_ptr<View>& alphaMask)
    : OVCompactTransitionProperty(key), alphaMask_(alphaMask) {}

void OVCompactTransitionProperty::AlphaMask::set(int toState) {
    const auto state = stateOf(toState);
    if (!state) return;
    const double alpha = (*state == State::closed || *state == State::preview) ? 1 : 0;
    if (auto view = alphaMask_.lock()) view->setAlpha(alpha);
}

void OVCompactTransitionProperty::AlphaMask::update(double p, int withState) {
    if (stateOf(withState) != State::expanding) return;
    const auto r = previewRelativePosition();
    if (!r) return;
    const auto alpha = clamp01(1 - 100 * (p - *r));
    if (!alpha) return;
    if (auto view = alphaMask_.lock()) view->setAlpha(*alpha);
}

// ---- PresentingVCTransform ----

std::shared_ptr<OVCompactTransitionProperty::PresentingVCTransform>
OVCompactTransitionProperty::PresentingVCTransform::create(const std::shared_ptr<View>& presentingVCView) {
    return std::make_shared<PresentingVCTransform>(ConstructorKey{}, presentingVCView);
}

OVCompactTransitionProperty::PresentingVCTransform::PresentingVCTransform(ConstructorKey key,
                                                                          const std::shared_ptr<View>& view)
    : OVCompactTransitionProperty(key), presentingVCView_(view) {}

void OVCompactTransitionProperty::PresentingVCTransform::set(int toState) {
    const auto state = stateOf(toState);
    if (!state) return;
    const double s = *state == State::fullScreen ? 0.9 : 1;
    if (auto view = presentingVCView_.lock()) view->setTransform(AffineTransform::scale(s, s));
}

void OVCompactTransitionProperty::PresentingVCTransform::update(double p, int withState) {
    const auto state = stateOf(withState);
    if (state != State::expanding && state != State::shrinking) return;
    if (std::isnan(p)) return;
    const double s = std::min(0.9 + 0.2 * (1 - p), 1.0);
    if (!std::isfinite(s)) return;
    if (auto view = presentingVCView_.lock()) view->setTransform(AffineTransform::scale(s, s));
}

// ---- PresentingVCCornerRadius ----

std::shared_ptr<OVCompactTransitionProperty::PresentingVCCornerRadius>
OVCompactTransitionProperty::PresentingVCCornerRadius::create(std::shared_ptr<View> presentingVCView) {
    return std::make_shared<PresentingVCCornerRadius>(ConstructorKey{}, std::move(presentingVCView));
}

OVCompactTransitionProperty::PresentingVCCornerRadius::PresentingVCCornerRadius(ConstructorKey key,
                                                                                std::shared_ptr<View> view)
    : OVCompactTransitionProperty(key), presentingVCView_(std::move(view)) {}

void OVCompactTransitionProperty::PresentingVCCornerRadius::set(int toState) {
    const auto state = stateOf(toState);
    if (!state || !presentingVCView_) return;
    auto& layer = *presentingVCView_->layer();
    switch (*state) {
        case State::closed:
            layer.setCornerRadius(0);
            layer.setMasksToBounds(false);
            break;
        case State::preview:
            layer.setMasksToBounds(true);
            layer.setCornerRadius(Transitioning::cornerRadius / 2);
            break;
        case State::fullScreen:
            layer.setMasksToBounds(true);
            layer.setCornerRadius(Transitioning::cornerRadius);
            break;
        default: break;
    }
}

// ---- ImageRatio ----

std::shared_ptr<OVCompactTransitionProperty::ImageRatio> OVCompactTransitionProperty::ImageRatio::create(
    const std::shared_ptr<OVCompactPresentableViewController>& presentedVC) {
    return std::make_shared<ImageRatio>(ConstructorKey{}, presentedVC);
}

OVCompactTransitionProperty::ImageRatio::ImageRatio(ConstructorKey key,
                                                    const std::shared_ptr<OVCompactPresentableViewController>& vc)
    : OVCompactTransitionProperty(key), presentedVC_(vc) {}

void OVCompactTransitionProperty::ImageRatio::set(int toState) {
    const auto state = stateOf(toState);
    double ratio;
    if (state == State::preview) {
        ratio = 2.0 / 3.0;
    } else if (state == State::fullScreen) {
        ratio = 1;
    } else {
        return;
    }
    if (auto vc = presentedVC_.lock()) vc->setImageRatio(ratio, false);
}

void OVCompactTransitionProperty::ImageRatio::update(double p, int withState) {
    if (stateOf(withState) != State::expanding) return;
    const auto r = previewRelativePosition();
    if (!r) return;
    std::optional<double> ratio = 2.0 / 3.0;
    if (*r < p) {
        const auto q = divide(1 - p, 1 - *r);
        if (!q) return;
        ratio = finite(1 - (1.0 / 3.0) * *q);
    }
    if (!ratio || std::isnan(p)) return;
    if (auto vc = presentedVC_.lock()) vc->setImageRatio(*ratio, true);
}

// ---- PresentedVCWidth ----

std::shared_ptr<OVCompactTransitionProperty::PresentedVCWidth> OVCompactTransitionProperty::PresentedVCWidth::create(
    const std::shared_ptr<LayoutConstraint>& constraint) {
    return std::make_shared<PresentedVCWidth>(ConstructorKey{}, constraint);
}

OVCompactTransitionProperty::PresentedVCWidth::PresentedVCWidth(ConstructorKey key,
                                                                const std::shared_ptr<LayoutConstraint>& constraint)
    : OVCompactTransitionProperty(key), constraint_(constraint), widthDelta_(Transitioning::Compact::widthDelta) {}

void OVCompactTransitionProperty::PresentedVCWidth::set(int toState) {
    const auto state = fromRawValue<State>(toState);
    double constant;
    if (state == State::closed || state == State::fullScreen) {
        constant = 0;
    } else if (state == State::preview) {
        constant = -widthDelta_;
    } else {
        return;
    }
    if (auto constraint = constraint_.lock()) constraint->setConstant(constant);
}

// ---- SwipeButtonHeightFactor ----

std::shared_ptr<OVCompactTransitionProperty::SwipeButtonHeightFactor>
OVCompactTransitionProperty::SwipeButtonHeightFactor::create(const std::shared_ptr<OVSwipeButon>& button) {
    return std::make_shared<SwipeButtonHeightFactor>(ConstructorKey{}, button);
}

OVCompactTransitionProperty::SwipeButtonHeightFactor::SwipeButtonHeightFactor(
    ConstructorKey key, const std::shared_ptr<OVSwipeButon>& button)
    : OVCompactTransitionProperty(key), button_(button) {}

void OVCompactTransitionProperty::SwipeButtonHeightFactor::set(int toState) {
    if (stateOf(toState) != State::fullScreen) return;
    if (auto button = button_.lock()) button->setHeightFactor(1);
}

void OVCompactTransitionProperty::SwipeButtonHeightFactor::update(double p, int withState) {
    if (stateOf(withState) != State::shrinking) return;
    const auto factor = clamp01(1 - 25 * (1 - p));
    if (!factor) return;
    if (auto button = button_.lock()) button->setHeightFactor(*factor);
}

// ---- CancelButtonDisplay ----

std::shared_ptr<OVCompactTransitionProperty::CancelButtonDisplay>
OVCompactTransitionProperty::CancelButtonDisplay::create(const std::shared_ptr<View>& button) {
    return std::make_shared<CancelButtonDisplay>(ConstructorKey{}, button);
}

OVCompactTransitionProperty::CancelButtonDisplay::CancelButtonDisplay(ConstructorKey key,
                                                                      const std::shared_ptr<View>& button)
    : OVCompactTransitionProperty(key), button_(button) {}

void OVCompactTransitionProperty::CancelButtonDisplay::set(int toState) {
    const auto state = stateOf(toState);
    double alpha;
    if (state == State::preview) {
        alpha = 0.8;
    } else if (state == State::fullScreen) {
        alpha = 0;
    } else {
        return;
    }
    if (auto button = button_.lock()) button->setAlpha(alpha);
}

void OVCompactTransitionProperty::CancelButtonDisplay::update(double p, int withState) {
    if (stateOf(withState) != State::expanding) return;
    const auto r = previewRelativePosition();
    if (!r || !(*r < p)) return;
    const auto q = divide(p - *r, 1 - *r);
    if (!q) return;
    const auto alpha = finite(0.8 * (1 - *q));
    if (!alpha) return;
    if (auto button = button_.lock()) button->setAlpha(*alpha);
}

// ---- NavigationBarDisplay ----

std::shared_ptr<OVCompactTransitionProperty::NavigationBarDisplay>
OVCompactTransitionProperty::NavigationBarDisplay::create(const std::shared_ptr<View>& navigationBar) {
    return std::make_shared<NavigationBarDisplay>(ConstructorKey{}, navigationBar);
}

OVCompactTransitionProperty::NavigationBarDisplay::NavigationBarDisplay(ConstructorKey key,
                                                                        const std::shared_ptr<View>& bar)
    : OVCompactTransitionProperty(key), navigationBar_(bar) {}

void OVCompactTransitionProperty::NavigationBarDisplay::set(int toState) {
    const auto state = stateOf(toState);
    bool hidden;
    if (state == State::preview) {
        hidden = true;
    } else if (state == State::fullScreen) {
        hidden = false;
    } else {
        return;
    }
    if (auto bar = navigationBar_.lock()) bar->setHidden(hidden);
}

}  // namespace orvane
