// The widget player's part of the widget state ("player"): the location it
// serves, its playing status and the flags of the widget's own player; and
// the chip's size class and corner as a location's theme gives them.
// Plain values decoded on the decoding queue; thread-safe to read.
#pragma once

#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/RawEnum.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/core/Json.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvane {

enum class OVThemeSize { small, normal, big };

template <>
struct EnumTraits<OVThemeSize> {
    static constexpr std::array<std::pair<OVThemeSize, std::string_view>, 3> table{{
        {OVThemeSize::small, "small"},
        {OVThemeSize::normal, "normal"},
        {OVThemeSize::big, "big"},
    }};
};

enum class OVThemePosition { topLeft, topRight, bottomLeft, bottomRight };

template <>
struct EnumTraits<OVThemePosition> {
    static constexpr std::array<std::pair<OVThemePosition, std::string_view>, 4> table{{
        {OVThemePosition::topLeft, "top_left"},
        {OVThemePosition::topRight, "top_right"},
        {OVThemePosition::bottomLeft, "bottom_left"},
        {OVThemePosition::bottomRight, "bottom_right"},
    }};
};

struct OVPlayer {
    std::optional<std::string> locationKey;                // "locationKey"
    std::optional<OVAudioPlayerStatus> playingStatus;      // "playingStatus"
    std::optional<bool> muted;                             // "muted"
    std::optional<bool> closed;                            // "closed"
    std::optional<bool> readMore;                          // "readMore"
    std::optional<OVDrawerState> drawerState;              // "drawerState"

    OVPlayer() = default;
    OVPlayer(std::optional<std::string> locationKey, std::optional<OVAudioPlayerStatus> playingStatus,
             std::optional<bool> muted, std::optional<bool> closed, std::optional<bool> readMore,
             std::optional<OVDrawerState> drawerState)
        : locationKey(std::move(locationKey)),
          playingStatus(playingStatus),
          muted(muted),
          closed(closed),
          readMore(readMore),
          drawerState(drawerState) {}

    // Throws DecodingError; every member is optional (missing or null).
    static OVPlayer decode(const platform::core::Json& json);
};

}  // namespace orvane
