#include "orvane/presentation/OVRegularTransitionProperty.hpp"

#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/presentation/OVTransitionFormulas.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

using namespace platform::ui;
using State = OVRegularDisplayState;
using Transitioning = OVConstants::OVVCPresentationTransitioning;
using transition::clamp01;
using transition::finite;

// ---- ShadowViewAlpha ----

std::shared_ptr<OVRegularTransitionProperty::ShadowViewAlpha> OVRegularTransitionProperty::ShadowViewAlpha::create(
    const std::shared_ptr<View>& shadowView) {
    return std::make_shared<ShadowViewAlpha>(ConstructorKey{}, shadowView);
}

OVRegularTransitionProperty::ShadowViewAlpha::ShadowViewAlpha(ConstructorKey key, const std::shared_ptr<View>& view)
    : OVTransitionProperty(key), shadowView_(view) {}

void OVRegularTransitionProperty::ShadowViewAlpha::set(int toState) {
    const auto state = fromRawValue<State>(toState);
    if (!state) return;
    const double alpha = *state == State::closed ? 0 : Transitioning::shadowViewAlpha;
    if (auto view = shadowView_.lock()) view->setAlpha(alpha);
}

void OVRegularTransitionProperty::ShadowViewAlpha::update(double p, int withState) {
    if (fromRawValue<State>(withState) != State::shrinking) return;
    const auto alpha = finite(Transitioning::shadowViewAlpha * p);
    if (!alpha) return;
    if (auto view = shadowView_.lock()) view->setAlpha(*alpha);
}

// ---- PresentedVCRightConstraint ----

std::shared_ptr<OVRegularTransitionProperty::PresentedVCRightConstraint>
OVRegularTransitionProperty::PresentedVCRightConstraint::create(const std::shared_ptr<LayoutConstraint>& constraint) {
    return std::make_shared<PresentedVCRightConstraint>(ConstructorKey{}, constraint);
}

OVRegularTransitionProperty::PresentedVCRightConstraint::PresentedVCRightConstraint(
    ConstructorKey key, const std::shared_ptr<LayoutConstraint>& constraint)
    : OVTransitionProperty(key), constraint_(constraint) {}

void OVRegularTransitionProperty::PresentedVCRightConstraint::set(int toState) {
    const auto state = fromRawValue<State>(toState);
    if (!state) return;
    const double constant = *state == State::closed ? Transitioning::Regular::width : 0;
    if (auto constraint = constraint_.lock()) constraint->setConstant(constant);
}

void OVRegularTransitionProperty::PresentedVCRightConstraint::update(double p, int withState) {
    if (fromRawValue<State>(withState) != State::shrinking) return;
    const auto constant = transition::finite(Transitioning::Regular::width * (1 - p));
    if (!constant) return;
    if (auto constraint = constraint_.lock()) constraint->setConstant(*constant);
}

// ---- SwipeButtonHeightFactor ----

std::shared_ptr<OVRegularTransitionProperty::SwipeButtonHeightFactor>
OVRegularTransitionProperty::SwipeButtonHeightFactor::create(const std::shared_ptr<OVSwipeButon>& button) {
    return std::make_shared<SwipeButtonHeightFactor>(ConstructorKey{}, button);
}

OVRegularTransitionProperty::SwipeButtonHeightFactor::SwipeButtonHeightFactor(
    ConstructorKey key, const std::shared_ptr<OVSwipeButon>& button)
    : OVCompactTransitionProperty(key), button_(button) {}

void OVRegularTransitionProperty::SwipeButtonHeightFactor::set(int toState) {
    if (fromRawValue<State>(toState) != State::displayed) return;
    if (auto button = button_.lock()) button->setHeightFactor(1);
}

void OVRegularTransitionProperty::SwipeButtonHeightFactor::update(double p, int withState) {
    if (fromRawValue<State>(withState) != State::shrinking) return;
    const auto factor = clamp01(1 - 25 * (1 - p));
    if (!factor) return;
    if (auto button = button_.lock()) button->setHeightFactor(*factor);
}

}  // namespace orvane
