// A round blurred view holding an image or any view, centred. The circle
// (diameter: the smaller side) is computed once, when the view is made with
// its frame. Main thread only; the view owns its subviews.
#pragma once

#include "platform/ui/views/ImageView.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/VisualEffectView.hpp"

namespace orvane {

class OVRoundBlurViewWithContent : public platform::ui::View {
public:
    static std::shared_ptr<OVRoundBlurViewWithContent> create(const platform::graphics::Rect& frame);
    OVRoundBlurViewWithContent(ConstructorKey key, const platform::graphics::Rect& frame);

    // No image: nothing. Otherwise the image, centred, over a blur of `style`.
    void set(const std::optional<platform::graphics::Image>& contentImage, platform::ui::BlurEffect::Style style);
    // The view, centred by its bounds' size, above the blur and image.
    void set(const std::shared_ptr<platform::ui::View>& contentView, platform::ui::BlurEffect::Style style);

    const std::shared_ptr<platform::ui::VisualEffectView>& blur() const { return blur_; }

private:
    void initializeSubviews();

    std::shared_ptr<platform::ui::VisualEffectView> blur_;
    std::shared_ptr<platform::ui::ShapeLayer> pathLayer_;
    std::shared_ptr<platform::ui::ImageView> customImageView_;
};

}  // namespace orvane
