// View animation blocks. The block runs at once, so model values are final
// when it returns; every animatable property change reported during it
// (`propertyDidChange`, called by the layers) becomes an animation on that
// layer's store, from the old value (or, with begin-from-current-state, the
// value shown at that moment) to the new one, under the key path as key
// (replacing what ran there). Several changes of one property in one block
// make one animation to the last value; a change to the same value makes none.
//
// - `animate`: basic animations with the block's duration, delay (the old
//   value shows during it), curve, repeat (for ever) and autoreverse;
// - `animateSpring`: spring animations with a damping ratio and an initial
//   velocity (in distances per second) that settle by the duration;
// - `animateKeyframes` with `addKeyframe(relativeStart, relativeDuration,
//   changes)` inside: one keyframe animation per property through the values
//   the keyframes set, each reached at the end of its keyframe (changes made
//   outside any keyframe span the whole duration);
// - `performWithoutAnimation`: changes inside are not animated, even within
//   an animation block; nor are they while a transaction disables actions.
//
// The completion runs on the main run loop once every animation made by the
// block has ended: true when all ran to their end, false when any was removed
// first (replaced included); on the next turn with true when the block
// animated nothing or the duration is 0 (then nothing is animated). A block
// that repeats never completes by itself.
// Main thread only.
#pragma once

#include <functional>
#include <string_view>

#include "platform/ui/animation/AnimatableValue.hpp"

namespace platform::ui {

class AnimationTarget;

enum class ViewAnimationCurve { easeInOut, easeIn, easeOut, linear };

struct ViewAnimationOptions {
    ViewAnimationCurve curve = ViewAnimationCurve::easeInOut;
    bool allowUserInteraction = false;
    bool beginFromCurrentState = false;
    bool repeat = false;
    bool autoreverse = false;
};

class ViewAnimation {
public:
    using Block = std::function<void()>;
    using Completion = std::function<void(bool finished)>;

    static void animate(double duration, double delay, ViewAnimationOptions options, const Block& animations,
                        Completion completion = {});
    static void animate(double duration, const Block& animations, Completion completion = {});
    static void animateSpring(double duration, double delay, double dampingRatio, double initialVelocity,
                              ViewAnimationOptions options, const Block& animations, Completion completion = {});
    static void animateKeyframes(double duration, double delay, ViewAnimationOptions options,
                                 const Block& animations, Completion completion = {});
    // Inside an `animateKeyframes` block; start and duration are fractions of
    // its duration. Elsewhere it runs `animations` like any other code.
    static void addKeyframe(double relativeStartTime, double relativeDuration, const Block& animations);
    static void performWithoutAnimation(const Block& actions);

    // True while changes reported now would be animated.
    static bool isRecording();
    // Reported by an animatable object after the model value at `keyPath`
    // changed from `oldValue` to `newValue`.
    static void propertyDidChange(AnimationTarget& target, std::string_view keyPath, const AnimatableValue& oldValue,
                                  const AnimatableValue& newValue);
};

}  // namespace platform::ui
