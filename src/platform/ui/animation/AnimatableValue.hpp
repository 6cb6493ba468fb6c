// The values a layer property can take while animated: numbers (opacity,
// corner radius, stroke start and end, rotation and scale parts of the
// transform), points (position), sizes, rectangles (bounds), transforms,
// colours and paths. Animations interpolate between two values of the same
// alternative; the renderer reads each property's presentation value as one.
#pragma once

#include <string_view>
#include <variant>

#include "platform/graphics/Color.hpp"
#include "platform/graphics/Geometry.hpp"
#include "platform/graphics/Path.hpp"

namespace platform::ui {

using AnimatableValue = std::variant<double, Point, Size, Rect, AffineTransform, Color, Path>;

// Key paths of the animatable layer properties.
namespace keypath {
inline constexpr std::string_view position = "position";
inline constexpr std::string_view bounds = "bounds";
inline constexpr std::string_view boundsSize = "bounds.size";
inline constexpr std::string_view opacity = "opacity";
inline constexpr std::string_view transform = "transform";
inline constexpr std::string_view transformRotationZ = "transform.rotation.z";
inline constexpr std::string_view transformRotation = "transform.rotation";
inline constexpr std::string_view transformScale = "transform.scale";
inline constexpr std::string_view transformScaleX = "transform.scale.x";
inline constexpr std::string_view transformScaleY = "transform.scale.y";
inline constexpr std::string_view transformTranslationX = "transform.translation.x";
inline constexpr std::string_view transformTranslationY = "transform.translation.y";
inline constexpr std::string_view backgroundColor = "backgroundColor";
inline constexpr std::string_view cornerRadius = "cornerRadius";
inline constexpr std::string_view shadowOpacity = "shadowOpacity";
inline constexpr std::string_view strokeStart = "strokeStart";
inline constexpr std::string_view strokeEnd = "strokeEnd";
inline constexpr std::string_view strokeColor = "strokeColor";
inline constexpr std::string_view fillColor = "fillColor";
inline constexpr std::string_view lineWidth = "lineWidth";
inline constexpr std::string_view path = "path";
}  // namespace keypath

}  // namespace platform::ui
