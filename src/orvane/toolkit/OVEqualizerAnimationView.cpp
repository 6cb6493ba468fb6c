#include "orvane/toolkit/OVEqualizerAnimationView.hpp"

#include "platform/ui/animation/Animation.hpp"

namespace orvane {

using namespace platform::ui;

std::shared_ptr<OVEqualizerAnimationView> OVEqualizerAnimationView::create(const Rect& frame) {
    return std::make_shared<OVEqualizerAnimationView>(ConstructorKey{}, frame);
}

OVEqualizerAnimationView::OVEqualizerAnimationView(ConstructorKey key, const Rect& frame) : View(key, frame) {
    initialize();
}

void OVEqualizerAnimationView::initialize() {
    setBackgroundColor(std::nullopt);
    setUserInteractionEnabled(false);
    setUpRectLayers();
}

double OVEqualizerAnimationView::rectWidth() const {
    return bounds().size.width / (numberOfRect + (numberOfRect - 1) * spaceRatio_);
}

void OVEqualizerAnimationView::setUpRectLayers() {
    const double h = bounds().size.height;
    const double rw = rectWidth();
    for (int i = 0; i < numberOfRect; ++i) {
        auto bar = rectLayer({rw, h * heightFactor[i]});
        bar->setFrame({i * rw * (1 + spaceRatio_), 0, rw, h});
        layer()->addSublayer(bar);
        rectLayers_.push_back(std::move(bar));
    }
}

std::shared_ptr<ShapeLayer> OVEqualizerAnimationView::rectLayer(Size size) const {
    const double h = bounds().size.height;
    auto bar = ShapeLayer::create();
    bar->setPath(Path::roundedRect({0, h - size.height, size.width, size.height}, 2));
    bar->setFillColor(color_);
    bar->setBackgroundColor(std::nullopt);
    bar->setFrame({0, 0, size.width, size.height});
    return bar;
}

std::shared_ptr<KeyframeAnimation> OVEqualizerAnimationView::animation(double rw, double h) const {
    auto bars = KeyframeAnimation::create("path");
    bars->setAdditive(true);
    std::vector<AnimatableValue> values;
    for (double f : keyframeFactors) values.push_back(Path::roundedRect({0, h - h * f, rw, h * f}, 2));
    bars->setValues(std::move(values));
    return bars;
}

void OVEqualizerAnimationView::setColor(std::optional<Color> color) {
    color_ = color;
    for (const auto& bar : rectLayers_) bar->setFillColor(color);
}

void OVEqualizerAnimationView::startAnimation() {
    if (animationIsRunning_) return;
    animationIsRunning_ = true;
    for (int i = 0; i < numberOfRect; ++i) {
        auto bar = animation(rectWidth(), bounds().size.height);
        bar->setDuration(duration[i]);
        bar->setRepeatCount(Animation::repeatForever);
        bar->setRemovedOnCompletion(false);
        rectLayers_[i]->addAnimation(*bar, "animation");
    }
}

void OVEqualizerAnimationView::stopAnimation() {
    animationIsRunning_ = false;
    for (const auto& bar : rectLayers_) bar->removeAllAnimations();
}

}  // namespace orvane
