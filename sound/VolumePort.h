#pragma once

#include <chrono>
#include <cstdint>

namespace calmfield::sound {

// The speakers' volume, which the master volume sets.
class VolumePort {
  public:
    virtual ~VolumePort() = default;

    // Connects, waiting at most `timeout`; false when the volume cannot be reached now. It is
    // reached, and set to the volume last asked for, as soon as a server answers.
    virtual bool open(std::chrono::milliseconds timeout) = 0;
    // Sets the volume, from 0 (silent) to 65535. Never waits; does nothing unless open.
    // `byMute` says that the volume is Mute's 0: it holds the speakers silent, whichever they are,
    // until a volume comes without it, which goes to every speaker Mute silenced.
    virtual void setVolume(std::uint32_t volume, bool byMute) = 0;
    // Waits at most `timeout` until the server has every volume asked for, those that end Mute
    // on each speaker it silenced included; false when it has not.
    virtual bool settle(std::chrono::milliseconds timeout) = 0;
};

} // namespace calmfield::sound
