#pragma once

#include "platform/VolumePort.h"

#include <chrono>
#include <cstdint>

namespace calmfield::player {

// The speakers' volume (0 to 65535) for a master volume slider position (0 to 32750): the
// position times 1.99, rounded to the nearest whole number, a half going to the even one.
std::uint32_t speakerVolumeForMasterPosition(int position);

// The master volume's way to the speakers: the only place that speaks to the volume port.
class SpeakerVolume {
  public:
    explicit SpeakerVolume(platform::VolumePort& port) : port_(port) {}

    // Opens the port, waiting at most `timeout`; false when it cannot be reached.
    bool open(std::chrono::milliseconds timeout) { return port_.open(timeout); }
    // Sets the speakers' volume for a master volume position.
    void set(int masterPosition) {
        port_.setVolume(speakerVolumeForMasterPosition(masterPosition));
    }

  private:
    platform::VolumePort& port_;
};

} // namespace calmfield::player
