#include "orvane/toolkit/OVRoundBlurButtonWithContent.hpp"

#include <numbers>

#include "orvane/toolkit/RectExtensions.hpp"
#include "platform/core/SystemVersion.hpp"

namespace orvane {

using namespace platform::ui;

std::shared_ptr<OVRoundBlurButtonWithContent> OVRoundBlurButtonWithContent::create(const Rect& frame) {
    auto button = std::make_shared<OVRoundBlurButtonWithContent>(ConstructorKey{}, frame);
    button->installSubviews();
    return button;
}

OVRoundBlurButtonWithContent::OVRoundBlurButtonWithContent(ConstructorKey key, const Rect& frame)
    : Button(key, frame),
      blur_(VisualEffectView::create()),
      pathLayer_(ShapeLayer::create()),
      customImageView_(ImageView::create()) {}

void OVRoundBlurButtonWithContent::initialize() {
    addSubview(blur_);
    customImageView_->setContentMode(ContentMode::scaleAspectFill);
    pathLayer_->setLineWidth(0);
    pathLayer_->setStrokeColor(Color::black());
    pathLayer_->setPath(Path::arc(orvane::center(bounds()), radius_, 0, 2 * std::numbers::pi, true));
    blur_->setUserInteractionEnabled(false);
    blur_->setFrame(bounds());
    blur_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    if (platform::core::SystemVersion::isAtLeast(10)) {
        auto mask = View::create(bounds());
        mask->layer()->addSublayer(pathLayer_);
        blur_->setMaskView(mask);
    } else {
        blur_->layer()->setMask(pathLayer_);
    }
}

void OVRoundBlurButtonWithContent::centerImage() {
    const Rect b = bounds();
    const Size s = customImageView_->image() ? customImageView_->intrinsicContentSize() : Size{};
    customImageView_->setFrame(Rect{(b.size.width - s.width) / 2, (b.size.height - s.height) / 2, s.width, s.height});
}

void OVRoundBlurButtonWithContent::set(const std::optional<Image>& contentImage, BlurEffect::Style style) {
    if (!contentImage) return;
    addSubview(customImageView_);
    blur_->setEffect(BlurEffect::create(style));
    customImageView_->setImage(contentImage);
    centerImage();
}

void OVRoundBlurButtonWithContent::setWithVibrancy(const std::optional<Image>& contentImage,
                                                   BlurEffect::Style style) {
    if (!contentImage) return;
    auto effect = BlurEffect::create(style);
    blur_->setEffect(effect);
    auto vibrancy = VisualEffectView::create(VibrancyEffect::create(effect), blur_->bounds());
    customImageView_->setImage(contentImage);
    customImageView_->setTintColor(Color{0.5, 0.5, 0.5, 1});
    centerImage();
    vibrancy->contentView()->addSubview(customImageView_);
    blur_->contentView()->addSubview(vibrancy);
}

}  // namespace orvane
