// The bottom sheet's arithmetic, apart from its views: the relative position
// of a drag, the decisions taken when a pan is released, and the timing of
// the spring to full screen and of the slide off the screen. The animator
// (OVCompactVCPresentationTransitioning) calls these with what it reads in
// its container view: H the container's height, ty and vy the pan's vertical
// translation and velocity (points, points per second, positive downwards).
//
// Every result is a finite number: a zero or negative container height gives
// no relative position, a distance of a point or less gives no spring
// velocity, a duration never goes below 0, and a velocity that is not a
// finite number counts as none. Internal to the presentation; pure.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvane::compactsheet {

// The drag's decision thresholds (points and points per second).
inline constexpr double expandEstimateLimit = 75;  // the sheet's estimated top under it: expand
inline constexpr double fullScreenTopInset = 30;   // the full-screen sheet's top below the safe area's top
inline constexpr double minimumExpansionDuration = 0.4;
inline constexpr double maximumDismissalDuration = 0.6;

// `value` when finite, else `fallback`.
inline double finiteOr(double value, double fallback = 0) { return std::isfinite(value) ? value : fallback; }

// Dragging up from the preview: (previewHeight - ty) / H, the preview's own
// relative position at ty = 0, growing as the finger goes up. None without a
// height.
inline std::optional<double> expandingRelativePosition(double previewHeight, double ty, double H) {
    if (!(H > 0) || !std::isfinite(H)) return std::nullopt;
    const double p = 1 - (H + ty - previewHeight) / H;
    if (!std::isfinite(p)) return std::nullopt;
    return p;
}

// Shrinking the full-screen sheet: 1 - ty / H, ty counted from the shrink's
// start. None without a height.
inline std::optional<double> shrinkingRelativePosition(double ty, double H) {
    if (!(H > 0) || !std::isfinite(H)) return std::nullopt;
    const double p = 1 - ty / H;
    if (!std::isfinite(p)) return std::nullopt;
    return p;
}

// What the release of the pan that drags the sheet up from the preview does.
enum class ExpandingRelease { dismiss, expand, snapBack };

inline ExpandingRelease expandingRelease(double vy, double ty) {
    if (vy > 250 || (vy > 25 && ty > 75)) return ExpandingRelease::dismiss;
    if (vy < -750 || (vy < -25 && ty < -75)) return ExpandingRelease::expand;
    return ExpandingRelease::snapBack;
}

// Whether the release of a shrink takes the sheet away (else it springs back
// to full screen).
inline bool shrinkReleaseDismisses(double vy, double ty) { return vy > 750 || (vy > 25 && ty > 75); }

// The spring that takes the sheet's top to full screen.
struct Expansion {
    double distance;        // what the sheet's top still has to travel
    double duration;        // seconds, at least 0.4
    double springVelocity;  // the initial spring velocity: speed / distance, 0 within a point
};

// d = H - (previewHeight - translation); duration = max(1.5 d / 750, 0.4);
// speed = |velocity| within 250...1250; spring velocity = speed / d, 0 when
// d is a point or less (a division by nothing would fling the spring).
inline Expansion expansion(double H, double previewHeight, double translation, double velocity) {
    const double d = finiteOr(H - (previewHeight - translation));
    const double duration = std::max(1.5 * d / 750, minimumExpansionDuration);
    const double speed = std::min(std::max(std::abs(finiteOr(velocity)), 250.0), 1250.0);
    const double springVelocity = d > 1 ? speed / d : 0;
    return {d, duration, springVelocity};
}

// The slide off the screen from the sheet's top at `y`:
// min((H - y) / max(velocity, 250), 0.6), and not below 0 (a sheet already
// past the bottom leaves at once).
inline double dismissalDuration(double H, double y, double velocity) {
    const double speed = std::max(finiteOr(velocity), 250.0);
    const double duration = std::min((H - y) / speed, maximumDismissalDuration);
    if (std::isnan(duration)) return maximumDismissalDuration;
    return std::max(duration, 0.0);
}

// `dismiss()`'s own speed from the sheet's top at `y`: the farther from the
// bottom, the faster: max(3 (H - y) - 500, 250).
inline double defaultDismissalVelocity(double H, double y) {
    return std::max(finiteOr(3 * (H - y) - 500), 250.0);
}

}  // namespace orvane::compactsheet
