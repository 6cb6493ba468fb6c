// The side panel: presents the root container at regular width as a panel
// 375 points wide that springs in from the right edge under the status bar,
// over a dimmed host screen, with the swipe handle (turned a quarter-turn
// counter-clockwise) against its left edge at mid-height. The panel follows a
// drag to the right and is put away by a flick, by `dismiss()`, by a tap on
// the handle or beside the panel (those two through the delegate's
// swipe-down). Its display state (closed, then displayed) is reported to the
// presented controller at each assignment.
//
// One animator per presentation, owned by the root container; it keeps the
// views it builds weakly (they belong to the container view) and its dismiss
// pan strongly. Animation blocks keep it and the container view alive until
// they end. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVRegularPresentableViewController.hpp"
#include "orvane/presentation/OVVCPresentationTransitioning.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"

namespace orvane {

class OVRegularVCPresentationTransitioning : public OVVCPresentationTransitioning {
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<OVRegularVCPresentationTransitioning> create();
    explicit OVRegularVCPresentationTransitioning(ConstructorKey) {}

    // ---- The platform's animated transitioning ----
    // The reported duration (0.7 s); the opening spring itself runs 0.75 s.
    double transitionDuration(const std::shared_ptr<platform::ui::TransitionContext>& context) override;
    // Builds the panel, the dimming view, the handle and the recognisers,
    // then springs the panel in. A context without a "from" controller, or
    // whose "to" controller does not adopt the regular presentable protocol,
    // is completed at once with false.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

    // ---- OVVCPresentationTransitioningProtocol ----
    // Eases the panel out (0.6 s from fully shown), then dismisses the
    // presented controller without animation.
    void dismiss() override;
    // The panel has no larger state: nothing, and `completion` is not called.
    void fullExpand(std::function<void()> completion) override;

    // The presented root container.
    OVPresentable<OVRegularPresentableViewController> presentedVC() const { return presentedVC_.lock(); }
    void setPresentedVC(const OVPresentable<OVRegularPresentableViewController>& vc) { presentedVC_ = vc; }
    // Made on first read (disabled; target this animator) and kept.
    const std::shared_ptr<platform::ui::PanGestureRecognizer>& dismissPanGestureRecognizer();
    void setDismissPanGestureRecognizer(std::shared_ptr<platform::ui::PanGestureRecognizer> recognizer) {
        dismissPanGestureRecognizer_ = std::move(recognizer);
    }

    // The drag's release: above this horizontal speed (points per second)
    // the panel goes away, else it springs back.
    static constexpr double flickVelocity = 750;

private:
    void setDisplayState(OVRegularDisplayState state);
    void setSwipeButton();
    void handleDismissPan(platform::ui::PanGestureRecognizer& panGestureRecognizer);
    void dismiss(double velocity);
    // Dismisses the presented controller without animation, then stores `closed`.
    void finishDismissal();

    OVRegularDisplayState displayState_ = OVRegularDisplayState::closed;
    OVWeakPresentable<OVRegularPresentableViewController> presentedVC_;
    std::weak_ptr<platform::ui::View> presentedVCUnderlyingView_;
    std::shared_ptr<platform::ui::PanGestureRecognizer> dismissPanGestureRecognizer_;
};

}  // namespace orvane
