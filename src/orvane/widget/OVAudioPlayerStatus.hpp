// The playback status the audio player keeps and the widget reports in its
// state: "paused", "loading", "playing". Plain enumeration; thread-safe.
#pragma once

#include "orvane/model/RawEnum.hpp"

#include <array>
#include <string_view>
#include <utility>

namespace orvane {

enum class OVAudioPlayerStatus { paused, loading, playing };

template <>
struct EnumTraits<OVAudioPlayerStatus> {
    static constexpr std::array<std::pair<OVAudioPlayerStatus, std::string_view>, 3> table{{
        {OVAudioPlayerStatus::paused, "paused"},
        {OVAudioPlayerStatus::loading, "loading"},
        {OVAudioPlayerStatus::playing, "playing"},
    }};
};

}  // namespace orvane
