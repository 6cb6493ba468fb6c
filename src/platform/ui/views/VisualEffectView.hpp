// Visual effects and the view that shows them. A blur effect makes the view
// show what lies beneath it blurred (a three-pass box blur, as wide as the
// style asks) under a wash of the style's colour; a vibrancy effect, for a
// visual-effect view placed in a blur's content view, lets its content show
// through as is. Content goes into `contentView`, which fills the view.
// Shaped by a mask view (the blur shows where the mask is opaque) or a
// layer mask.
//
// The backdrop is read from the surface being drawn into, so what a
// translucent ancestor (alpha below 1, drawn as a group) drew before this
// view is not part of it. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/views/View.hpp"

namespace platform::ui {

class VisualEffect {
public:
    virtual ~VisualEffect() = default;
};

class BlurEffect : public VisualEffect {
public:
    enum class Style { extraLight, light, dark, regular, prominent };
    static std::shared_ptr<BlurEffect> create(Style style) { return std::make_shared<BlurEffect>(style); }
    explicit BlurEffect(Style style) : style_(style) {}
    Style style() const { return style_; }
    // Blur radius in points (the Gaussian's sigma is half of it).
    static double radius(Style style);
    // The colour laid over the blurred backdrop.
    static Color wash(Style style);

private:
    Style style_;
};

class VibrancyEffect : public VisualEffect {
public:
    static std::shared_ptr<VibrancyEffect> create(std::shared_ptr<const BlurEffect> blur) {
        return std::make_shared<VibrancyEffect>(std::move(blur));
    }
    explicit VibrancyEffect(std::shared_ptr<const BlurEffect> blur) : blur_(std::move(blur)) {}
    const std::shared_ptr<const BlurEffect>& blurEffect() const { return blur_; }

private:
    std::shared_ptr<const BlurEffect> blur_;
};

class VisualEffectView : public View {
public:
    static std::shared_ptr<VisualEffectView> create(std::shared_ptr<const VisualEffect> effect = nullptr,
                                                    const Rect& frame = {});
    VisualEffectView(ConstructorKey key, const Rect& frame);

    const std::shared_ptr<const VisualEffect>& effect() const { return effect_; }
    void setEffect(std::shared_ptr<const VisualEffect> effect);
    const std::shared_ptr<View>& contentView() const { return contentView_; }

    void layoutSubviews() override;

private:
    std::shared_ptr<const VisualEffect> effect_;
    std::shared_ptr<Layer> backdrop_;
    std::shared_ptr<View> contentView_;
};

}  // namespace platform::ui
