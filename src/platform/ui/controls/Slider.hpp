// A horizontal slider: a float value clamped to [minimumValue, maximumValue]
// shown by a thumb on a track, the part left of the thumb in the minimum
// track tint (the tint colour unless set), the rest in the maximum track
// tint. A touch that goes down on the thumb drags it: the control is
// highlighted while it tracks and sends valueChanged as the value moves
// (continuous) or once at the end. Per-state thumb images fall back to the
// normal one; without any the thumb is a plain white disc. Subclasses may
// refine the tracking hooks and `thumbRect`. Main thread only.
#pragma once

#include <map>

#include "platform/ui/controls/Control.hpp"

namespace platform::ui {

class Slider : public Control {
public:
    // How long an animated change of the value takes.
    static constexpr double animationDuration = 0.25;
    static std::shared_ptr<Slider> create(const Rect& frame = {});
    Slider(ConstructorKey key, const Rect& frame);

    float value() const { return value_; }
    // Clamped to the range. Animated moves show the new value at once.
    void setValue(float value, bool animated = false);
    float minimumValue() const { return minimumValue_; }
    void setMinimumValue(float value);
    float maximumValue() const { return maximumValue_; }
    void setMaximumValue(float value);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }

    std::optional<Color> minimumTrackTintColor() const { return minimumTrackTint_; }
    void setMinimumTrackTintColor(std::optional<Color> color);
    std::optional<Color> maximumTrackTintColor() const { return maximumTrackTint_; }
    void setMaximumTrackTintColor(std::optional<Color> color);
    void setThumbImage(std::optional<Image> image, ControlState state);
    std::optional<Image> thumbImage(ControlState state) const;
    std::optional<Image> currentThumbImage() const { return thumbImage(state()); }
    // Where a thumb image sits in a thumb rectangle larger than itself;
    // stretched over it unless set.
    void setThumbContentsGravity(ContentsGravity gravity);

    // The track's rectangle in `bounds` (2 points high, vertically centred).
    virtual Rect trackRect(const Rect& bounds) const;
    // The thumb's rectangle for `value` on `track`.
    virtual Rect thumbRect(const Rect& bounds, const Rect& track, float value) const;

    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;
    void endTracking(const Touch* touch) override;
    void cancelTracking() override;
    void touchesMoved(const Touch& touch) override;
    bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer) override;
    void layoutSubviews() override;
    void tintColorDidChange() override { updateLayers(); }

    static constexpr double defaultThumbSide = 28;
    static constexpr double thumbTouchMargin = 10;

protected:
    void stateDidChange() override { updateLayers(); }

private:
    // Places the layers; a positive duration animates them there.
    void updateLayers(double duration = 0);
    float clamped(float value) const;
    float valueAt(double thumbCenterX) const;

    float value_ = 0;
    float minimumValue_ = 0;
    float maximumValue_ = 1;
    bool continuous_ = true;
    std::optional<Color> minimumTrackTint_;
    std::optional<Color> maximumTrackTint_;
    std::map<ControlState, Image> thumbImages_;
    std::shared_ptr<Layer> minimumTrack_;
    std::shared_ptr<Layer> maximumTrack_;
    std::shared_ptr<Layer> thumb_;
    double grabOffset_ = 0;
    float valueAtBegin_ = 0;
};

}  // namespace platform::ui
