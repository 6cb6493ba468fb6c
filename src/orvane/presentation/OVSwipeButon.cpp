#include "orvane/presentation/OVSwipeButon.hpp"

#include <cmath>

#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using namespace platform::ui;
using Sizes = OVConstants::OVSwipeButon;

std::shared_ptr<OVSwipeButon> OVSwipeButon::create(const Rect& frame) {
    auto button = std::make_shared<OVSwipeButon>(ConstructorKey{}, frame);
    button->installSubviews();
    button->blur_->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
    button->blur_->setEffect(BlurEffect::create(BlurEffect::Style::extraLight));
    button->addSubview(button->blur_);
    button->blur_->setMaskView(button->cutomMaskView_);
    auto& stroke = *button->shapeLayer_;
    stroke.setStrokeColor(Color::white());
    stroke.setFillColor(std::nullopt);
    stroke.setLineWidth(button->lineWidth_);
    stroke.setLineCap(LineCap::round);
    stroke.setLineJoin(LineJoin::round);
    button->cutomMaskView_->layer()->addSublayer(button->shapeLayer_);
    return button;
}

OVSwipeButon::OVSwipeButon(ConstructorKey key, const Rect& frame)
    : Button(key, frame),
      blur_(VisualEffectView::create(nullptr, Rect{0, 0, frame.size.width, frame.size.height})),
      cutomMaskView_(View::create(Rect{0, 0, frame.size.width, frame.size.height})),
      shapeLayer_(ShapeLayer::create()),
      lineWidth_(Sizes::lineWidth) {
    blur_->setUserInteractionEnabled(false);
}

void OVSwipeButon::setHeightFactor(double factor) { setHeightFactor(factor, false); }

void OVSwipeButon::boundsDidChange(const Rect& oldBounds) {
    Button::boundsDidChange(oldBounds);
    setHeightFactor(heightFactor_, true);
}

void OVSwipeButon::setHeightFactor(double factor, bool force) {
    if (!std::isfinite(factor)) return;
    if (factor == heightFactor_ && !force) return;
    heightFactor_ = factor;
    const Size size = bounds().size;
    const double margin = (size.width - Sizes::width) / 2;
    Path path;
    path.moveTo({margin + lineWidth_ / 2, size.height / 2});
    path.lineTo({size.width / 2, size.height / 2 + (Sizes::height - lineWidth_) * factor});
    path.lineTo({size.width - margin - lineWidth_ / 2, size.height / 2});
    shapeLayer_->setPath(std::move(path));
}

}  // namespace orvane
