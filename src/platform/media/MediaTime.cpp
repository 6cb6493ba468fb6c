#include "platform/media/MediaTime.hpp"

#include <cmath>
#include <limits>

namespace platform::media {

namespace {
__extension__ typedef __int128 Wide;
}

MediaTime MediaTime::makeWithSeconds(double seconds, std::int32_t preferredTimescale) {
    if (!std::isfinite(seconds)) return indefiniteTime();
    const std::int32_t scale = preferredTimescale > 0 ? preferredTimescale : 1;
    const double ticks = std::round(seconds * static_cast<double>(scale));
    constexpr double limit = static_cast<double>(std::numeric_limits<std::int64_t>::max() / 2);
    if (std::fabs(ticks) > limit) return indefiniteTime();
    return make(static_cast<std::int64_t>(ticks), scale);
}

double MediaTime::seconds() const {
    if (indefinite) return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(value) / static_cast<double>(timescale > 0 ? timescale : 1);
}

bool operator==(const MediaTime& a, const MediaTime& b) {
    if (a.indefinite || b.indefinite) return a.indefinite == b.indefinite;
    // Cross-multiplication in 128 bits: exact for every pair of values.
    const auto lhs = static_cast<Wide>(a.value) * b.timescale;
    const auto rhs = static_cast<Wide>(b.value) * a.timescale;
    return lhs == rhs;
}

std::partial_ordering operator<=>(const MediaTime& a, const MediaTime& b) {
    if (a.indefinite || b.indefinite) {
        if (a.indefinite && b.indefinite) return std::partial_ordering::equivalent;
        return a.indefinite ? std::partial_ordering::greater : std::partial_ordering::less;
    }
    const auto lhs = static_cast<Wide>(a.value) * b.timescale;
    const auto rhs = static_cast<Wide>(b.value) * a.timescale;
    if (lhs < rhs) return std::partial_ordering::less;
    if (lhs > rhs) return std::partial_ordering::greater;
    return std::partial_ordering::equivalent;
}

}  // namespace platform::media
