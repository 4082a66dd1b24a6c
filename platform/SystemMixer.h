#pragma once

#include <cstdint>

namespace calmfield::platform {

// The sound card's own playback master volume, set on the system mixer's 0 to 65535 scale.
class SystemMixer {
  public:
    static constexpr std::uint32_t kFullVolume = 65535;

    virtual ~SystemMixer() = default;

    // Sets the speakers' master volume; values above kFullVolume mean full volume. A failure is
    // not reported: the sound card simply keeps its volume.
    virtual void setSpeakerVolume(std::uint32_t value) = 0;
};

} // namespace calmfield::platform
