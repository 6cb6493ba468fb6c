// The transition properties that drive a layout constraint's constant: the
// sheet's width and the panel's right edge.
#include "orvane/presentation/OVCompactTransitionProperty.hpp"
#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVRegularTransitionProperty.hpp"
#include "orvane/presentation/OVTransitionFormulas.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/LayoutConstraint.hpp"

namespace orvane {

using namespace platform::ui;
using Transitioning = OVConstants::OVVCPresentationTransitioning;

// ---- OVCompactTransitionProperty::PresentedVCWidth ----

std::shared_ptr<OVCompactTransitionProperty::PresentedVCWidth> OVCompactTransitionProperty::PresentedVCWidth::create(
    const std::shared_ptr<LayoutConstraint>& constraint) {
    return std::make_shared<PresentedVCWidth>(ConstructorKey{}, constraint);
}

OVCompactTransitionProperty::PresentedVCWidth::PresentedVCWidth(ConstructorKey key,
                                                                const std::shared_ptr<LayoutConstraint>& constraint)
    : OVCompactTransitionProperty(key), constraint_(constraint), widthDelta_(Transitioning::Compact::widthDelta) {}

void OVCompactTransitionProperty::PresentedVCWidth::set(int toState) {
    using State = OVCompactDisplayState;
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

// ---- OVRegularTransitionProperty::PresentedVCRightConstraint ----

std::shared_ptr<OVRegularTransitionProperty::PresentedVCRightConstraint>
OVRegularTransitionProperty::PresentedVCRightConstraint::create(const std::shared_ptr<LayoutConstraint>& constraint) {
    return std::make_shared<PresentedVCRightConstraint>(ConstructorKey{}, constraint);
}

OVRegularTransitionProperty::PresentedVCRightConstraint::PresentedVCRightConstraint(
    ConstructorKey key, const std::shared_ptr<LayoutConstraint>& constraint)
    : OVTransitionProperty(key), constraint_(constraint) {}

void OVRegularTransitionProperty::PresentedVCRightConstraint::set(int toState) {
    using State = OVRegularDisplayState;
    const auto state = fromRawValue<State>(toState);
    if (!state) return;
    const double constant = *state == State::closed ? Transitioning::Regular::width : 0;
    if (auto constraint = constraint_.lock()) constraint->setConstant(constant);
}

void OVRegularTransitionProperty::PresentedVCRightConstraint::update(double p, int withState) {
    using State = OVRegularDisplayState;
    if (fromRawValue<State>(withState) != State::shrinking) return;
    const auto constant = transition::finite(Transitioning::Regular::width * (1 - p));
    if (!constant) return;
    if (auto constraint = constraint_.lock()) constraint->setConstant(*constant);
}

}  // namespace orvane
