// Sizes, margins and durations of the interface by component.
#pragma once

#include "orvane/widget/OVPlayer.hpp"

namespace orvane::OVConstants {

struct OVChip {
    // The chip's diameter in interface points for a size class.
    static constexpr double side(OVThemeSize forSize) {
        switch (forSize) {
            case OVThemeSize::small: return 42;
            case OVThemeSize::normal: return 49;
            case OVThemeSize::big: return 61;
        }
        return 49;
    }
};

}  // namespace orvane::OVConstants
