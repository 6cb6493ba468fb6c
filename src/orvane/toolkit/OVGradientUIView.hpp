// A view painted by a gradient layer that fills it, behind anything else it
// holds; the player element's cell gives it the theme's gradient points. The
// layer's start and end points keep their defaults (top centre to bottom
// centre): only its colours, locations and frame are ever set. Placed from
// nibs: `create` is what the nib builder calls. Main thread only.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/graphics/Color.hpp"
#include "platform/ui/views/GradientLayer.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVGradientUIView : public platform::ui::View {
public:
    // A gradient stop: where along the gradient (0 start, 1 end) and its colour.
    struct Point {
        double location = 0;
        platform::graphics::Color color;
    };

    static std::shared_ptr<OVGradientUIView> create(const platform::graphics::Rect& frame = {});
    OVGradientUIView(ConstructorKey key, const platform::graphics::Rect& frame);

    // The layer's colours and locations become the points', in order (an
    // empty list clears both).
    virtual void gradient(const std::vector<Point>& points);
    // Base layout, then the gradient layer takes the view's bounds.
    void layoutSubviews() override;

    const std::shared_ptr<platform::ui::GradientLayer>& gradientLayer() const { return gradientLayer_; }

private:
    std::shared_ptr<platform::ui::GradientLayer> gradientLayer_;
};

}  // namespace orvane
