#include "orvane/coordinator/OVFooterPlayer.hpp"

namespace orvane {

OVFooterPlayer::OVFooterPlayer(ConstructorKey key, const platform::graphics::Rect& frame) : View(key, frame) {}

OVFooterPlayer::~OVFooterPlayer() = default;

void OVFooterPlayer::update(const OVTheme&, const platform::graphics::Color&) {}
void OVFooterPlayer::update(const OVTrack&, const OVContent&) {}
void OVFooterPlayer::update(OVAudioPlayerStatus) {}
void OVFooterPlayer::update(const OVAudioPosition&) {}

}  // namespace orvane
