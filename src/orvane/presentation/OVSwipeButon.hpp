// The swipe handle of the presentations: a white stroke, seen through an
// extra-light blur, that bends from a flat bar (height factor 0) into a
// chevron (factor 1). The transition properties set the bend through
// `setHeightFactor`; every assignment of the bounds redraws the stroke for
// the new size. The animator that places it wires its tap (touch up inside)
// to the swipe-down route. Made in code only; main thread only. The handle
// owns its blur, the blur's mask view and the stroke layer in that mask.
#pragma once

#include <memory>

#include "platform/ui/controls/Button.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/VisualEffectView.hpp"

namespace orvane {

class OVSwipeButon : public platform::ui::Button {
public:
    static std::shared_ptr<OVSwipeButon> create(const platform::graphics::Rect& frame = {});
    OVSwipeButon(ConstructorKey key, const platform::graphics::Rect& frame);

    // The current bend: 0 a flat bar, 1 a full chevron (not clamped).
    double heightFactor() const { return heightFactor_; }
    // Redraws the stroke when `factor` differs from the current one. A
    // factor that is not a finite number is refused: the stroke stays.
    void setHeightFactor(double factor);

    // Redraws the stroke with the current factor.
    void boundsDidChange(const platform::graphics::Rect& oldBounds) override;

private:
    void setHeightFactor(double factor, bool force);

    std::shared_ptr<platform::ui::VisualEffectView> blur_;
    std::shared_ptr<platform::ui::View> cutomMaskView_;
    std::shared_ptr<platform::ui::ShapeLayer> shapeLayer_;
    double lineWidth_;
    double heightFactor_ = 0;
};

}  // namespace orvane
