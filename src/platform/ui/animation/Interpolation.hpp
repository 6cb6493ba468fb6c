// Arithmetic of animatable values, as the animation engine combines them:
// interpolation between two values of the same kind, the additive forms
// (`by` values, additive and cumulative animations), distances for paced
// keyframes, and the parts of a value that sub key paths name
// ("transform.rotation.z", "bounds.size", "position.x"...).
//
// Interpolation, per kind:
// - numbers, points, sizes, rectangles (origin and size): linear;
// - colours: each of red, green, blue and alpha linearly;
// - transforms: decomposed into scale x and y, rotation, shear and translation
//   (see `TransformComponents`); each part linearly, the rotation the short way
//   round, then composed again;
// - paths: point by point when both have the same elements (kinds and count);
//   otherwise the first path until the end, where the second one shows.
// Two values of different kinds do not interpolate: the first one shows until
// the end.
//
// Addition: numbers, points, sizes, colours add component by component,
// rectangles add origins and sizes, transforms concatenate (the added
// transform applies first, then the base one), and paths do not add: the
// added path replaces the base.
//
// Pure functions on values; thread-safe.
#pragma once

#include <optional>
#include <string_view>

#include "platform/ui/animation/AnimatableValue.hpp"

namespace platform::ui {

// An affine transform as scale, then shear (x += shear·y), then rotation, then
// translation. A mirrored transform (negative determinant) carries the
// mirror in one of the scales.
struct TransformComponents {
    double scaleX = 1;
    double scaleY = 1;
    double shear = 0;
    double rotation = 0;  // radians
    double translationX = 0;
    double translationY = 0;

    static TransformComponents of(const AffineTransform& t);
    AffineTransform transform() const;
};

AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double fraction);

// `base` plus `delta`; none when the two are of different kinds.
std::optional<AnimatableValue> add(const AnimatableValue& base, const AnimatableValue& delta);
// The value that, added to `b`, gives `a`; none when the kinds differ or a
// transform cannot be inverted.
std::optional<AnimatableValue> subtract(const AnimatableValue& a, const AnimatableValue& b);
// `value` added to itself `times` times (numbers, points, sizes, rectangles,
// colours); none for the other kinds.
std::optional<AnimatableValue> multiply(const AnimatableValue& value, double times);
// Distance between two values of the same kind (numbers and points; sizes and
// rectangles by their components); none for the other kinds.
std::optional<double> distance(const AnimatableValue& a, const AnimatableValue& b);
bool sameKind(const AnimatableValue& a, const AnimatableValue& b);

// Key paths name the same property in more than one way
// ("transform.rotation" is "transform.rotation.z"): the one spelling used to
// compare them.
std::string_view canonicalKeyPath(std::string_view keyPath);
// When `keyPath` names a part of the property `whole` (both canonical),
// the part's name relative to it ("rotation.z" of "transform"); else empty.
std::string_view subKeyPath(std::string_view whole, std::string_view keyPath);
// The part of `value` that `part` names ("rotation.z", "scale", "scale.x",
// "scale.y", "translation", "translation.x", "translation.y" of a transform;
// "size", "origin" of a rectangle; "x", "y" of a point; "width", "height" of
// a size); none when it has no such part.
std::optional<AnimatableValue> componentValue(const AnimatableValue& value, std::string_view part);
// Replaces that part; false (and `value` unchanged) when it has no such part
// or `newPart` is of the wrong kind.
bool setComponentValue(AnimatableValue& value, std::string_view part, const AnimatableValue& newPart);

}  // namespace platform::ui
