#include "platform/ui/controls/ProgressView.hpp"

#include <algorithm>
#include <cmath>

namespace platform::ui {

std::shared_ptr<ProgressView> ProgressView::create(const Rect& frame) {
    auto view = std::make_shared<ProgressView>(ConstructorKey{}, frame);
    view->updateLayers();
    return view;
}

ProgressView::ProgressView(ConstructorKey key, const Rect& frame) : View(key, frame), bar_(Layer::create()) {
    layer()->addSublayer(bar_);
}

void ProgressView::setProgress(float progress, bool animated) {
    progress_ = std::isnan(progress) ? 0.0f : std::clamp(progress, 0.0f, 1.0f);
    updateLayers(animated ? animationDuration : 0);
}

void ProgressView::setProgressTintColor(std::optional<Color> color) {
    progressTint_ = color;
    updateLayers();
}

void ProgressView::setTrackTintColor(std::optional<Color> color) {
    trackTint_ = color;
    updateLayers();
}

void ProgressView::updateLayers(double duration) {
    const Rect b = bounds();
    setBackgroundColor(trackTint_.value_or(Color{0.71, 0.71, 0.71, 0.5}));
    bar_->setFrame(Rect{b.origin.x, b.origin.y, b.size.width * progress_, b.size.height}, duration);
    bar_->setBackgroundColor(progressTint_.value_or(tintColor()));
}

}  // namespace platform::ui
