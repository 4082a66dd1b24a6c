#include "platform/RecordingSystemMixer.h"

namespace calmfield::platform {

void RecordingSystemMixer::setSpeakerVolume(std::uint32_t value) {
    speakerVolumes_.push_back(value);
}

} // namespace calmfield::platform
