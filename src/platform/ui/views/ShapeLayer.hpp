// A layer that draws a path: filled, stroked, or both, with the stroke
// limited to the part of the path's length between `strokeStart` and
// `strokeEnd` (fractions 0 to 1) — how rings and progress arcs are drawn.
// The path is in the layer's own coordinates. Main thread only.
#pragma once

#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };
enum class FillRule { nonZero, evenOdd };

class ShapeLayer : public Layer {
public:
    static std::shared_ptr<ShapeLayer> create();
    explicit ShapeLayer(ConstructorKey key) : Layer(key) {}

    const std::optional<Path>& path() const { return path_; }
    void setPath(std::optional<Path> path) { update(path_, std::move(path)); }
    // None draws no fill; black by default.
    const std::optional<Color>& fillColor() const { return fillColor_; }
    void setFillColor(std::optional<Color> color) { update(fillColor_, color); }
    FillRule fillRule() const { return fillRule_; }
    void setFillRule(FillRule rule) { update(fillRule_, rule); }
    // None draws no stroke (the default).
    const std::optional<Color>& strokeColor() const { return strokeColor_; }
    void setStrokeColor(std::optional<Color> color) { update(strokeColor_, color); }
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { update(lineWidth_, width); }
    LineCap lineCap() const { return lineCap_; }
    void setLineCap(LineCap cap) { update(lineCap_, cap); }
    LineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(LineJoin join) { update(lineJoin_, join); }
    double miterLimit() const { return miterLimit_; }
    void setMiterLimit(double limit) { update(miterLimit_, limit); }
    double strokeStart() const { return strokeStart_; }
    void setStrokeStart(double value) { update(strokeStart_, value); }
    double strokeEnd() const { return strokeEnd_; }
    void setStrokeEnd(double value) { update(strokeEnd_, value); }

    std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override;
    void drawContents(cairo_t* cr) const override;

private:
    std::optional<Path> path_;
    std::optional<Color> fillColor_ = Color::black();
    FillRule fillRule_ = FillRule::nonZero;
    std::optional<Color> strokeColor_;
    double lineWidth_ = 1;
    LineCap lineCap_ = LineCap::butt;
    LineJoin lineJoin_ = LineJoin::miter;
    double miterLimit_ = 10;
    double strokeStart_ = 0;
    double strokeEnd_ = 1;
};

}  // namespace platform::ui
