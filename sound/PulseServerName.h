#pragma once

#include "files/Result.h"
#include <chrono>

#include <optional>
#include <string>

namespace calmfield::sound {

// What the PulseAudio server at `address` (the user's own when empty) calls itself, such as
// "pulseaudio" or "PulseAudio (on PipeWire 0.3.65)", or why no server answered within `timeout`,
// in libpulse's words. Waits for the answer on the calling thread; never starts a server.
files::Result<std::string, std::string> pulseServerName(const std::string& address,
                                                        std::chrono::milliseconds timeout);

} // namespace calmfield::sound
