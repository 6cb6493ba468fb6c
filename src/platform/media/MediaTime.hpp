// A point or span of media time: a rational number of seconds (value over
// timescale), or the indefinite time (a duration that is not known yet).
//
// Value type; safe to copy between threads.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>

namespace platform::media {

struct MediaTime {
    std::int64_t value = 0;
    std::int32_t timescale = 1;
    bool indefinite = false;

    static constexpr MediaTime make(std::int64_t value, std::int32_t timescale) {
        return MediaTime{value, timescale > 0 ? timescale : 1, false};
    }
    // `seconds` at `preferredTimescale`, rounded to the nearest tick
    // (12.4 s at timescale 1 is 12 s; 12.6 s is 13 s). A value that is not a
    // finite number gives the indefinite time.
    static MediaTime makeWithSeconds(double seconds, std::int32_t preferredTimescale);
    static constexpr MediaTime zero() { return MediaTime{0, 1, false}; }
    static constexpr MediaTime indefiniteTime() { return MediaTime{0, 1, true}; }

    constexpr bool isIndefinite() const { return indefinite; }
    // Seconds as a double; NaN for the indefinite time.
    double seconds() const;

    // Equal when both are indefinite or both stand for the same number of
    // seconds (1/2 equals 2/4).
    friend bool operator==(const MediaTime& a, const MediaTime& b);
    // The indefinite time orders after every definite time.
    friend std::partial_ordering operator<=>(const MediaTime& a, const MediaTime& b);
};

}  // namespace platform::media

template <>
struct std::hash<platform::media::MediaTime> {
    std::size_t operator()(const platform::media::MediaTime& t) const noexcept {
        if (t.indefinite) return 0x9e3779b9u;
        return std::hash<double>{}(t.seconds());
    }
};
