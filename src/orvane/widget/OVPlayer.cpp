#include "orvane/widget/OVPlayer.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

OVPlayer OVPlayer::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    OVPlayer player;
    player.locationKey = ifPresent<std::string>(object, "locationKey");
    player.playingStatus = ifPresent<OVAudioPlayerStatus>(object, "playingStatus");
    player.muted = ifPresent<bool>(object, "muted");
    player.closed = ifPresent<bool>(object, "closed");
    player.readMore = ifPresent<bool>(object, "readMore");
    player.drawerState = ifPresent<OVDrawerState>(object, "drawerState");
    return player;
}

}  // namespace orvane
