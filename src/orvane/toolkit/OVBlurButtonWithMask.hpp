// A button whose blurred backdrop takes the shape of an image's alpha
// channel: the blur is centred in the button and, once
// `setBlur(withAlphaMask:andStyle:)` has run, as large as the image and
// shown where the image is opaque. Before that it has no effect and no size.
// Main thread only; the button owns its subviews and the mask view.
#pragma once

#include "platform/ui/controls/Button.hpp"
#include "platform/ui/views/VisualEffectView.hpp"

namespace orvane {

class OVBlurButtonWithMask : public platform::ui::Button {
public:
    static std::shared_ptr<OVBlurButtonWithMask> create();
    OVBlurButtonWithMask(ConstructorKey key, const platform::graphics::Rect& frame);

    // No image: nothing.
    void setBlurWithAlphaMask(const std::optional<platform::graphics::Image>& image, platform::ui::BlurEffect::Style style);

    const std::shared_ptr<platform::ui::VisualEffectView>& blur() const { return blur_; }
    void layoutSubviews() override;

private:
    void initialize();
    void setConstraints();

    std::shared_ptr<platform::ui::VisualEffectView> blur_;
    std::shared_ptr<platform::ui::View> customMaskView_;
    // The blur's size, centred in the button (the width and height
    // constraints of the blur, zero until a mask image is set).
    platform::graphics::Size blurSize_;
};

}  // namespace orvane
