#include "orvane/toolkit/OVLabelWithGradient.hpp"

#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/GradientLayer.hpp"

namespace orvane {

namespace {
constexpr double fadeWidth = 20;
}

std::shared_ptr<OVLabelWithGradient> OVLabelWithGradient::create(const platform::graphics::Rect& frame) {
    return std::make_shared<OVLabelWithGradient>(ConstructorKey{}, frame);
}

void OVLabelWithGradient::setGradientIfNeeded(const platform::graphics::Color& color) {
    if (gradientView_) gradientView_->removeFromSuperview();
    const auto text = attributedText();
    if (!text) return;
    const double width = text->size().width;
    setLineBreakMode(platform::ui::LineBreakMode::byClipping);
    const platform::graphics::Rect b = bounds();
    if (!(b.size.width < width)) return;

    auto fade = platform::ui::View::create();
    gradientView_ = fade;
    addSubview(fade);
    fade->setTranslatesAutoresizingMaskIntoConstraints(false);
    // Top, bottom and right on the label's, 20 points wide.
    platform::ui::LayoutConstraint::activate({
        fade->topAnchor().constraintEqualTo(topAnchor()),
        fade->bottomAnchor().constraintEqualTo(bottomAnchor()),
        fade->rightAnchor().constraintEqualTo(rightAnchor()),
        fade->widthAnchor().constraintEqualToConstant(fadeWidth),
    });
    layoutIfNeeded();
    // Out of a window the constraints wait for one: meanwhile the fade takes
    // the frame they will give, so that the gradient gets its size now.
    if (!window()) fade->setFrame({b.maxX() - fadeWidth, b.minY(), fadeWidth, b.size.height});

    auto gradient = platform::ui::GradientLayer::create();
    gradient->setFrame(fade->bounds());
    platform::graphics::Color clear = color;
    clear.alpha = 0;
    gradient->setColors({clear, color});
    gradient->setStartPoint({0, 0});
    gradient->setEndPoint({1, 0});
    fade->layer()->addSublayer(gradient);
}

}  // namespace orvane
