// Geometry values for the interface kit and everything that draws: points, sizes, rectangles, edge
// insets and affine transforms, in interface points (doubles). Plain values,
// safe to copy between threads. Rectangles follow the platform's rules: a
// rectangle with a negative width or height is read as its standardized form
// by every geometric question, and the null rectangle (infinite origin) is
// what an empty intersection gives.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>

namespace platform::graphics {

struct Point {
    double x = 0;
    double y = 0;

    static constexpr Point zero() { return {}; }
    friend constexpr bool operator==(const Point&, const Point&) = default;
    friend constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
    friend constexpr Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
};

struct Size {
    double width = 0;
    double height = 0;

    static constexpr Size zero() { return {}; }
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    static constexpr EdgeInsets zero() { return {}; }
    friend constexpr bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

    static constexpr Rect zero() { return {}; }
    // The rectangle an empty intersection gives.
    static constexpr Rect null() {
        constexpr double inf = std::numeric_limits<double>::infinity();
        return Rect{inf, inf, 0, 0};
    }
    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }

    // The same rectangle with a non-negative width and height.
    constexpr Rect standardized() const {
        Rect r = *this;
        if (r.size.width < 0) { r.origin.x += r.size.width; r.size.width = -r.size.width; }
        if (r.size.height < 0) { r.origin.y += r.size.height; r.size.height = -r.size.height; }
        return r;
    }

    constexpr double minX() const { return std::min(origin.x, origin.x + size.width); }
    constexpr double maxX() const { return std::max(origin.x, origin.x + size.width); }
    constexpr double midX() const { return origin.x + size.width / 2; }
    constexpr double minY() const { return std::min(origin.y, origin.y + size.height); }
    constexpr double maxY() const { return std::max(origin.y, origin.y + size.height); }
    constexpr double midY() const { return origin.y + size.height / 2; }
    constexpr double width() const { return size.width < 0 ? -size.width : size.width; }
    constexpr double height() const { return size.height < 0 ? -size.height : size.height; }
    constexpr Point center() const { return {midX(), midY()}; }

    bool isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

    // Half-open on the far edges, as the platform's containment test.
    constexpr bool contains(Point p) const {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }
    bool contains(const Rect& other) const {
        return !other.isNull() && !isNull() && other.minX() >= minX() && other.maxX() <= maxX() &&
               other.minY() >= minY() && other.maxY() <= maxY();
    }

    Rect offsetBy(double dx, double dy) const {
        if (isNull()) return *this;
        Rect r = standardized();
        r.origin.x += dx;
        r.origin.y += dy;
        return r;
    }
    // Shrinks by dx on the left and right and dy on the top and bottom
    // (grows for negative values); null when nothing is left.
    Rect insetBy(double dx, double dy) const {
        if (isNull()) return *this;
        Rect r = standardized();
        r.origin.x += dx;
        r.origin.y += dy;
        r.size.width -= 2 * dx;
        r.size.height -= 2 * dy;
        if (r.size.width < 0 || r.size.height < 0) return null();
        return r;
    }
    Rect inset(const EdgeInsets& insets) const {
        Rect r = standardized();
        return Rect{r.origin.x + insets.left, r.origin.y + insets.top,
                    r.size.width - insets.left - insets.right, r.size.height - insets.top - insets.bottom};
    }

    Rect intersection(const Rect& other) const {
        if (isNull() || other.isNull()) return null();
        const double x0 = std::max(minX(), other.minX());
        const double y0 = std::max(minY(), other.minY());
        const double x1 = std::min(maxX(), other.maxX());
        const double y1 = std::min(maxY(), other.maxY());
        if (x1 < x0 || y1 < y0) return null();
        return Rect{x0, y0, x1 - x0, y1 - y0};
    }
    bool intersects(const Rect& other) const {
        const Rect i = intersection(other);
        return !i.isNull() && !i.isEmpty();
    }
    Rect unionWith(const Rect& other) const {
        if (isNull()) return other;
        if (other.isNull()) return *this;
        const double x0 = std::min(minX(), other.minX());
        const double y0 = std::min(minY(), other.minY());
        return Rect{x0, y0, std::max(maxX(), other.maxX()) - x0, std::max(maxY(), other.maxY()) - y0};
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// a  b  0
// c  d  0
// tx ty 1   — applied to row vectors: x' = a·x + c·y + tx, y' = b·x + d·y + ty.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr AffineTransform identity() { return {}; }
    static constexpr AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static constexpr AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform rotation(double angle) {
        const double cs = std::cos(angle), sn = std::sin(angle);
        return {cs, sn, -sn, cs, 0, 0};
    }

    constexpr bool isIdentity() const { return *this == identity(); }

    // `this` first, then `other`.
    constexpr AffineTransform concatenating(const AffineTransform& o) const {
        return {a * o.a + b * o.c,       a * o.b + b * o.d,       c * o.a + d * o.c,
                c * o.b + d * o.d,       tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
    }
    AffineTransform translatedBy(double x, double y) const { return translation(x, y).concatenating(*this); }
    AffineTransform scaledBy(double sx, double sy) const { return scale(sx, sy).concatenating(*this); }
    AffineTransform rotatedBy(double angle) const { return rotation(angle).concatenating(*this); }

    constexpr double determinant() const { return a * d - b * c; }
    // None when the transform cannot be inverted.
    std::optional<AffineTransform> inverted() const {
        const double det = determinant();
        if (det == 0 || !std::isfinite(det)) return std::nullopt;
        return AffineTransform{d / det,  -b / det, -c / det, a / det,
                               (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    }

    constexpr Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    constexpr Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // The smallest rectangle holding the transformed corners.
    Rect apply(const Rect& r) const {
        if (r.isNull()) return r;
        const Point p[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                            apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
        double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
        for (const Point& q : p) {
            x0 = std::min(x0, q.x); x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y); y1 = std::max(y1, q.y);
        }
        return Rect{x0, y0, x1 - x0, y1 - y0};
    }

    bool isApproximately(const AffineTransform& o, double tolerance = 1e-9) const {
        return std::abs(a - o.a) <= tolerance && std::abs(b - o.b) <= tolerance &&
               std::abs(c - o.c) <= tolerance && std::abs(d - o.d) <= tolerance &&
               std::abs(tx - o.tx) <= tolerance && std::abs(ty - o.ty) <= tolerance;
    }

    friend constexpr bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

}  // namespace platform::graphics

// The interface kit takes these values as its own and names them unqualified.
namespace platform::ui {
using graphics::Point;
using graphics::Size;
using graphics::EdgeInsets;
using graphics::Rect;
using graphics::AffineTransform;
}  // namespace platform::ui

template <>
struct std::hash<platform::graphics::Point> {
    std::size_t operator()(const platform::graphics::Point& p) const noexcept {
        const std::size_t h = std::hash<double>{}(p.x);
        return h ^ (std::hash<double>{}(p.y) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};
