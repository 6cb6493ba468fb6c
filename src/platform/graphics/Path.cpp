#include "platform/graphics/Path.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::graphics {

Path Path::rect(const Rect& r) {
    const Rect s = r.standardized();
    Path p;
    p.moveTo({s.minX(), s.minY()});
    p.lineTo({s.maxX(), s.minY()});
    p.lineTo({s.maxX(), s.maxY()});
    p.lineTo({s.minX(), s.maxY()});
    p.close();
    return p;
}

Path Path::roundedRect(const Rect& r, double cornerRadius) {
    const Rect s = r.standardized();
    const double radius = std::clamp(cornerRadius, 0.0, std::min(s.width(), s.height()) / 2);
    if (radius <= 0) return rect(s);
    constexpr double pi = std::numbers::pi;
    Path p;
    p.moveTo({s.minX() + radius, s.minY()});
    p.lineTo({s.maxX() - radius, s.minY()});
    p.addArc({s.maxX() - radius, s.minY() + radius}, radius, -pi / 2, 0, true);
    p.lineTo({s.maxX(), s.maxY() - radius});
    p.addArc({s.maxX() - radius, s.maxY() - radius}, radius, 0, pi / 2, true);
    p.lineTo({s.minX() + radius, s.maxY()});
    p.addArc({s.minX() + radius, s.maxY() - radius}, radius, pi / 2, pi, true);
    p.lineTo({s.minX(), s.minY() + radius});
    p.addArc({s.minX() + radius, s.minY() + radius}, radius, pi, 3 * pi / 2, true);
    p.close();
    return p;
}

Path Path::ellipse(const Rect& r) {
    const Rect s = r.standardized();
    Path p = arc({0, 0}, 1, 0, 2 * std::numbers::pi, true);
    p.close();
    return p.applying(AffineTransform::scale(s.width() / 2, s.height() / 2)
                          .concatenating(AffineTransform::translation(s.midX(), s.midY())));
}

Path Path::arc(Point center, double radius, double startAngle, double endAngle, bool clockwise) {
    Path p;
    p.addArc(center, radius, startAngle, endAngle, clockwise);
    return p;
}

void Path::moveTo(Point p) {
    elements_.push_back({ElementType::moveTo, {p, {}, {}}});
    current_ = p;
    subpathStart_ = p;
}

void Path::lineTo(Point p) {
    if (!current_) {
        moveTo(p);
        return;
    }
    elements_.push_back({ElementType::lineTo, {p, {}, {}}});
    current_ = p;
}

void Path::curveTo(Point c1, Point c2, Point end) {
    if (!current_) moveTo(c1);
    elements_.push_back({ElementType::curveTo, {c1, c2, end}});
    current_ = end;
}

void Path::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise) {
    constexpr double twoPi = 2 * std::numbers::pi;
    // Sweep in the drawing direction: positive for clockwise (increasing angle).
    double sweep = endAngle - startAngle;
    if (clockwise) {
        if (sweep < 0) sweep = std::fmod(sweep, twoPi) + twoPi;
        if (endAngle - startAngle >= twoPi) sweep = twoPi;
    } else {
        if (sweep > 0) sweep = std::fmod(sweep, twoPi) - twoPi;
        if (startAngle - endAngle >= twoPi) sweep = -twoPi;
    }
    if (!std::isfinite(sweep) || !std::isfinite(radius)) return;
    const Point start{center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
    if (current_) lineTo(start);
    else moveTo(start);
    if (sweep == 0 || radius == 0) return;
    // Cubic approximation, at most a quarter circle per segment.
    const int segments = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / segments;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    double angle = startAngle;
    for (int i = 0; i < segments; ++i) {
        const double a0 = angle, a1 = angle + step;
        const Point p0{center.x + radius * std::cos(a0), center.y + radius * std::sin(a0)};
        const Point p1{center.x + radius * std::cos(a1), center.y + radius * std::sin(a1)};
        const Point c1{p0.x - k * radius * std::sin(a0), p0.y + k * radius * std::cos(a0)};
        const Point c2{p1.x + k * radius * std::sin(a1), p1.y - k * radius * std::cos(a1)};
        curveTo(c1, c2, p1);
        angle = a1;
    }
}

void Path::addPath(const Path& other) {
    for (const Element& e : other.elements_) {
        switch (e.type) {
        case ElementType::moveTo: moveTo(e.points[0]); break;
        case ElementType::lineTo: lineTo(e.points[0]); break;
        case ElementType::curveTo: curveTo(e.points[0], e.points[1], e.points[2]); break;
        case ElementType::close: close(); break;
        }
    }
}

void Path::close() {
    if (!current_) return;
    elements_.push_back({ElementType::close, {}});
    current_ = subpathStart_;
}

Rect Path::boundingBox() const {
    Rect box = Rect::null();
    for (const Element& e : elements_) {
        const int n = e.type == ElementType::curveTo ? 3 : e.type == ElementType::close ? 0 : 1;
        for (int i = 0; i < n; ++i) box = box.unionWith(Rect{e.points[i], Size{}});
    }
    return box;
}

Path Path::applying(const AffineTransform& t) const {
    Path out = *this;
    for (Element& e : out.elements_)
        for (Point& p : e.points) p = t.apply(p);
    if (out.current_) out.current_ = t.apply(*out.current_);
    if (out.subpathStart_) out.subpathStart_ = t.apply(*out.subpathStart_);
    return out;
}

}  // namespace platform::graphics
