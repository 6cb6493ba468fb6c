// A cell that keeps the root container's own pans from beginning on a
// touch it wants for itself (the player cell's slider): before one of its
// pans begins, the root container asks every visible cell of the current
// page that adopts this, with the touch's location in that cell, and
// refuses the pan when any answers false. Main thread only.
#pragma once

#include "platform/graphics/Geometry.hpp"
#include "platform/ui/input/GestureRecognizer.hpp"

namespace orvane {

class OVViewShouldAcceptTouch {
public:
    virtual ~OVViewShouldAcceptTouch() = default;
    // Whether the root container may begin `forGestureRecognizer` at `touch`
    // (in the cell's own coordinates).
    virtual bool accept(platform::graphics::Point touch, const platform::ui::GestureRecognizer& forGestureRecognizer) = 0;
};

}  // namespace orvane
