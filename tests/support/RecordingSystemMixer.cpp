#include "tests/support/RecordingSystemMixer.h"

namespace calmfield::testsupport {
void RecordingSystemMixer::record(const std::string& call) {
    calls_.push_back(call);
    if (onCall)
        onCall(call);
}

bool RecordingSystemMixer::open(std::chrono::milliseconds) {
    record("open");
    opened_ = reachable_;
    return opened_;
}

std::uint32_t RecordingSystemMixer::findLine(std::uint32_t componentType) {
    record("findLine");
    return opened_ && componentType == kSpeakersComponent ? kSpeakersLine : 0;
}

std::uint32_t RecordingSystemMixer::findControl(std::uint32_t line, std::uint32_t controlType) {
    record("findControl");
    return opened_ && line == kSpeakersLine && controlType == kVolumeControlType ? kVolumeControl
                                                                                 : 0;
}

bool RecordingSystemMixer::setControlValue(std::uint32_t control, std::uint32_t value) {
    record("setControlValue");
    valuesSet_.emplace_back(control, value);
    return opened_ && control == kVolumeControl;
}

std::vector<std::uint32_t> RecordingSystemMixer::speakerVolumes() const {
    std::vector<std::uint32_t> volumes;
    for (const auto& [control, value] : valuesSet_) {
        if (control == kVolumeControl)
            volumes.push_back(value);
    }
    return volumes;
}

void RecordingSystemMixer::clear() {
    calls_.clear();
    valuesSet_.clear();
}

} // namespace calmfield::testsupport
