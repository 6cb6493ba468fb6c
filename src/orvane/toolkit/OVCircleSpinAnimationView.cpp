#include "orvane/toolkit/OVCircleSpinAnimationView.hpp"

#include <limits>
#include <numbers>

#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/animation/AnimationGroup.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"

namespace orvane {

using namespace platform::ui;

std::shared_ptr<OVCircleSpinAnimationView> OVCircleSpinAnimationView::create(const Rect& frame) {
    return std::make_shared<OVCircleSpinAnimationView>(ConstructorKey{}, frame);
}

OVCircleSpinAnimationView::OVCircleSpinAnimationView(ConstructorKey key, const Rect& frame) : View(key, frame) {
    setUserInteractionEnabled(false);
    layer()->addSublayer(circleShapeLayer());
}

const std::shared_ptr<ShapeLayer>& OVCircleSpinAnimationView::circleShapeLayer() {
    if (!circleShapeLayer_) {
        constexpr double pi = std::numbers::pi;
        const Rect b = bounds();
        const double w = b.size.width, h = b.size.height;
        circleShapeLayer_ = ShapeLayer::create();
        circleShapeLayer_->setFrame({0, 0, w, h});
        circleShapeLayer_->setPath(Path::arc({w / 2, h / 2}, w / 2, -pi / 2, 3 * pi / 2, true));
        circleShapeLayer_->setFillColor(std::nullopt);
        circleShapeLayer_->setBackgroundColor(std::nullopt);
        circleShapeLayer_->setLineWidth(OVConstants::OVCircleSpinAnimationView::lineWidth);
        circleShapeLayer_->setStrokeColor(color_);
    }
    return circleShapeLayer_;
}

void OVCircleSpinAnimationView::setColor(std::optional<Color> color) {
    color_ = color;
    circleShapeLayer()->setStrokeColor(color);
}

const std::shared_ptr<Animation>& OVCircleSpinAnimationView::animation() {
    if (!animation_) {
        const TimingFunction curve(0.4, 0.0, 0.2, 1.0);
        auto rotation = BasicAnimation::create("transform.rotation");
        rotation->setByValue(double(float(2 * std::numbers::pi)));
        rotation->setTimingFunction(TimingFunction::named(TimingFunction::Name::linear));
        auto strokeEnd = BasicAnimation::create("strokeEnd");
        strokeEnd->setFromValue(0.0);
        strokeEnd->setToValue(1.0);
        strokeEnd->setDuration(0.7);
        strokeEnd->setTimingFunction(curve);
        auto strokeStart = BasicAnimation::create("strokeStart");
        strokeStart->setFromValue(0.0);
        strokeStart->setToValue(1.0);
        strokeStart->setDuration(1.2);
        strokeStart->setTimingFunction(curve);
        strokeStart->setBeginTime(0.5);
        auto group = AnimationGroup::create();
        group->setAnimations({rotation, strokeEnd, strokeStart});
        group->setDuration(1.7);
        group->setRepeatCount(std::numeric_limits<double>::infinity());
        group->setRemovedOnCompletion(false);
        group->setFillMode(FillMode::forwards);
        animation_ = group;
    }
    return animation_;
}

void OVCircleSpinAnimationView::startAnimation() {
    if (animationIsRunning_) return;
    animationIsRunning_ = true;
    circleShapeLayer()->setFrame(bounds());
    circleShapeLayer()->addAnimation(*animation(), "animation");
}

void OVCircleSpinAnimationView::stopAnimation() {
    animationIsRunning_ = false;
    circleShapeLayer()->removeAllAnimations();
}

}  // namespace orvane
