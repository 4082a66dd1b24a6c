#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace calmfield::platform {

// What the PulseAudio server at `address` (the user's own when empty) calls itself, such as
// "pulseaudio" or "PulseAudio (on PipeWire 0.3.65)"; empty when no server answered within
// `timeout`. Waits for the answer on the calling thread; never starts a server.
std::optional<std::string> pulseServerName(const std::string& address,
                                           std::chrono::milliseconds timeout);

} // namespace calmfield::platform
