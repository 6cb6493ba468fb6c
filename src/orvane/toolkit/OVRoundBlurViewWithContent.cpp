#include "orvane/toolkit/OVRoundBlurViewWithContent.hpp"

#include <algorithm>
#include <numbers>

#include "orvane/toolkit/RectExtensions.hpp"
#include "platform/core/SystemVersion.hpp"

namespace orvane {

using namespace platform::ui;

namespace {
Rect centred(Size content, const Rect& bounds) {
    return Rect{(bounds.size.width - content.width) / 2, (bounds.size.height - content.height) / 2, content.width,
                content.height};
}
}  // namespace

std::shared_ptr<OVRoundBlurViewWithContent> OVRoundBlurViewWithContent::create(const Rect& frame) {
    auto view = std::make_shared<OVRoundBlurViewWithContent>(ConstructorKey{}, frame);
    view->initializeSubviews();
    return view;
}

OVRoundBlurViewWithContent::OVRoundBlurViewWithContent(ConstructorKey key, const Rect& frame)
    : View(key, frame),
      blur_(VisualEffectView::create()),
      pathLayer_(ShapeLayer::create()),
      customImageView_(ImageView::create()) {}

void OVRoundBlurViewWithContent::initializeSubviews() {
    addSubview(blur_);
    addSubview(customImageView_);
    pathLayer_->setLineWidth(0);
    const Rect b = bounds();
    pathLayer_->setPath(
        Path::arc(orvane::center(b), std::min(b.size.width, b.size.height) / 2, 0, 2 * std::numbers::pi, true));
    blur_->setUserInteractionEnabled(false);
    blur_->setFrame(b);
    blur_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    if (platform::core::SystemVersion::isAtLeast(10)) {
        auto mask = View::create(b);
        mask->layer()->addSublayer(pathLayer_);
        blur_->setMaskView(mask);
    } else {
        blur_->layer()->setMask(pathLayer_);
    }
}

void OVRoundBlurViewWithContent::set(const std::optional<Image>& contentImage, BlurEffect::Style style) {
    if (!contentImage) return;
    blur_->setEffect(BlurEffect::create(style));
    customImageView_->setImage(contentImage);
    customImageView_->setFrame(centred(customImageView_->intrinsicContentSize(), bounds()));
}

void OVRoundBlurViewWithContent::set(const std::shared_ptr<View>& contentView, BlurEffect::Style style) {
    blur_->setEffect(BlurEffect::create(style));
    if (!contentView) return;
    contentView->setFrame(centred(contentView->bounds().size, bounds()));
    addSubview(contentView);
}

}  // namespace orvane
