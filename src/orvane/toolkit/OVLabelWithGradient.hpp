// A label that, when its text is wider than itself, clips the text and fades
// the clipped end out under a 20-point horizontal gradient ending in a given
// colour. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVLabelWithGradient : public platform::ui::Label {
public:
    static std::shared_ptr<OVLabelWithGradient> create(const platform::graphics::Rect& frame = {});
    OVLabelWithGradient(ConstructorKey key, const platform::graphics::Rect& frame) : Label(key, frame) {}

    // The fade view last added (it stays referred to after it is removed).
    const std::shared_ptr<platform::ui::View>& gradientView() const { return gradientView_; }

    // Removes the previous fade; with a text, switches to clipping and, when
    // the text is wider than the bounds, adds a fade view 20 points wide over
    // the label's full height at its right edge, running from `color` with
    // alpha 0 at its left to `color` at its right.
    virtual void setGradientIfNeeded(const platform::graphics::Color& color);

private:
    std::shared_ptr<platform::ui::View> gradientView_;
};

}  // namespace orvane
