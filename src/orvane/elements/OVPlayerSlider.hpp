// The player element's seek slider: the kit's slider with a pan recogniser
// of its own (that cancels none of its touches), a thumb that turns to its
// highlighted image while held, and a switch, `positionCanBeChanged`: on,
// the slider takes touches and shows the normal thumb in a 30 x 30 thumb
// rectangle shifted along the track; off, it takes no touch and shows no
// thumb. The thumb images are template images, tinted by the slider's tint.
// Laid out in the player cell's nib; main thread only.
#pragma once

#include <memory>

#include "platform/ui/controls/Slider.hpp"

namespace orvane {

class OVPlayerSlider : public platform::ui::Slider {
public:
    static constexpr double thumbSide = 30;

    static std::shared_ptr<OVPlayerSlider> create(const platform::graphics::Rect& frame = {});
    OVPlayerSlider(ConstructorKey key, const platform::graphics::Rect& frame);

    bool positionCanBeChanged() const { return positionCanBeChanged_; }
    void setPositionCanBeChanged(bool positionCanBeChanged);

    void awakeFromNib() override;
    bool beginTracking(const platform::ui::Touch& touch) override;
    void endTracking(const platform::ui::Touch* touch) override;
    void cancelTracking() override;
    platform::graphics::Rect thumbRect(const platform::graphics::Rect& bounds, const platform::graphics::Rect& track,
                                       float value) const override;

private:
    void setGestureRecognizer();

    bool positionCanBeChanged_ = true;
};

}  // namespace orvane
