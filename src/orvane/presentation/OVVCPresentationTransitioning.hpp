// The base of the two animators that present the root container (bottom
// sheet and side panel): the references both presentations share (all weak:
// the views belong to the transition's container view), the list of
// transition properties, the tap-to-close recogniser, the wiring of the
// cancel button (quit route) and the swipe handle (swipe-down route) to the
// delegate, the panel shadow and the dimming view. It is the target of the
// cancel button, the handle and the tap-to-close recogniser.
//
// Not used on its own: each presentation makes one instance of a subclass,
// which is owned by the root container (`presentationTransitioning`) and
// handed to the platform as the presentation's animation controller. The
// delegate (the coordinator) is held weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/presentation/OVExpandableViewController.hpp"
#include "orvane/presentation/OVPresentable.hpp"
#include "orvane/presentation/OVTransitionProperty.hpp"
#include "orvane/presentation/OVVCPresentationTransitioningProtocol.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"

namespace orvane {

class OVCancelButton;
class OVSwipeButon;

class OVVCPresentationTransitioning : public OVVCPresentationTransitioningProtocol,
                                      public std::enable_shared_from_this<OVVCPresentationTransitioning> {
public:
    ~OVVCPresentationTransitioning() override;
    OVVCPresentationTransitioning(const OVVCPresentationTransitioning&) = delete;
    OVVCPresentationTransitioning& operator=(const OVVCPresentationTransitioning&) = delete;

    // ---- Shared references (weak unless said) ----
    std::shared_ptr<OVOpenCloseExpandDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVOpenCloseExpandDelegate> delegate) override { delegate_ = std::move(delegate); }
    // The transition's container view, stored when the presentation starts.
    std::shared_ptr<platform::ui::View> containerView() const override { return containerView_.lock(); }
    void setContainerView(const std::shared_ptr<platform::ui::View>& view) { containerView_ = view; }
    // The controller presented over (the transition's "from" controller).
    std::shared_ptr<platform::ui::ViewController> presentingVC() const { return presentingVC_.lock(); }
    void setPresentingVC(const std::shared_ptr<platform::ui::ViewController>& vc) { presentingVC_ = vc; }
    // The dimming view made by `addShadowView`.
    std::shared_ptr<platform::ui::View> shadowView() const { return shadowView_.lock(); }
    void setShadowView(const std::shared_ptr<platform::ui::View>& view) { shadowView_ = view; }
    // The dimming view's alpha while the presentation shows (0.4).
    double shadowViewAlpha() const { return shadowViewAlpha_; }
    // The presented controller, seen through the protocol of both presentations.
    OVPresentable<OVExpandableViewController> presentableVC() const { return presentableVC_.lock(); }
    void setPresentableVC(const OVPresentable<OVExpandableViewController>& vc) { presentableVC_ = vc; }
    std::shared_ptr<OVCancelButton> cancelButton() const { return cancelButton_.lock(); }
    void setCancelButton(const std::shared_ptr<OVCancelButton>& button) { cancelButton_ = button; }
    std::shared_ptr<OVSwipeButon> swipeDownButton() const { return swipeDownButton_.lock(); }
    void setSwipeDownButton(const std::shared_ptr<OVSwipeButon>& button) { swipeDownButton_ = button; }

    // Made on first read (target this animator, action: the swipe-down
    // route) and kept (strongly); assigning one replaces it.
    const std::shared_ptr<platform::ui::TapGestureRecognizer>& tapToCloseGestureRecognizer();
    void setTapToCloseGestureRecognizer(std::shared_ptr<platform::ui::TapGestureRecognizer> recognizer) {
        tapToCloseGestureRecognizer_ = std::move(recognizer);
    }

    // The animated properties, in the order the subclass built them.
    const OVTransitionPropertyList& transitionProperties() const { return transitionProperties_; }
    void setTransitionProperties(OVTransitionPropertyList properties) {
        transitionProperties_ = std::move(properties);
    }

    // ---- Wiring ----
    // Makes the cancel button's tap (touch up inside) ask the delegate to
    // quit; nothing without a button.
    void setCancel();
    // Makes the handle's tap (touch up inside) ask the delegate for the
    // swipe-down; nothing without a handle.
    void setSwipeTarget();

    // ---- Layers ----
    // Gives `view`'s layer the presentation's shadow (colour 5/255 grey at
    // alpha 0.2, opacity 0.2, `shadowOffset`, radius 1); nothing without a
    // view. The presented controller's view, passed second, is left as is.
    void customizeLayers(const std::shared_ptr<platform::ui::View>& view,
                         const std::shared_ptr<platform::ui::View>& presentedView, platform::graphics::Size shadowOffset);
    // A black, fully transparent view with the container's bounds, added
    // above every subview of `toContainerView` (no autoresizing, no
    // constraints).
    static std::shared_ptr<platform::ui::View> addShadowView(const std::shared_ptr<platform::ui::View>& toContainerView);

protected:
    OVVCPresentationTransitioning();

private:
    // The actions of the cancel button, the handle and the tap-to-close
    // recogniser; each does nothing without a delegate.
    void didTapClose();
    void didTapSwipeDown();

    std::weak_ptr<OVOpenCloseExpandDelegate> delegate_;
    std::weak_ptr<platform::ui::View> containerView_;
    std::weak_ptr<platform::ui::ViewController> presentingVC_;
    std::weak_ptr<platform::ui::View> shadowView_;
    const double shadowViewAlpha_;
    OVWeakPresentable<OVExpandableViewController> presentableVC_;
    std::weak_ptr<OVCancelButton> cancelButton_;
    std::weak_ptr<OVSwipeButon> swipeDownButton_;
    std::shared_ptr<platform::ui::TapGestureRecognizer> tapToCloseGestureRecognizer_;
    OVTransitionPropertyList transitionProperties_;
};

}  // namespace orvane
