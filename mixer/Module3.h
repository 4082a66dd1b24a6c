#pragma once

#include "platform/SystemMixer.h"

#include <cstdint>

// The master volume's way to the system mixer: finding the speakers' volume control once, and
// setting it.
namespace calmfield::mixer::Module3 {

inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS =
    platform::SystemMixer::kSpeakersComponent;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME =
    platform::SystemMixer::kVolumeControlType;

// One mixer control as the program keeps it; all zero until a look-up fills it.
struct MixerControl {
    static constexpr std::uint32_t kRecordSize = 152;

    std::uint32_t cbStruct = 0;
    std::uint32_t dwControlID = 0;
    std::uint32_t dwControlType = 0;
};

// Finds the control of `controlType` on the line of `componentType`. When there is no such line
// the record is left untouched; when the line has no such control the record keeps its earlier
// identity. True when the control was found.
bool FindLineControl(platform::SystemMixer& mixer, std::uint32_t componentType,
                     std::uint32_t controlType, MixerControl& control);

// Sets `control` to `value`; true when the mixer took it.
bool SetControlValue(platform::SystemMixer& mixer, const MixerControl& control, std::int32_t value);

} // namespace calmfield::mixer::Module3
