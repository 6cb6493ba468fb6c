// Where a presentation of the root container stands: the bottom sheet's
// states (`OVCompactDisplayState`) and the side panel's
// (`OVRegularDisplayState`). The animators store them, the presented
// container is told of them, and the transition properties receive them as
// plain integers (`rawValue`), turning them back with `fromRawValue<E>(int)`,
// which yields no state for a number that names no case. Pure values.
#pragma once

#include <array>
#include <optional>

namespace orvane {

enum class OVCompactDisplayState : int {
    closed = 0,      // the sheet is not on screen; the dimming view is transparent
    preview = 1,     // the sheet stands at its preview height over the dimmed host screen
    expanding = 2,   // the sheet follows a drag between preview and full screen
    fullScreen = 3,  // the sheet covers the screen; the host screen behind is scaled down
    shrinking = 4,   // the full-screen sheet follows a drag downwards
    dismissing = 5,  // the sheet is being animated off the screen
};

enum class OVRegularDisplayState : int {
    closed = 0,     // the panel lies beyond the right edge; the dimming view is transparent
    displayed = 1,  // the panel is fully in place
    shrinking = 2,  // the panel follows a drag to the right
};

template <class E>
struct OVDisplayStateCases;
template <>
struct OVDisplayStateCases<OVCompactDisplayState> {
    static constexpr std::array all{OVCompactDisplayState::closed,    OVCompactDisplayState::preview,
                                    OVCompactDisplayState::expanding, OVCompactDisplayState::fullScreen,
                                    OVCompactDisplayState::shrinking, OVCompactDisplayState::dismissing};
};
template <>
struct OVDisplayStateCases<OVRegularDisplayState> {
    static constexpr std::array all{OVRegularDisplayState::closed, OVRegularDisplayState::displayed,
                                    OVRegularDisplayState::shrinking};
};

template <class E>
concept OVDisplayState = requires { OVDisplayStateCases<E>::all; };

template <OVDisplayState E>
constexpr int rawValue(E state) {
    return static_cast<int>(state);
}

// The case with raw value `raw`, or none.
template <OVDisplayState E>
constexpr std::optional<E> fromRawValue(int raw) {
    for (E state : OVDisplayStateCases<E>::all) {
        if (rawValue(state) == raw) return state;
    }
    return std::nullopt;
}

}  // namespace orvane
