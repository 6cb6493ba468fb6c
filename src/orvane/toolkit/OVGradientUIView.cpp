#include "orvane/toolkit/OVGradientUIView.hpp"

namespace orvane {

std::shared_ptr<OVGradientUIView> OVGradientUIView::create(const platform::graphics::Rect& frame) {
    return std::make_shared<OVGradientUIView>(ConstructorKey{}, frame);
}

OVGradientUIView::OVGradientUIView(ConstructorKey key, const platform::graphics::Rect& frame)
    : View(key, frame), gradientLayer_(platform::ui::GradientLayer::create()) {
    layer()->insertSublayer(gradientLayer_, 0);
}

void OVGradientUIView::gradient(const std::vector<Point>& points) {
    std::vector<platform::graphics::Color> colors;
    std::vector<double> locations;
    for (const Point& p : points) {
        colors.push_back(p.color);
        locations.push_back(p.location);
    }
    gradientLayer_->setColors(std::move(colors));
    gradientLayer_->setLocations(std::move(locations));
}

void OVGradientUIView::layoutSubviews() {
    View::layoutSubviews();
    gradientLayer_->setFrame(bounds());
}

}  // namespace orvane
