// The native mirror of the widget's whole state: the contents it knows (by
// the member names under "contents"), its places on the page ("locations")
// and its player ("player"), with the derived views the interface reads.
//
// Built only by decoding a "stateUpdate" body, on the bridge's serial
// decoding queue: decodeValue<OVState>(body) decodes completely or gives
// none, keeps no state between calls and may run on several threads at
// once. A plain value afterwards; every getter recomputes from the stored
// fields and may be read on any thread (the episodes it reaches are shared
// objects updated on the main queue).
#pragma once

#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "orvane/widget/OVLocation.hpp"
#include "orvane/widget/OVPlayer.hpp"
#include "platform/core/Json.hpp"
#include "platform/graphics/Color.hpp"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct OVState {
    std::optional<std::map<std::string, OVContent>> contentForKey;    // "contents"
    std::optional<std::map<std::string, OVLocation>> locationForKey;  // "locations"
    std::optional<OVPlayer> player;                                   // "player"

    struct AudioPosition {
        double time = 0;      // seconds, as the widget gave it
        double duration = 0;  // seconds, the current episode's audio duration
        friend bool operator==(const AudioPosition&, const AudioPosition&) = default;
    };

    OVState() = default;
    OVState(std::optional<std::map<std::string, OVContent>> contentForKey,
            std::optional<std::map<std::string, OVLocation>> locationForKey, std::optional<OVPlayer> player)
        : contentForKey(std::move(contentForKey)), locationForKey(std::move(locationForKey)), player(std::move(player)) {}

    // Throws DecodingError: any failure inside fails the whole state.
    static OVState decode(const platform::core::Json& json);

    // The location the player points at.
    std::optional<OVLocation> location() const;
    std::optional<OVLocation::Theme> locationTheme() const;
    // Always light: the widget state carries no light or dark choice.
    OVTheme theme() const { return OVTheme::light; }
    // The location theme's colour; plain blue without one.
    platform::graphics::Color mainColor() const;
    // The content the current location names.
    std::optional<OVContent> currentContent() const;
    // The episode the current location names, within the current content.
    std::shared_ptr<OVTrack> currentTrack() const;
    // One entry per recommendation key whose content has a selected episode,
    // in key order (repeated keys repeat).
    std::vector<OVTrackInPodcast> followingTracks() const;
    std::optional<OVAudioPlayerStatus> audioPlayerStatus() const;
    // The current location's time and the current episode's duration,
    // unchanged (no clamping).
    std::optional<AudioPosition> audioPosition() const;

private:
    const OVLocation* locationPointer() const;
    const OVContent* currentContentPointer() const;
};

}  // namespace orvane
