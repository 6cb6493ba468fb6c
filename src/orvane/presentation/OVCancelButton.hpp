// The cancel button of the bottom sheet: a round, extra-light blurred button,
// 40 x 40 points with radius 10, showing the bundle's "CancelButton" template
// image through vibrancy. The animator wires its tap (touch up inside) to the
// quit route. Made in code only (no frame of its own); main thread only.
#pragma once

#include <memory>

#include "orvane/toolkit/OVRoundBlurButtonWithContent.hpp"

namespace orvane {

class OVCancelButton : public OVRoundBlurButtonWithContent {
public:
    static std::shared_ptr<OVCancelButton> create();
    OVCancelButton(ConstructorKey key, const platform::graphics::Rect& frame);
};

}  // namespace orvane
