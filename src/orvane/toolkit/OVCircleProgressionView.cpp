#include "orvane/toolkit/OVCircleProgressionView.hpp"

#include <algorithm>
#include <numbers>

#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/Transaction.hpp"

namespace orvane {

using namespace platform::ui;

namespace {
constexpr double pi = std::numbers::pi;
}

std::shared_ptr<OVCircleProgressionView> OVCircleProgressionView::create(const Rect& frame) {
    return std::make_shared<OVCircleProgressionView>(ConstructorKey{}, frame);
}

OVCircleProgressionView::OVCircleProgressionView(ConstructorKey key, const Rect& frame) : View(key, frame) {
    initialize();
}

void OVCircleProgressionView::initialize() {
    setBackgroundColor(Color{1, 1, 1, 0});
    setUserInteractionEnabled(false);
    for (const auto& [shape, stroke] : {std::pair{defaultCircleLayer_, defaultColor_}, std::pair{progressionLayer_, color_}}) {
        shape->setFillColor(std::nullopt);
        shape->setStrokeColor(stroke);
        shape->setLineWidth(OVConstants::OVCircleProgressionView::lineWidth);
        shape->setBackgroundColor(std::nullopt);
    }
    layer()->addSublayer(defaultCircleLayer_);
    layer()->addSublayer(progressionLayer_);
}

void OVCircleProgressionView::setDefaultColor(std::optional<Color> color) {
    defaultColor_ = color;
    defaultCircleLayer_->setStrokeColor(color);
}

void OVCircleProgressionView::setColor(std::optional<Color> color) {
    color_ = color;
    progressionLayer_->setStrokeColor(color);
}

Path OVCircleProgressionView::fullCircle() const {
    const Rect b = bounds();
    return Path::arc({b.size.width / 2, b.size.height / 2}, b.size.width / 2, -pi / 2, 3 * pi / 2, true);
}

void OVCircleProgressionView::displayDefaultCircle() { defaultCircleLayer_->setPath(fullCircle()); }

void OVCircleProgressionView::setValue(float value) {
    const float v = std::max(value, 0.0f);
    value_ = v;
    const Rect b = bounds();
    progressionLayer_->setPath(Path::arc({b.size.width / 2, b.size.height / 2}, b.size.width / 2, -pi / 2,
                                         -pi / 2 + 2 * pi * double(v), true));
}

void OVCircleProgressionView::completeCircleAnimation(double duration, std::function<void()> completion) {
    const Path circle = fullCircle();
    progressionLayer_->setStrokeEnd(0);
    progressionLayer_->setPath(circle);
    auto animation = BasicAnimation::create("strokeEnd");
    animation->setFromValue(0.0);
    animation->setToValue(1.0);
    animation->setDuration(duration);
    circleAnimatinIsRunning_ = true;
    const std::uint64_t generation = ++circleAnimationGeneration_;
    Transaction::begin();
    Transaction::setCompletionBlock(
        [self = std::static_pointer_cast<OVCircleProgressionView>(shared_from_this()), generation,
         completion = std::move(completion)] {
            if (generation == self->circleAnimationGeneration_) {
                // Only the latest run's end: a replaced run ends while the
                // new one still draws.
                self->circleAnimatinIsRunning_ = false;
                self->progressionLayer_->setStrokeEnd(1);
            }
            if (completion) completion();
        });
    progressionLayer_->addAnimation(*animation, "completeCircle");
    Transaction::commit();
}

}  // namespace orvane
