#include "platform/ui/views/ShapeLayer.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/ui/views/CairoDrawing.hpp"

namespace platform::ui {

std::shared_ptr<ShapeLayer> ShapeLayer::create() { return std::make_shared<ShapeLayer>(ConstructorKey{}); }

std::optional<AnimatableValue> ShapeLayer::modelValue(std::string_view key) const {
    if (key == keypath::path) return path_.value_or(Path{});
    if (key == keypath::fillColor) return fillColor_.value_or(Color::clear());
    if (key == keypath::strokeColor) return strokeColor_.value_or(Color::clear());
    if (key == keypath::lineWidth) return lineWidth_;
    if (key == keypath::strokeStart) return strokeStart_;
    if (key == keypath::strokeEnd) return strokeEnd_;
    return Layer::modelValue(key);
}

namespace {

struct Segment {
    Point from, to;
    double length;
    bool startsSubpath;
};

// The flattened path as line segments (closing segments included), in order.
std::vector<Segment> flatSegments(cairo_t* cr) {
    std::vector<Segment> segments;
    cairo_path_t* flat = cairo_copy_path_flat(cr);
    Point current{}, subpathStart{};
    bool newSubpath = true;
    for (int i = 0; i < flat->num_data; i += flat->data[i].header.length) {
        const cairo_path_data_t* d = &flat->data[i];
        switch (d->header.type) {
            case CAIRO_PATH_MOVE_TO:
                current = subpathStart = {d[1].point.x, d[1].point.y};
                newSubpath = true;
                break;
            case CAIRO_PATH_LINE_TO: {
                const Point to{d[1].point.x, d[1].point.y};
                segments.push_back({current, to, std::hypot(to.x - current.x, to.y - current.y), newSubpath});
                newSubpath = false;
                current = to;
                break;
            }
            case CAIRO_PATH_CLOSE_PATH:
                segments.push_back({current, subpathStart,
                                    std::hypot(subpathStart.x - current.x, subpathStart.y - current.y), newSubpath});
                current = subpathStart;
                newSubpath = true;
                break;
            case CAIRO_PATH_CURVE_TO: break;  // never in a flattened path
        }
    }
    cairo_path_destroy(flat);
    return segments;
}

// Replaces the current path by the part of its length from `start` to `end`
// (fractions of the whole length).
void trimPath(cairo_t* cr, double start, double end) {
    const std::vector<Segment> segments = flatSegments(cr);
    cairo_new_path(cr);
    double total = 0;
    for (const Segment& s : segments) total += s.length;
    if (total <= 0) return;
    const double from = start * total, to = end * total;
    double walked = 0;
    bool drawing = false;
    for (const Segment& s : segments) {
        const double a = walked, b = walked + s.length;
        walked = b;
        if (b < from || a > to || s.length <= 0) {
            if (s.length > 0) drawing = false;
            continue;
        }
        const double t0 = std::clamp((from - a) / s.length, 0.0, 1.0);
        const double t1 = std::clamp((to - a) / s.length, 0.0, 1.0);
        const Point p0{s.from.x + (s.to.x - s.from.x) * t0, s.from.y + (s.to.y - s.from.y) * t0};
        const Point p1{s.from.x + (s.to.x - s.from.x) * t1, s.from.y + (s.to.y - s.from.y) * t1};
        if (!drawing || s.startsSubpath || t0 > 0) cairo_move_to(cr, p0.x, p0.y);
        cairo_line_to(cr, p1.x, p1.y);
        drawing = t1 >= 1;
    }
}

}  // namespace

void ShapeLayer::drawContents(cairo_t* cr) const {
    if (!path_) return;
    const Path path = presented(keypath::path, *path_);
    if (path.isEmpty()) return;
    cairo_save(cr);
    if (fillColor_) {
        const Color fill = presented(keypath::fillColor, *fillColor_);
        cairo_new_path(cr);
        cairo::appendPath(cr, path);
        cairo_set_fill_rule(cr, fillRule_ == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo::setColor(cr, fill);
        cairo_fill(cr);
    }
    const double width = presented(keypath::lineWidth, lineWidth_);
    if (strokeColor_ && width > 0 && std::isfinite(width)) {
        const Color stroke = presented(keypath::strokeColor, *strokeColor_);
        const double start = std::clamp(presented(keypath::strokeStart, strokeStart_), 0.0, 1.0);
        const double end = std::clamp(presented(keypath::strokeEnd, strokeEnd_), 0.0, 1.0);
        if (end > start) {
            cairo_new_path(cr);
            cairo::appendPath(cr, path);
            if (start > 0 || end < 1) trimPath(cr, start, end);
            cairo_set_line_width(cr, width);
            cairo_set_line_cap(cr, lineCap_ == LineCap::round    ? CAIRO_LINE_CAP_ROUND
                                   : lineCap_ == LineCap::square ? CAIRO_LINE_CAP_SQUARE
                                                                 : CAIRO_LINE_CAP_BUTT);
            cairo_set_line_join(cr, lineJoin_ == LineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                                    : lineJoin_ == LineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                   : CAIRO_LINE_JOIN_MITER);
            cairo_set_miter_limit(cr, miterLimit_);
            cairo::setColor(cr, stroke);
            cairo_stroke(cr);
        }
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

}  // namespace platform::ui
