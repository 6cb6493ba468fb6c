// The indeterminate loading spinner: a thin ring on which an arc grows and
// shrinks while the ring turns. The ring layer is made once from the bounds
// the view has when created; the spin animation group at the first start,
// then shared by every start. Ignores touches. Made by the chip, the image
// view and the player element's track buttons; main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/toolkit/OVAnimationView.hpp"
#include "platform/ui/animation/Animation.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVCircleSpinAnimationView : public platform::ui::View, public OVAnimationView {
public:
    static std::shared_ptr<OVCircleSpinAnimationView> create(const platform::graphics::Rect& frame);
    OVCircleSpinAnimationView(ConstructorKey key, const platform::graphics::Rect& frame);

    // Stroke of the ring; every set (nil included) becomes the ring's stroke colour.
    const std::optional<platform::graphics::Color>& color() const { return color_; }
    void setColor(std::optional<platform::graphics::Color> color);

    // Adds the spin group to the ring under "animation" unless it spins.
    void startAnimation() override;
    // Removes every animation of the ring.
    void stopAnimation() override;

    // The ring (for drawing and inspection).
    const std::shared_ptr<platform::ui::ShapeLayer>& circleShapeLayer();

private:
    const std::shared_ptr<platform::ui::Animation>& animation();

    bool animationIsRunning_ = false;
    std::optional<platform::graphics::Color> color_;
    std::shared_ptr<platform::ui::ShapeLayer> circleShapeLayer_;
    std::shared_ptr<platform::ui::Animation> animation_;
};

}  // namespace orvane
