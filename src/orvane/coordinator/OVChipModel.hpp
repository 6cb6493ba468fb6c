// What the chip's interactor computes and the chip applies: the colours of
// the disc and its indicators, which indicators run, and the fraction of the
// episode played. Plain values; main thread.
#pragma once

#include "platform/graphics/Color.hpp"

namespace orvane::OVChipModel {

struct Style {
    platform::graphics::Color backgroundColor;
    platform::graphics::Color spinAnimationColor;
    platform::graphics::Color equalizerAnimationColor;
    platform::graphics::Color progressionColor;
    friend bool operator==(const Style&, const Style&) = default;
};

struct AudioStatus {
    bool circleSpinAnimationIsRunning = false;
    bool equalizerAnimationIsRunning = false;
    friend bool operator==(const AudioStatus&, const AudioStatus&) = default;
};

struct AudioPosition {
    float progressValue = 0;  // time / duration, in single precision, unclamped
    friend bool operator==(const AudioPosition&, const AudioPosition&) = default;
};

}  // namespace orvane::OVChipModel
