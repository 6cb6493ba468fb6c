// The bottom sheet: presents the root container at compact width as a sheet
// that springs up from the bottom to its preview height (the height of the
// controller's preview view) over the dimmed, slightly shrunk host screen,
// with the swipe handle just above its top edge and the cancel button beside
// it. A pan on the sheet drags it up (estimating where its top stands between
// layout passes) and expands it to full screen, or releases it back to the
// preview or off the screen; once at full screen, a pan on the presented view
// shrinks it down, returns it, or flicks it away. Every assignment of the
// display state is reported to the presented controller.
//
// One animator per presentation, made by the coordinator and owned by the
// root container (`presentationTransitioning`); it keeps the views and
// constraints it builds weakly (they belong to the container view), its two
// pans strongly, and is kept alive by its own animation blocks until they
// end. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "orvane/presentation/OVCompactPresentableViewController.hpp"
#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVVCPresentationTransitioning.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"

namespace platform::ui {
class LayoutConstraint;
}  // namespace platform::ui

namespace orvane {

class OVCompactVCPresentationTransitioning : public OVVCPresentationTransitioning {
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    // The pan that drags the sheet up from the preview. Between two layout
    // passes the sheet's frame is stale, so it estimates the sheet's top
    // from the last known top and the translation since then.
    class ExpandingPanGestureRecognizer : public platform::ui::PanGestureRecognizer {
    public:
        template <class T, class Action>
        static std::shared_ptr<ExpandingPanGestureRecognizer> create(const std::shared_ptr<T>& target,
                                                                     Action action) {
            auto r = std::make_shared<ExpandingPanGestureRecognizer>(ConstructorKey{});
            r->addTarget(target, action);
            return r;
        }
        explicit ExpandingPanGestureRecognizer(ConstructorKey) {}

        // The last known top of the sheet, none until told.
        std::optional<double> lastPosition() const { return lastPosition_; }
        // The translation seen at the last estimate (kept from one drag to
        // the next).
        double lastTranslation() const { return lastTranslation_; }
        // translation - lastTranslation + lastPosition, remembering
        // `translation`; none (and nothing remembered) without a known top.
        std::optional<double> positionEstimation(double translation);
        // The sheet's real top; the last translation is kept.
        void setRealPosition(double position) { lastPosition_ = position; }

    private:
        std::optional<double> lastPosition_;
        double lastTranslation_ = 0;
    };

    static std::shared_ptr<OVCompactVCPresentationTransitioning> create(bool fullExpandRequired);
    OVCompactVCPresentationTransitioning(ConstructorKey, bool fullExpandRequired);

    // Open straight to full screen instead of the preview.
    bool fullExpandRequired() const { return fullExpandRequired_; }
    void setFullExpandRequired(bool value) { fullExpandRequired_ = value; }

    // ---- The platform's animated transitioning ----
    // The reported duration, 0.7 s.
    double transitionDuration(const std::shared_ptr<platform::ui::TransitionContext>& context) override;
    // Builds the sheet, the dimming view, the mask, the handle, the cancel
    // button, the recognisers and the property list, then springs the sheet
    // to its preview height (or expands it to full screen). A context
    // without a "from" controller, or whose "to" controller does not adopt
    // the compact presentable protocol, is completed at once with false.
    void animateTransition(const std::shared_ptr<platform::ui::TransitionContext>& context) override;

    // ---- OVVCPresentationTransitioningProtocol ----
    // Slides the sheet off the screen at a speed that grows with the
    // distance left, then dismisses the presented controller without
    // animation and reports `closed`.
    void dismiss() override;
    // Springs the sheet to full screen, then calls `completion`. Already at
    // full screen: only calls `completion`; while the listener shrinks it:
    // ends that drag and springs it back to full screen as a release without
    // dismissal does, then calls `completion`; either way the dismiss pan
    // stays enabled. While it is dismissed: nothing (no completion).
    void fullExpand(std::function<void()> completion) override;

    // The presented root container.
    OVPresentable<OVCompactPresentableViewController> presentedVC() const { return presentedVC_.lock(); }
    void setPresentedVC(const OVPresentable<OVCompactPresentableViewController>& vc) { presentedVC_ = vc; }

    // Made on first read (disabled; target this animator) and kept; the
    // root container enables it when the sheet reaches full screen.
    const std::shared_ptr<platform::ui::PanGestureRecognizer>& dismissPanGestureRecognizer();
    void setDismissPanGestureRecognizer(std::shared_ptr<platform::ui::PanGestureRecognizer> recognizer) {
        dismissPanGestureRecognizer_ = std::move(recognizer);
    }

    // A plain view of colour `withBackgroundColor` inside the sheet, pinned
    // to its left, right and bottom (its top is the caller's).
    static std::shared_ptr<platform::ui::View> addAlphaMaskView(
        const std::shared_ptr<platform::ui::View>& toPresentedVCUnderlyingView,
        const platform::graphics::Color& withBackgroundColor);

private:
    // Made on first read (enabled, one touch at most) and kept.
    const std::shared_ptr<ExpandingPanGestureRecognizer>& expandingPanGestureRecognizer();

    // Stores the state, then reports it (also an unchanged one).
    void setDisplayState(OVCompactDisplayState state);
    void setSwipeButton();
    void setCancelButton();
    void handleExpandingPan(ExpandingPanGestureRecognizer& panGestureRecognizer);
    void handleDismissPan(platform::ui::PanGestureRecognizer& panGestureRecognizer);
    void expand(double velocity, double translation, std::function<void()> completion);
    void dismiss(double velocity);
    // From a shrink back to full screen (0.7 s spring), keeping the dismiss pan.
    void returnToFullScreen(std::function<void()> completion);
    // This animator, kept alive by the blocks and completions that capture it.
    std::shared_ptr<OVCompactVCPresentationTransitioning> self();

    bool fullExpandRequired_;
    OVCompactDisplayState displayState_ = OVCompactDisplayState::closed;
    OVWeakPresentable<OVCompactPresentableViewController> presentedVC_;
    std::weak_ptr<platform::ui::View> presentedVCUnderlyingView_;
    std::weak_ptr<platform::ui::View> alphaMaskView_;
    std::weak_ptr<platform::ui::LayoutConstraint> widthConstraint_;
    std::weak_ptr<platform::ui::LayoutConstraint> topConstraint_;
    double topConstraintConstant_ = 0;
    std::weak_ptr<platform::ui::LayoutConstraint> heightConstraint_;
    double previewHeight_ = 0;
    std::optional<platform::graphics::Rect> previewFrame_;
    std::shared_ptr<ExpandingPanGestureRecognizer> expandingPanGestureRecognizer_;
    std::shared_ptr<platform::ui::PanGestureRecognizer> dismissPanGestureRecognizer_;
};

}  // namespace orvane
