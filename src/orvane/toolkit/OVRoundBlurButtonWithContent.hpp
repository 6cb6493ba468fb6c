// A round, blurred button with a centred image: the close button of the
// expandable presentation derives from it. Users create it with a frame, set
// `radius`, call `initialize()` and then set the content (with or without
// vibrancy). The circle is computed once, from the bounds and radius at
// `initialize()`. Main thread only; the button owns its subviews.
#pragma once

#include "platform/ui/controls/Button.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/VisualEffectView.hpp"

namespace orvane {

class OVRoundBlurButtonWithContent : public platform::ui::Button {
public:
    static std::shared_ptr<OVRoundBlurButtonWithContent> create(const platform::graphics::Rect& frame);
    OVRoundBlurButtonWithContent(ConstructorKey key, const platform::graphics::Rect& frame);

    double radius() const { return radius_; }
    void setRadius(double radius) { radius_ = radius; }

    // Builds the round blurred backdrop from the current bounds and radius.
    void initialize();
    // No image: nothing. Otherwise the image, centred, over a blur of `style`.
    void set(const std::optional<platform::graphics::Image>& contentImage, platform::ui::BlurEffect::Style style);
    // No image: nothing. Otherwise the image, tinted grey when a template,
    // in a new vibrancy view inside the blur's content view.
    void setWithVibrancy(const std::optional<platform::graphics::Image>& contentImage,
                         platform::ui::BlurEffect::Style style);

    const std::shared_ptr<platform::ui::VisualEffectView>& blur() const { return blur_; }
    const std::shared_ptr<platform::ui::ImageView>& customImageView() const { return customImageView_; }

private:
    void centerImage();

    double radius_ = 0;
    std::shared_ptr<platform::ui::VisualEffectView> blur_;
    std::shared_ptr<platform::ui::ShapeLayer> pathLayer_;
    std::shared_ptr<platform::ui::ImageView> customImageView_;
};

}  // namespace orvane
