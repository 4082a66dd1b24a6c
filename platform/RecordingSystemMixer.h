#pragma once

#include "platform/SystemMixer.h"

#include <cstdint>
#include <vector>

namespace calmfield::platform {

// A system mixer that changes nothing and remembers every volume it was given, in order.
class RecordingSystemMixer final : public SystemMixer {
  public:
    void setSpeakerVolume(std::uint32_t value) override;

    const std::vector<std::uint32_t>& speakerVolumes() const { return speakerVolumes_; }
    void clear() { speakerVolumes_.clear(); }

  private:
    std::vector<std::uint32_t> speakerVolumes_;
};

} // namespace calmfield::platform
