// The sound-server output (PulseAudio's asynchronous API; PipeWire desktops
// serve it too). Used through AudioOutput::shared().
#pragma once

#include <memory>
#include <string>

#include "platform/media/AudioOutput.hpp"

namespace platform::media {

// Starts connecting without waiting for the server. Null, with the reason in
// `error`, when no server can be reached at all (no socket, nobody listening).
std::shared_ptr<AudioOutput> openPulseAudioOutput(std::string& error);

}  // namespace platform::media
