// The "now playing" indicator: three rounded bars standing on the bottom
// edge that rise and fall at three speeds while the audio plays. The bar
// layout comes from the bounds at creation; the bars' animations from the
// bounds at each start. Ignores touches. Shown by the chip, the footer player
// and the episode rows and cells; main thread only.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "orvane/toolkit/OVAnimationView.hpp"
#include "platform/ui/animation/KeyframeAnimation.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVEqualizerAnimationView : public platform::ui::View, public OVAnimationView {
public:
    static std::shared_ptr<OVEqualizerAnimationView> create(const platform::graphics::Rect& frame);
    OVEqualizerAnimationView(ConstructorKey key, const platform::graphics::Rect& frame);

    // Fill of every bar; every set (nil included) reaches every bar.
    const std::optional<platform::graphics::Color>& color() const { return color_; }
    void setColor(std::optional<platform::graphics::Color> color);

    // Adds each bar's repeating animation under "animation" unless running.
    void startAnimation() override;
    // Removes every animation of every bar.
    void stopAnimation() override;

    const std::vector<std::shared_ptr<platform::ui::ShapeLayer>>& rectLayers() const { return rectLayers_; }
    // The width of one bar for the current bounds: three bars and two gaps
    // of 0.2 bar fill the width.
    double rectWidth() const;

private:
    static constexpr int numberOfRect = 3;
    static constexpr std::array<double, 3> heightFactor{0.5, 0.9, 0.4};
    static constexpr std::array<double, 3> duration{4.3, 2.5, 1.7};
    static constexpr std::array<double, 12> keyframeFactors{0, 0.7, 0.4, 0.05, 0.95, 0.3,
                                                            0.9, 0.4, 0.15, 0.18, 0.75, 0.01};

    void initialize();
    void setUpRectLayers();
    std::shared_ptr<platform::ui::ShapeLayer> rectLayer(platform::graphics::Size size) const;
    std::shared_ptr<platform::ui::KeyframeAnimation> animation(double rectWidth, double rectHeight) const;

    bool animationIsRunning_ = false;
    std::optional<platform::graphics::Color> color_;
    double spaceRatio_ = 0.2;
    std::vector<std::shared_ptr<platform::ui::ShapeLayer>> rectLayers_;
};

}  // namespace orvane
