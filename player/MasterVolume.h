#pragma once

#include "platform/SystemMixer.h"

#include <chrono>
#include <cstdint>

namespace calmfield::player {

// The speakers' mixer volume (0 to 65535) for a master volume slider position (0 to 32750):
// the position times 1.99, rounded to the nearest whole number, a half going to the even one.
std::uint32_t speakerVolumeForMasterPosition(int position);

// The master volume's way to the speakers: the only place that speaks to the system mixer.
class SpeakerVolume {
  public:
    explicit SpeakerVolume(platform::SystemMixer& mixer) : mixer_(mixer) {}

    // Opens the system mixer, waiting at most `timeout`, and finds the speakers' volume; false
    // when the mixer cannot be reached.
    bool open(std::chrono::milliseconds timeout);
    // Sets the speakers' volume for a master volume position.
    void set(int masterPosition);

    // The mixer's speakers volume control, or 0 until one is found.
    std::uint32_t control() const { return control_; }

  private:
    platform::SystemMixer& mixer_;
    std::uint32_t control_ = 0;
};

} // namespace calmfield::player
