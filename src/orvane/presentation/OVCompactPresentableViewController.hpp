// What the bottom sheet asks of the controller it presents, beyond what both
// presentations ask: to be handed the expanding and dismissing pans, to be
// told every change of the sheet's display state, extra transition
// properties, its preview view, the header image ratio, whether a shrink may
// start and how far one has gone. Main thread only.
#pragma once

#include <memory>

#include "orvane/presentation/OVCompactTransitionProperty.hpp"
#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVExpandableViewController.hpp"

namespace platform::ui {
class PanGestureRecognizer;
}  // namespace platform::ui

namespace orvane {

class OVCompactPresentableViewController : public virtual OVExpandableViewController {
public:
    virtual void expandingPanGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) = 0;
    virtual void dismissPanGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) = 0;
    virtual void stateDidChange(OVCompactDisplayState from, OVCompactDisplayState to) = 0;
    virtual OVCompactTransitionPropertyList transitionProperties() = 0;
    virtual std::shared_ptr<platform::ui::View> preview() = 0;
    virtual void setImageRatio(double ratio, bool withoutAnimation) = 0;
    virtual bool shouldStartShrink() = 0;
    virtual void isShrinking(double withRelativePosition) = 0;
};

}  // namespace orvane
