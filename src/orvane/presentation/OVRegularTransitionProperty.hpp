// The transition properties of the side panel, driven with the raw values of
// OVRegularDisplayState: the dimming view's alpha, the panel's right-edge
// constraint and the swipe handle's bend. A number that names no state
// changes nothing, and a released view or constraint makes both operations
// do nothing. Main thread only.
#pragma once

#include <memory>

#include "orvane/presentation/OVCompactTransitionProperty.hpp"

namespace orvane {

struct OVRegularTransitionProperty {
    class ShadowViewAlpha;
    class PresentedVCRightConstraint;
    class SwipeButtonHeightFactor;
};

// closed 0, displayed and shrinking 0.4; shrinking: 0.4 p.
class OVRegularTransitionProperty::ShadowViewAlpha : public OVTransitionProperty {
public:
    static std::shared_ptr<ShadowViewAlpha> create(const std::shared_ptr<platform::ui::View>& shadowView);
    ShadowViewAlpha(ConstructorKey key, const std::shared_ptr<platform::ui::View>& shadowView);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::View> shadowView_;
};

// Constant 375 (the panel's width: off screen) when closed, 0 displayed and
// shrinking; shrinking: 375 (1 - p).
class OVRegularTransitionProperty::PresentedVCRightConstraint : public OVTransitionProperty {
public:
    static std::shared_ptr<PresentedVCRightConstraint> create(
        const platform::ui::LayoutConstraintPtr& constraint);
    PresentedVCRightConstraint(ConstructorKey key, const platform::ui::LayoutConstraintPtr& constraint);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::LayoutConstraint> constraint_;
};

// A full chevron (1) when displayed; shrinking: 1 - 25 (1 - p), within 0...1.
class OVRegularTransitionProperty::SwipeButtonHeightFactor : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<SwipeButtonHeightFactor> create(const std::shared_ptr<OVSwipeButon>& button);
    SwipeButtonHeightFactor(ConstructorKey key, const std::shared_ptr<OVSwipeButon>& button);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<OVSwipeButon> button_;
};

}  // namespace orvane
