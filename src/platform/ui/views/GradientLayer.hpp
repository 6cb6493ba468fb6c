// A layer that fills its bounds with an axial gradient: colours at
// locations (fractions 0 to 1; spread evenly when none are given) along the
// line from `startPoint` to `endPoint`, both in unit coordinates of the
// bounds (top centre to bottom centre by default). Main thread only.
#pragma once

#include <vector>

#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

class GradientLayer : public Layer {
public:
    static std::shared_ptr<GradientLayer> create();
    explicit GradientLayer(ConstructorKey key) : Layer(key) {}

    const std::vector<Color>& colors() const { return colors_; }
    void setColors(std::vector<Color> colors) { update(colors_, std::move(colors)); }
    const std::optional<std::vector<double>>& locations() const { return locations_; }
    void setLocations(std::optional<std::vector<double>> locations) { update(locations_, std::move(locations)); }
    Point startPoint() const { return startPoint_; }
    void setStartPoint(Point p) { update(startPoint_, p); }
    Point endPoint() const { return endPoint_; }
    void setEndPoint(Point p) { update(endPoint_, p); }

    void drawContents(cairo_t* cr) const override;

private:
    std::vector<Color> colors_;
    std::optional<std::vector<double>> locations_;
    Point startPoint_{0.5, 0};
    Point endPoint_{0.5, 1};
};

}  // namespace platform::ui
