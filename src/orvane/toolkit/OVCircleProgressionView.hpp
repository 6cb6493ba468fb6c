// The determinate progress ring: an optional full background circle and an
// arc that grows clockwise from 12 o'clock with a value (a fraction of a
// turn), plus a one-shot animation that draws the whole circle over a given
// time. The chip shows the playback position with it, the download view the
// download progress. Both layers draw in the view's own coordinates; ignores
// touches. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVCircleProgressionView : public platform::ui::View {
public:
    static std::shared_ptr<OVCircleProgressionView> create(const platform::graphics::Rect& frame);
    OVCircleProgressionView(ConstructorKey key, const platform::graphics::Rect& frame);

    // Stroke of the background circle.
    const std::optional<platform::graphics::Color>& defaultColor() const { return defaultColor_; }
    void setDefaultColor(std::optional<platform::graphics::Color> color);
    // Stroke of the progress arc.
    const std::optional<platform::graphics::Color>& color() const { return color_; }
    void setColor(std::optional<platform::graphics::Color> color);

    // Draws the full background circle for the current bounds.
    void displayDefaultCircle();
    // Draws the arc for `value` turns (negative values count as 0; above 1
    // the arc sweeps on past the full circle).
    void setValue(float value);
    float value() const { return value_; }

    bool circleAnimatinIsRunning() const { return circleAnimatinIsRunning_; }
    void setCircleAnimatinIsRunning(bool running) { circleAnimatinIsRunning_ = running; }
    // Draws the whole circle over `duration` seconds, then calls `completion`.
    // When it has ended the arc's stroke end is back at 1, so later values
    // show; a second call while one runs replaces it, and only the latest
    // call's end clears `circleAnimatinIsRunning` (each completion runs).
    void completeCircleAnimation(double duration, std::function<void()> completion);

    const std::shared_ptr<platform::ui::ShapeLayer>& defaultCircleLayer() const { return defaultCircleLayer_; }
    const std::shared_ptr<platform::ui::ShapeLayer>& progressionLayer() const { return progressionLayer_; }

private:
    void initialize();
    platform::graphics::Path fullCircle() const;

    std::optional<platform::graphics::Color> defaultColor_;
    std::optional<platform::graphics::Color> color_;
    std::shared_ptr<platform::ui::ShapeLayer> defaultCircleLayer_ = platform::ui::ShapeLayer::create();
    std::shared_ptr<platform::ui::ShapeLayer> progressionLayer_ = platform::ui::ShapeLayer::create();
    float value_ = 0;
    bool circleAnimatinIsRunning_ = false;
    std::uint64_t circleAnimationGeneration_ = 0;
};

}  // namespace orvane
