#include "platform/ui/animation/Interpolation.hpp"

#include <cmath>
#include <numbers>

namespace platform::ui {

namespace {

double lerp(double a, double b, double t) { return a + (b - a) * t; }

Point lerp(Point a, Point b, double t) { return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)}; }

// Angle from `a` to `b` the short way round, in -pi...pi.
double angleDelta(double a, double b) {
    constexpr double pi = std::numbers::pi;
    double d = std::remainder(b - a, 2 * pi);
    if (!std::isfinite(d)) d = 0;
    return d;
}

std::optional<Path> interpolatePaths(const Path& a, const Path& b, double t) {
    const auto ea = a.elements();
    const auto eb = b.elements();
    if (ea.size() != eb.size()) return std::nullopt;
    for (std::size_t i = 0; i < ea.size(); ++i)
        if (ea[i].type != eb[i].type) return std::nullopt;
    Path out;
    for (std::size_t i = 0; i < ea.size(); ++i) {
        const auto& x = ea[i];
        const auto& y = eb[i];
        switch (x.type) {
            case Path::ElementType::moveTo: out.moveTo(lerp(x.points[0], y.points[0], t)); break;
            case Path::ElementType::lineTo: out.lineTo(lerp(x.points[0], y.points[0], t)); break;
            case Path::ElementType::curveTo:
                out.curveTo(lerp(x.points[0], y.points[0], t), lerp(x.points[1], y.points[1], t),
                            lerp(x.points[2], y.points[2], t));
                break;
            case Path::ElementType::close: out.close(); break;
        }
    }
    return out;
}

}  // namespace

TransformComponents TransformComponents::of(const AffineTransform& t) {
    TransformComponents c;
    c.translationX = t.tx;
    c.translationY = t.ty;
    // The first column (a, b) is the rotated, scaled x axis.
    double sx = std::hypot(t.a, t.b);
    if (t.determinant() < 0) {
        // Mirrored: carry the mirror in the x scale, so that a horizontal
        // mirror reads as scale (-1, 1) and not as a half turn.
        sx = -sx;
    }
    c.scaleX = sx;
    c.rotation = sx != 0 ? std::atan2(t.b / sx, t.a / sx) : 0.0;
    const double cs = std::cos(c.rotation), sn = std::sin(c.rotation);
    // Undo the rotation on the second column (c, d): (shear·sy... ) = R(-θ)(c, d).
    const double m = t.c * cs + t.d * sn;
    const double sy = -t.c * sn + t.d * cs;
    c.scaleY = sy;
    c.shear = sx != 0 ? m / sx : m;
    return c;
}

AffineTransform TransformComponents::transform() const {
    const double cs = std::cos(rotation), sn = std::sin(rotation);
    // [[cs, -sn], [sn, cs]] · [[sx, shear·sx], [0, sy]] in column form.
    const double m = shear * scaleX;
    return AffineTransform{scaleX * cs, scaleX * sn, m * cs - scaleY * sn, m * sn + scaleY * cs,
                           translationX, translationY};
}

bool sameKind(const AnimatableValue& a, const AnimatableValue& b) { return a.index() == b.index(); }

AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double t) {
    if (!sameKind(from, to)) return t < 1 ? from : to;
    return std::visit(
        [&](const auto& a) -> AnimatableValue {
            using T = std::decay_t<decltype(a)>;
            const T& b = std::get<T>(to);
            if constexpr (std::is_same_v<T, double>) {
                return lerp(a, b, t);
            } else if constexpr (std::is_same_v<T, Point>) {
                return lerp(a, b, t);
            } else if constexpr (std::is_same_v<T, Size>) {
                return Size{lerp(a.width, b.width, t), lerp(a.height, b.height, t)};
            } else if constexpr (std::is_same_v<T, Rect>) {
                return Rect{lerp(a.origin, b.origin, t),
                            Size{lerp(a.size.width, b.size.width, t), lerp(a.size.height, b.size.height, t)}};
            } else if constexpr (std::is_same_v<T, Color>) {
                return Color{lerp(a.red, b.red, t), lerp(a.green, b.green, t), lerp(a.blue, b.blue, t),
                             lerp(a.alpha, b.alpha, t)};
            } else if constexpr (std::is_same_v<T, AffineTransform>) {
                if (t <= 0) return a;
                if (t == 1) return b;
                const auto ca = TransformComponents::of(a);
                const auto cb = TransformComponents::of(b);
                TransformComponents c;
                c.scaleX = lerp(ca.scaleX, cb.scaleX, t);
                c.scaleY = lerp(ca.scaleY, cb.scaleY, t);
                c.shear = lerp(ca.shear, cb.shear, t);
                c.rotation = ca.rotation + angleDelta(ca.rotation, cb.rotation) * t;
                c.translationX = lerp(ca.translationX, cb.translationX, t);
                c.translationY = lerp(ca.translationY, cb.translationY, t);
                return c.transform();
            } else {
                static_assert(std::is_same_v<T, Path>);
                if (t <= 0) return a;
                if (t >= 1) return b;
                if (auto p = interpolatePaths(a, b, t)) return *std::move(p);
                return a;
            }
        },
        from);
}

std::optional<AnimatableValue> add(const AnimatableValue& base, const AnimatableValue& delta) {
    if (!sameKind(base, delta)) return std::nullopt;
    return std::visit(
        [&](const auto& a) -> AnimatableValue {
            using T = std::decay_t<decltype(a)>;
            const T& b = std::get<T>(delta);
            if constexpr (std::is_same_v<T, double>) {
                return a + b;
            } else if constexpr (std::is_same_v<T, Point>) {
                return a + b;
            } else if constexpr (std::is_same_v<T, Size>) {
                return Size{a.width + b.width, a.height + b.height};
            } else if constexpr (std::is_same_v<T, Rect>) {
                return Rect{a.origin + b.origin, Size{a.size.width + b.size.width, a.size.height + b.size.height}};
            } else if constexpr (std::is_same_v<T, Color>) {
                return Color{a.red + b.red, a.green + b.green, a.blue + b.blue, a.alpha + b.alpha};
            } else if constexpr (std::is_same_v<T, AffineTransform>) {
                return b.concatenating(a);
            } else {
                return b;
            }
        },
        base);
}

std::optional<AnimatableValue> subtract(const AnimatableValue& x, const AnimatableValue& y) {
    if (!sameKind(x, y)) return std::nullopt;
    return std::visit(
        [&](const auto& a) -> std::optional<AnimatableValue> {
            using T = std::decay_t<decltype(a)>;
            const T& b = std::get<T>(y);
            if constexpr (std::is_same_v<T, double>) {
                return a - b;
            } else if constexpr (std::is_same_v<T, Point>) {
                return a - b;
            } else if constexpr (std::is_same_v<T, Size>) {
                return Size{a.width - b.width, a.height - b.height};
            } else if constexpr (std::is_same_v<T, Rect>) {
                return Rect{a.origin - b.origin, Size{a.size.width - b.size.width, a.size.height - b.size.height}};
            } else if constexpr (std::is_same_v<T, Color>) {
                return Color{a.red - b.red, a.green - b.green, a.blue - b.blue, a.alpha - b.alpha};
            } else if constexpr (std::is_same_v<T, AffineTransform>) {
                // d with b·... : add(b, d) = d.concatenating(b) = a  =>  d = a · b⁻¹.
                auto inverse = b.inverted();
                if (!inverse) return std::nullopt;
                return a.concatenating(*inverse);
            } else {
                return a;
            }
        },
        x);
}

std::optional<AnimatableValue> multiply(const AnimatableValue& value, double k) {
    return std::visit(
        [&](const auto& a) -> std::optional<AnimatableValue> {
            using T = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<T, double>) {
                return a * k;
            } else if constexpr (std::is_same_v<T, Point>) {
                return a * k;
            } else if constexpr (std::is_same_v<T, Size>) {
                return Size{a.width * k, a.height * k};
            } else if constexpr (std::is_same_v<T, Rect>) {
                return Rect{a.origin * k, Size{a.size.width * k, a.size.height * k}};
            } else if constexpr (std::is_same_v<T, Color>) {
                return Color{a.red * k, a.green * k, a.blue * k, a.alpha * k};
            } else {
                return std::nullopt;
            }
        },
        value);
}

std::optional<double> distance(const AnimatableValue& x, const AnimatableValue& y) {
    if (!sameKind(x, y)) return std::nullopt;
    return std::visit(
        [&](const auto& a) -> std::optional<double> {
            using T = std::decay_t<decltype(a)>;
            const T& b = std::get<T>(y);
            if constexpr (std::is_same_v<T, double>) {
                return std::abs(a - b);
            } else if constexpr (std::is_same_v<T, Point>) {
                return std::hypot(a.x - b.x, a.y - b.y);
            } else if constexpr (std::is_same_v<T, Size>) {
                return std::hypot(a.width - b.width, a.height - b.height);
            } else if constexpr (std::is_same_v<T, Rect>) {
                return std::hypot(std::hypot(a.origin.x - b.origin.x, a.origin.y - b.origin.y),
                                  std::hypot(a.size.width - b.size.width, a.size.height - b.size.height));
            } else {
                return std::nullopt;
            }
        },
        x);
}

std::string_view canonicalKeyPath(std::string_view keyPath) {
    if (keyPath == keypath::transformRotation) return keypath::transformRotationZ;
    return keyPath;
}

std::string_view subKeyPath(std::string_view whole, std::string_view keyPath) {
    if (keyPath.size() <= whole.size() + 1) return {};
    if (keyPath.substr(0, whole.size()) != whole || keyPath[whole.size()] != '.') return {};
    return keyPath.substr(whole.size() + 1);
}

std::optional<AnimatableValue> componentValue(const AnimatableValue& value, std::string_view part) {
    if (const auto* t = std::get_if<AffineTransform>(&value)) {
        const auto c = TransformComponents::of(*t);
        if (part == "rotation.z" || part == "rotation") return c.rotation;
        if (part == "scale" || part == "scale.x") return c.scaleX;
        if (part == "scale.y") return c.scaleY;
        if (part == "translation") return Size{c.translationX, c.translationY};
        if (part == "translation.x") return c.translationX;
        if (part == "translation.y") return c.translationY;
        return std::nullopt;
    }
    if (const auto* r = std::get_if<Rect>(&value)) {
        if (part == "size") return r->size;
        if (part == "origin") return r->origin;
        if (part == "size.width") return r->size.width;
        if (part == "size.height") return r->size.height;
        return std::nullopt;
    }
    if (const auto* p = std::get_if<Point>(&value)) {
        if (part == "x") return p->x;
        if (part == "y") return p->y;
        return std::nullopt;
    }
    if (const auto* s = std::get_if<Size>(&value)) {
        if (part == "width") return s->width;
        if (part == "height") return s->height;
    }
    return std::nullopt;
}

bool setComponentValue(AnimatableValue& value, std::string_view part, const AnimatableValue& newPart) {
    const double* number = std::get_if<double>(&newPart);
    if (auto* t = std::get_if<AffineTransform>(&value)) {
        auto c = TransformComponents::of(*t);
        if (part == "translation") {
            const auto* s = std::get_if<Size>(&newPart);
            if (!s) return false;
            c.translationX = s->width;
            c.translationY = s->height;
        } else if (!number) {
            return false;
        } else if (part == "rotation.z" || part == "rotation") {
            c.rotation = *number;
        } else if (part == "scale") {
            c.scaleX = *number;
            c.scaleY = *number;
        } else if (part == "scale.x") {
            c.scaleX = *number;
        } else if (part == "scale.y") {
            c.scaleY = *number;
        } else if (part == "translation.x") {
            c.translationX = *number;
        } else if (part == "translation.y") {
            c.translationY = *number;
        } else {
            return false;
        }
        *t = c.transform();
        return true;
    }
    if (auto* r = std::get_if<Rect>(&value)) {
        if (part == "size") {
            const auto* s = std::get_if<Size>(&newPart);
            if (!s) return false;
            r->size = *s;
        } else if (part == "origin") {
            const auto* p = std::get_if<Point>(&newPart);
            if (!p) return false;
            r->origin = *p;
        } else if (number && part == "size.width") {
            r->size.width = *number;
        } else if (number && part == "size.height") {
            r->size.height = *number;
        } else {
            return false;
        }
        return true;
    }
    if (auto* p = std::get_if<Point>(&value)) {
        if (!number) return false;
        if (part == "x") p->x = *number;
        else if (part == "y") p->y = *number;
        else return false;
        return true;
    }
    if (auto* s = std::get_if<Size>(&value)) {
        if (!number) return false;
        if (part == "width") s->width = *number;
        else if (part == "height") s->height = *number;
        else return false;
        return true;
    }
    return false;
}

}  // namespace platform::ui
