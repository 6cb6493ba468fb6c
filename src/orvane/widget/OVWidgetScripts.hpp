// The script calls the native side sends into the listening widget: player
// actions and tracking actions dispatched to the widget's store, playback
// events and promise answers given to its cross-stack handler. Each value
// builds its complete script text (`script()` / `formatted()`); the bridge
// (OVWidgetManager) sends it. Pure values; any thread.
//
// Text spliced into a script is made safe here: numbers are written in plain
// decimal form (never exponent notation; NaN and the infinities as the
// script's own NaN, Infinity, -Infinity), promise identifiers become quoted
// script string literals, and answer values are written as JSON.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/core/Json.hpp"

namespace orvane {

// The first part of every script sent to the widget.
inline constexpr std::string_view OrvaneGlobal = "window.__orvaneGlobal__.";

// The plain decimal description of a number: the shortest decimal text that
// reads back as the same double, always with a fractional part (30.0, 42.5,
// 1234.567). Non-finite values give NaN, Infinity or -Infinity.
std::string plainDescription(double value);

// The text as a single-quoted script string literal. Quotes, backslashes,
// line breaks and every other control or separator character are escaped,
// and so is a lone surrogate in its generalized UTF-8 form (ED A0 80 makes
// "\uD800"); ordinary text (letters, digits, blanks, "-", "_", ...) is kept
// as is.
std::string singleQuotedLiteral(std::string_view text);

// A value's text inside a script: null for none; numbers as above (integers
// in decimal); booleans true/false; texts, arrays and objects as JSON.
std::string scriptValueText(const std::optional<platform::core::Json>& value);

// Player actions dispatched to the widget's store.
struct SDKPlayerAction {
    struct SelectTrack {
        std::string payload;  // a script expression, inserted unchanged
    };
    struct PlayerUserTimeUpdate {
        double seconds = 0;
    };
    struct Open {};
    struct Close {};
    struct Play {};
    struct Pause {};
    struct ToggleReadMore {};
    using Value = std::variant<SelectTrack, PlayerUserTimeUpdate, Open, Close, Play, Pause, ToggleReadMore>;

    Value value;

    // `payload` is inserted unchanged: build it with selectTrackPayload.
    static SDKPlayerAction selectTrack(std::string payload) { return {SelectTrack{std::move(payload)}}; }
    static SDKPlayerAction playerUserTimeUpdate(double seconds) { return {PlayerUserTimeUpdate{seconds}}; }
    static SDKPlayerAction open() { return {Open{}}; }
    static SDKPlayerAction close() { return {Close{}}; }
    static SDKPlayerAction play() { return {Play{}}; }
    static SDKPlayerAction pause() { return {Pause{}}; }
    static SDKPlayerAction toggleReadMore() { return {ToggleReadMore{}}; }

    // The JSON text of an object whose single member "key" holds `trackKey`:
    // the payload that selects that episode, compact. Every character of the
    // key survives (non-ASCII text is written with \u escapes, a slash as
    // "\/"), and the text is safe to splice into a script as an expression.
    static std::string selectTrackPayload(std::string_view trackKey);

    // The store action's body, e.g. "type: 'PLAYER_OPEN'".
    std::string body() const;
    std::string script() const;
};

// Tracking actions dispatched to the widget's store.
enum class SDKTracking {
    halfScreen,
    fullScreen,
    swipeDown,
    trackListPlay,
    trackListPause,
    mainPlay,
    mainPause,
    cursorMove,
    rewind,
    fastForward,
    close,
    readMore,
};

inline constexpr std::array<SDKTracking, 12> allSDKTrackingCases{
    SDKTracking::halfScreen,  SDKTracking::fullScreen, SDKTracking::swipeDown,  SDKTracking::trackListPlay,
    SDKTracking::trackListPause, SDKTracking::mainPlay, SDKTracking::mainPause, SDKTracking::cursorMove,
    SDKTracking::rewind,      SDKTracking::fastForward, SDKTracking::close,     SDKTracking::readMore,
};

std::string_view body(SDKTracking tracking);
std::string script(SDKTracking tracking);

// Playback events emitted through the widget's cross-stack handler.
struct SDKEvent {
    struct DurationChange {
        double seconds = 0;
    };
    struct TimeUpdate {
        double seconds = 0;
    };
    struct End {};
    using Value = std::variant<DurationChange, TimeUpdate, End>;

    Value value;

    static SDKEvent durationChange(double seconds) { return {DurationChange{seconds}}; }
    static SDKEvent timeUpdate(double seconds) { return {TimeUpdate{seconds}}; }
    static SDKEvent end() { return {End{}}; }

    // The emit call's arguments, e.g. "'timeupdate', 12.5".
    std::string arguments() const;
    std::string script() const;
};

// An answer to one of the widget's promises.
struct OVPromiseType {
    struct Resolve {
        std::string id;
        std::optional<platform::core::Json> value;
    };
    struct Reject {
        std::string id;
        std::optional<platform::core::Json> error;
    };
    using Value = std::variant<Resolve, Reject>;

    Value value;

    static OVPromiseType resolve(std::string id, std::optional<platform::core::Json> value = std::nullopt) {
        return {Resolve{std::move(id), std::move(value)}};
    }
    static OVPromiseType reject(std::string id, std::optional<platform::core::Json> error = std::nullopt) {
        return {Reject{std::move(id), std::move(error)}};
    }

    // OrvaneGlobal followed by "crossStackHandler".
    static std::string stack();
    // The whole answer script, e.g.
    // "window.__orvaneGlobal__.crossStackHandler.resolvePromise('p1', null)".
    std::string formatted() const;
};

}  // namespace orvane
