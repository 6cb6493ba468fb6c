// The transition properties of the bottom sheet (and the base of the side
// panel's handle property): `previewRelativePosition` (r, the preview
// height over the container height, set by the compact animator) and nine
// properties, one per value that follows the sheet's display state
// (OVCompactDisplayState as an integer). A formula that needs r does nothing
// while r is unset; one that would divide by zero, or give no finite number,
// leaves its value unchanged. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/presentation/OVTransitionProperty.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace platform::ui {
class View;
}  // namespace platform::ui

namespace orvane {

class OVCompactPresentableViewController;
class OVSwipeButon;

class OVCompactTransitionProperty : public OVTransitionProperty {
public:
    static std::shared_ptr<OVCompactTransitionProperty> create();
    explicit OVCompactTransitionProperty(ConstructorKey key) : OVTransitionProperty(key) {}

    virtual std::optional<double> previewRelativePosition() const { return previewRelativePosition_; }
    virtual void setPreviewRelativePosition(std::optional<double> value) { previewRelativePosition_ = value; }

    class ShadowViewAlpha;           // the dimming view behind the sheet (weak)
    class AlphaMask;                 // the mask view over the sheet (weak)
    class PresentingVCTransform;     // the host controller's view: its scale (weak)
    class PresentingVCCornerRadius;  // the host controller's view: its corners (strong)
    class ImageRatio;                // the presented controller's header image ratio (weak)
    class PresentedVCWidth;          // the sheet's width constraint (weak)
    class SwipeButtonHeightFactor;   // the swipe handle's bend (weak)
    class CancelButtonDisplay;       // the cancel button's alpha (weak)
    class NavigationBarDisplay;      // the main page's navigation bar (weak)

private:
    std::optional<double> previewRelativePosition_;
};

using OVCompactTransitionPropertyList = std::vector<std::shared_ptr<OVCompactTransitionProperty>>;

// closed 0, preview and full screen 0.4; expanding below r: 0.4 p / r;
// shrinking: 0.4 p.
class OVCompactTransitionProperty::ShadowViewAlpha : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<ShadowViewAlpha> create(const std::shared_ptr<platform::ui::View>& shadowView);
    ShadowViewAlpha(ConstructorKey key, const std::shared_ptr<platform::ui::View>& shadowView);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::View> shadowView_;
};

// closed and preview 1, else 0; expanding: 1 - 100 (p - r), within 0...1.
class OVCompactTransitionProperty::AlphaMask : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<AlphaMask> create(const std::shared_ptr<platform::ui::View>& alphaMask);
    AlphaMask(ConstructorKey key, const std::shared_ptr<platform::ui::View>& alphaMask);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::View> alphaMask_;
};

// Scale 0.9 at full screen, else 1; expanding or shrinking:
// min(0.9 + 0.2 (1 - p), 1).
class OVCompactTransitionProperty::PresentingVCTransform : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<PresentingVCTransform> create(const std::shared_ptr<platform::ui::View>& presentingVCView);
    PresentingVCTransform(ConstructorKey key, const std::shared_ptr<platform::ui::View>& presentingVCView);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::View> presentingVCView_;
};

// Corner radius 0 (unclipped) when closed, 6 in preview, 12 at full screen.
// Keeps the host's view alive.
class OVCompactTransitionProperty::PresentingVCCornerRadius : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<PresentingVCCornerRadius> create(std::shared_ptr<platform::ui::View> presentingVCView);
    PresentingVCCornerRadius(ConstructorKey key, std::shared_ptr<platform::ui::View> presentingVCView);
    void set(int toState) override;

private:
    std::shared_ptr<platform::ui::View> presentingVCView_;
};

// Ratio 2/3 in preview, 1 at full screen (animated); expanding: from 2/3 at r
// to 1 at p = 1, without animation.
class OVCompactTransitionProperty::ImageRatio : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<ImageRatio> create(const std::shared_ptr<OVCompactPresentableViewController>& presentedVC);
    ImageRatio(ConstructorKey key, const std::shared_ptr<OVCompactPresentableViewController>& presentedVC);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<OVCompactPresentableViewController> presentedVC_;
};

// Constant -16 (minus the width delta) in preview, 0 when closed or at full
// screen; no drag moves it.
class OVCompactTransitionProperty::PresentedVCWidth : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<PresentedVCWidth> create(const platform::ui::LayoutConstraintPtr& constraint);
    PresentedVCWidth(ConstructorKey key, const platform::ui::LayoutConstraintPtr& constraint);
    void set(int toState) override;

private:
    std::weak_ptr<platform::ui::LayoutConstraint> constraint_;
    double widthDelta_;
};

// A full chevron (1) at full screen; shrinking: 1 - 25 (1 - p), within 0...1.
class OVCompactTransitionProperty::SwipeButtonHeightFactor : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<SwipeButtonHeightFactor> create(const std::shared_ptr<OVSwipeButon>& button);
    SwipeButtonHeightFactor(ConstructorKey key, const std::shared_ptr<OVSwipeButon>& button);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<OVSwipeButon> button_;
};

// Alpha 0.8 in preview, 0 at full screen; expanding above r: fades from 0.8
// at r to 0 at p = 1.
class OVCompactTransitionProperty::CancelButtonDisplay : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<CancelButtonDisplay> create(const std::shared_ptr<platform::ui::View>& button);
    CancelButtonDisplay(ConstructorKey key, const std::shared_ptr<platform::ui::View>& button);
    void set(int toState) override;
    void update(double forRelativePosition, int withState) override;

private:
    std::weak_ptr<platform::ui::View> button_;
};

// Hidden in preview, shown at full screen.
class OVCompactTransitionProperty::NavigationBarDisplay : public OVCompactTransitionProperty {
public:
    static std::shared_ptr<NavigationBarDisplay> create(const std::shared_ptr<platform::ui::View>& navigationBar);
    NavigationBarDisplay(ConstructorKey key, const std::shared_ptr<platform::ui::View>& navigationBar);
    void set(int toState) override;

private:
    std::weak_ptr<platform::ui::View> navigationBar_;
};

}  // namespace orvane
