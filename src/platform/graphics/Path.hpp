// A path: a sequence of elements (move, line, cubic
// curve, close) in interface points, built with the platform's helpers
// (arcs, rectangles, rounded rectangles, ellipses). Arcs are stored as cubic
// curves, so every path is a list of points that the renderer draws, the
// hit test checks and an animation interpolates point by point. Plain value.
#pragma once

#include <span>
#include <vector>

#include "platform/graphics/Geometry.hpp"

namespace platform::graphics {

class Path {
public:
    enum class ElementType { moveTo, lineTo, curveTo, close };
    struct Element {
        ElementType type = ElementType::moveTo;
        // moveTo / lineTo: points[0]; curveTo: control 1, control 2, end point.
        Point points[3];
        friend bool operator==(const Element&, const Element&) = default;
    };

    Path() = default;

    static Path rect(const Rect& r);
    // A rectangle whose corners are quarter circles of `cornerRadius`,
    // clamped to half the shorter side.
    static Path roundedRect(const Rect& r, double cornerRadius);
    static Path ellipse(const Rect& r);
    // An arc around `center`, angles in radians from the positive x axis,
    // increasing towards positive y (clockwise on screen) when `clockwise`.
    static Path arc(Point center, double radius, double startAngle, double endAngle, bool clockwise);

    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point control1, Point control2, Point end);
    // Adds an arc; joins it to the current point with a line when there is one.
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    void addPath(const Path& other);
    void close();

    bool isEmpty() const { return elements_.empty(); }
    std::span<const Element> elements() const { return elements_; }
    std::optional<Point> currentPoint() const { return current_; }
    // Bounds of every point, control points included; null when empty.
    Rect boundingBox() const;
    Path applying(const AffineTransform& t) const;

    friend bool operator==(const Path&, const Path&) = default;

private:
    std::vector<Element> elements_;
    std::optional<Point> current_;
    std::optional<Point> subpathStart_;
};

}  // namespace platform::graphics

// The interface kit takes these values as its own and names them unqualified.
namespace platform::ui {
using graphics::Path;
}  // namespace platform::ui
