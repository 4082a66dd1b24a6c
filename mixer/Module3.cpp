#include "mixer/Module3.h"

namespace calmfield::mixer::Module3 {

bool FindLineControl(platform::SystemMixer& mixer, std::uint32_t componentType,
                     std::uint32_t controlType, MixerControl& control) {
    const std::uint32_t line = mixer.findLine(componentType);
    if (line == 0)
        return false;
    control.cbStruct = MixerControl::kRecordSize;
    const std::uint32_t found = mixer.findControl(line, controlType);
    if (found == 0)
        return false;
    control.dwControlID = found;
    control.dwControlType = controlType;
    return true;
}

bool SetControlValue(platform::SystemMixer& mixer, const MixerControl& control,
                     std::int32_t value) {
    return mixer.setControlValue(control.dwControlID, static_cast<std::uint32_t>(value));
}

} // namespace calmfield::mixer::Module3
