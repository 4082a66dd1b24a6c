#pragma once

#include <chrono>
#include <cstdint>

namespace calmfield::platform {

// The system's audio mixer: lines such as the speakers, each with controls such as its volume,
// named by nonzero numbers. A volume takes values from 0 to 65535.
class SystemMixer {
  public:
    // The component type of the speakers line, and the control type of a volume.
    static constexpr std::uint32_t kSpeakersComponent = 4;
    static constexpr std::uint32_t kVolumeControlType = 0x50030001;

    virtual ~SystemMixer() = default;

    // Opens the mixer, waiting at most `timeout`; false when it cannot be reached.
    virtual bool open(std::chrono::milliseconds timeout) = 0;
    // The line of the given component type, or 0 when there is none.
    virtual std::uint32_t findLine(std::uint32_t componentType) = 0;
    // The control of the given type on `line`, or 0 when there is none.
    virtual std::uint32_t findControl(std::uint32_t line, std::uint32_t controlType) = 0;
    // Sets every channel of `control` to `value`; false when that could not be asked.
    virtual bool setControlValue(std::uint32_t control, std::uint32_t value) = 0;
};

} // namespace calmfield::platform
