// What the side panel asks of the controller it presents, beyond what both
// presentations ask: to be told each assignment of the panel's display state
// and to be handed the dismiss pan (whose delegate it is). Main thread only.
#pragma once

#include <memory>

#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVExpandableViewController.hpp"

namespace platform::ui {
class PanGestureRecognizer;
}  // namespace platform::ui

namespace orvane {

class OVRegularPresentableViewController : public virtual OVExpandableViewController {
public:
    virtual void stateDidChange(OVRegularDisplayState toValue) = 0;
    virtual void dismissGestureRecognizerWasSetForRegularDisplay(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) = 0;
};

}  // namespace orvane
