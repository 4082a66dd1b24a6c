#pragma once

#include <string>
#include <string_view>

namespace calmfield::sound {

// Which sound output plays: the PulseAudio one, or the native one of a PipeWire daemon.
struct OutputChoice {
    bool native = false;
    std::string pipeWireSocket; // the daemon's socket when native
};

// Chooses from what the PulseAudio server that answered calls itself (`serverName`), the address
// it was reached at (`pulseAddress`, as in PULSE_SERVER; empty for the user's own) and the user's
// runtime folder. Natively only where that server is pipewire-pulse, through the PipeWire daemon
// of the runtime folder its socket lies in: a PipeWire daemon running beside a classic PulseAudio
// owns no sound card, and a server reached over the network or at a socket of its own is another
// machine's or another session's.
OutputChoice chooseOutput(std::string_view serverName, std::string_view pulseAddress,
                          std::string_view runtimeFolder);

} // namespace calmfield::sound
