#include "orvane/elements/OVPlayerSlider.hpp"

#include "orvane/model/OVGetAsset.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"

namespace orvane {

using platform::graphics::Image;
using platform::graphics::Rect;
using platform::ui::ControlState;

std::shared_ptr<OVPlayerSlider> OVPlayerSlider::create(const Rect& frame) {
    return std::make_shared<OVPlayerSlider>(ConstructorKey{}, frame);
}

OVPlayerSlider::OVPlayerSlider(ConstructorKey key, const Rect& frame) : Slider(key, frame) {
    // The thumb image sits at the top left of the (larger) thumb rectangle.
    setThumbContentsGravity(platform::ui::ContentsGravity::topLeft);
}

void OVPlayerSlider::awakeFromNib() {
    Slider::awakeFromNib();
    setGestureRecognizer();
}

void OVPlayerSlider::setGestureRecognizer() {
    auto pan = platform::ui::PanGestureRecognizer::create();
    pan->setCancelsTouchesInView(false);
    addGestureRecognizer(pan);
}

void OVPlayerSlider::setPositionCanBeChanged(bool positionCanBeChanged) {
    positionCanBeChanged_ = positionCanBeChanged;
    if (positionCanBeChanged) {
        setUserInteractionEnabled(true);
        setThumbImage(OVGetAsset::sliderButtonNormal(), ControlState::normal);
    } else {
        setUserInteractionEnabled(false);
        setThumbImage(Image(), ControlState::normal);
    }
}

bool OVPlayerSlider::beginTracking(const platform::ui::Touch& touch) {
    const bool accepted = Slider::beginTracking(touch);
    if (accepted) setThumbImage(OVGetAsset::sliderButtonHighlighted(), ControlState::normal);
    return accepted;
}

void OVPlayerSlider::endTracking(const platform::ui::Touch* touch) {
    // Switched off while held: the thumb stays hidden.
    if (positionCanBeChanged_) setThumbImage(OVGetAsset::sliderButtonNormal(), ControlState::normal);
    Slider::endTracking(touch);
}

void OVPlayerSlider::cancelTracking() {
    if (positionCanBeChanged_) setThumbImage(OVGetAsset::sliderButtonNormal(), ControlState::normal);
    Slider::cancelTracking();
}

Rect OVPlayerSlider::thumbRect(const Rect& bounds, const Rect& track, float value) const {
    const Rect r = Slider::thumbRect(bounds, track, value);
    if (!positionCanBeChanged_) return r;
    const double s = state() == ControlState::highlighted ? thumbSide : 8;
    const double d = r.size.width - s;
    const double x = r.minX() - d / 2 + d * value;
    return Rect{x, r.minY(), thumbSide, thumbSide};
}

}  // namespace orvane
