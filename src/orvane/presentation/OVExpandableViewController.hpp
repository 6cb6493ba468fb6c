// What both presentations ask of the controller they present (the root
// container): its theme, and to be told when the animator has put its view
// in the container, installed the tap-to-close recogniser (whose delegate
// it is) and is about to start the opening animation. It decides, as the
// recognisers' delegate, which touches they take. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/model/OVTheme.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/input/GestureRecognizer.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace platform::ui {
class TapGestureRecognizer;
}  // namespace platform::ui

namespace orvane {

class OVExpandableViewController : public virtual platform::ui::GestureRecognizerDelegate,
                                   public virtual platform::ui::ViewControllerTransitioningDelegate {
public:
    virtual std::optional<OVTheme> theme() const = 0;
    virtual void controllerViewWasAddedToContainer(platform::ui::LayoutGuide& withSafeGuide) = 0;
    virtual void closeTapGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::TapGestureRecognizer>& tapGestureRecognizer) = 0;
    // Once, just before the opening animation starts.
    virtual void presentationAnimationWillStart() = 0;
};

}  // namespace orvane
