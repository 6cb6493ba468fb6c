#include "orvane/toolkit/OVBlurButtonWithMask.hpp"

#include "platform/core/SystemVersion.hpp"

namespace orvane {

using namespace platform::ui;

std::shared_ptr<OVBlurButtonWithMask> OVBlurButtonWithMask::create() {
    auto button = std::make_shared<OVBlurButtonWithMask>(ConstructorKey{}, Rect{});
    button->installSubviews();
    button->initialize();
    return button;
}

OVBlurButtonWithMask::OVBlurButtonWithMask(ConstructorKey key, const Rect& frame)
    : Button(key, frame), blur_(VisualEffectView::create()), customMaskView_(View::create()) {}

void OVBlurButtonWithMask::initialize() {
    addSubview(blur_);
    blur_->setUserInteractionEnabled(false);
    setConstraints();
}

void OVBlurButtonWithMask::setConstraints() {
    blurSize_ = {0, 0};
    setNeedsLayout();
}

void OVBlurButtonWithMask::layoutSubviews() {
    Button::layoutSubviews();
    const Rect b = bounds();
    blur_->setFrame(Rect{b.midX() - blurSize_.width / 2, b.midY() - blurSize_.height / 2, blurSize_.width,
                         blurSize_.height});
}

void OVBlurButtonWithMask::setBlurWithAlphaMask(const std::optional<Image>& image, BlurEffect::Style style) {
    if (!image) return;
    blur_->setEffect(BlurEffect::create(style));
    blurSize_ = {image->width(), image->height()};
    setNeedsLayout();
    const Rect maskFrame{0, 0, image->width(), image->height()};
    customMaskView_->setFrame(maskFrame);
    if (platform::core::SystemVersion::isAtLeast(11)) {
        customMaskView_->layer()->setContents(image);
        blur_->setMaskView(customMaskView_);
    } else {
        auto mask = Layer::create();
        mask->setFrame(maskFrame);
        mask->setContents(image);
        blur_->layer()->setMask(mask);
    }
}

}  // namespace orvane
