#include "platform/ui/controls/Slider.hpp"

#include <algorithm>
#include <cmath>

#include "platform/ui/input/PanGestureRecognizer.hpp"
#include "platform/ui/views/ImageView.hpp"

namespace platform::ui {

std::shared_ptr<Slider> Slider::create(const Rect& frame) {
    auto slider = std::make_shared<Slider>(ConstructorKey{}, frame);
    slider->updateLayers();
    return slider;
}

Slider::Slider(ConstructorKey key, const Rect& frame)
    : Control(key, frame), minimumTrack_(Layer::create()), maximumTrack_(Layer::create()), thumb_(Layer::create()) {
    for (const auto& l : {maximumTrack_, minimumTrack_}) {
        l->setCornerRadius(1);
        layer()->addSublayer(l);
    }
    thumb_->setShadowOpacity(0.25);
    thumb_->setShadowOffset({0, 2});
    thumb_->setShadowRadius(2);
    layer()->addSublayer(thumb_);
}

float Slider::clamped(float value) const {
    if (std::isnan(value)) return minimumValue_;
    return std::clamp(value, minimumValue_, std::max(minimumValue_, maximumValue_));
}

void Slider::setValue(float value, bool animated) {
    value_ = clamped(value);
    updateLayers(animated ? animationDuration : 0);
}

void Slider::setMinimumValue(float value) {
    minimumValue_ = value;
    if (maximumValue_ < minimumValue_) maximumValue_ = minimumValue_;
    setValue(value_);
}

void Slider::setMaximumValue(float value) {
    maximumValue_ = value;
    if (minimumValue_ > maximumValue_) minimumValue_ = maximumValue_;
    setValue(value_);
}

void Slider::setMinimumTrackTintColor(std::optional<Color> color) {
    minimumTrackTint_ = color;
    updateLayers();
}

void Slider::setMaximumTrackTintColor(std::optional<Color> color) {
    maximumTrackTint_ = color;
    updateLayers();
}

void Slider::setThumbImage(std::optional<Image> image, ControlState state) {
    if (image) {
        thumbImages_.insert_or_assign(state, std::move(*image));
    } else {
        thumbImages_.erase(state);
    }
    updateLayers();
}

std::optional<Image> Slider::thumbImage(ControlState state) const {
    if (auto it = thumbImages_.find(state); it != thumbImages_.end()) return it->second;
    if (auto it = thumbImages_.find(ControlState::normal); it != thumbImages_.end()) return it->second;
    return std::nullopt;
}

Rect Slider::trackRect(const Rect& bounds) const {
    return Rect{bounds.origin.x, bounds.origin.y + bounds.size.height / 2 - 1, bounds.size.width, 2};
}

Rect Slider::thumbRect(const Rect& bounds, const Rect& track, float value) const {
    Size size{defaultThumbSide, defaultThumbSide};
    if (auto image = currentThumbImage()) size = {image->width(), image->height()};
    const float range = maximumValue_ - minimumValue_;
    const double fraction = range > 0 ? (value - minimumValue_) / range : 0;
    const double x = track.origin.x + (track.size.width - size.width) * std::clamp(fraction, 0.0, 1.0);
    return Rect{x, bounds.origin.y + (bounds.size.height - size.height) / 2, size.width, size.height};
}

float Slider::valueAt(double thumbCenterX) const {
    const Rect track = trackRect(bounds());
    const double width = thumbRect(bounds(), track, value_).size.width;
    const double travel = track.size.width - width;
    if (!(travel > 0)) return value_;
    const double fraction = (thumbCenterX - width / 2 - track.origin.x) / travel;
    return clamped(static_cast<float>(minimumValue_ + fraction * (maximumValue_ - minimumValue_)));
}

bool Slider::beginTracking(const Touch& touch) {
    const Rect thumb = thumbRect(bounds(), trackRect(bounds()), value_);
    const Point p = touch.location(this);
    if (!thumb.insetBy(-thumbTouchMargin, -thumbTouchMargin).contains(p)) return false;
    grabOffset_ = p.x - thumb.midX();
    valueAtBegin_ = value_;
    return true;
}

bool Slider::continueTracking(const Touch& touch) {
    const float old = value_;
    setValue(valueAt(touch.location(this).x - grabOffset_));
    if (continuous_ && value_ != old) sendActions(ControlEvents::valueChanged);
    return true;
}

void Slider::endTracking(const Touch*) {
    if (!continuous_ && value_ != valueAtBegin_) sendActions(ControlEvents::valueChanged);
}

void Slider::cancelTracking() {}

void Slider::touchesMoved(const Touch& touch) {
    Control::touchesMoved(touch);
    // Highlighted for as long as the thumb is held, inside or not.
    if (isTracking()) setHighlighted(true);
}

bool Slider::gestureRecognizerShouldBegin(GestureRecognizer& recognizer) {
    // While the thumb is held, the pans of the views around do not start.
    if (isTracking() && dynamic_cast<PanGestureRecognizer*>(&recognizer) && recognizer.view().get() != this)
        return false;
    return Control::gestureRecognizerShouldBegin(recognizer);
}

void Slider::layoutSubviews() { updateLayers(); }

void Slider::setThumbContentsGravity(ContentsGravity gravity) {
    thumb_->setContentsGravity(gravity);
    updateLayers();
}

void Slider::updateLayers(double duration) {
    const Rect b = bounds();
    const Rect track = trackRect(b);
    const Rect thumb = thumbRect(b, track, value_);
    const double split = std::clamp(thumb.midX(), track.minX(), track.maxX());
    minimumTrack_->setFrame(Rect{track.origin.x, track.origin.y, split - track.origin.x, track.size.height}, duration);
    maximumTrack_->setFrame(Rect{split, track.origin.y, track.maxX() - split, track.size.height}, duration);
    minimumTrack_->setBackgroundColor(minimumTrackTint_.value_or(tintColor()));
    maximumTrack_->setBackgroundColor(maximumTrackTint_.value_or(Color{0.71, 0.71, 0.71, 1}));
    thumb_->setFrame(thumb, duration);
    if (auto image = currentThumbImage()) {
        thumb_->setContents(image);
        thumb_->setContentsTintColor(ImageView::drawsAsTemplate(*image) ? std::optional<Color>(tintColor())
                                                                         : std::nullopt);
        thumb_->setBackgroundColor(std::nullopt);
        thumb_->setCornerRadius(0);
        thumb_->setShadowOpacity(0);
    } else {
        thumb_->setContents(std::nullopt);
        thumb_->setBackgroundColor(Color::white());
        thumb_->setCornerRadius(thumb.size.width / 2);
        thumb_->setShadowOpacity(0.25);
    }
}

}  // namespace platform::ui
