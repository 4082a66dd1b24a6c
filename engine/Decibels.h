#pragma once

#include <cmath>
#include <cstdint>

namespace calmfield::engine {

// Linear gain of an attenuation in hundredths of a decibel (0 = unchanged, -2000 = a tenth).
inline float gainOfHundredthsDb(std::int32_t hundredthsDb) {
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

struct StereoGain {
    float left;
    float right;
};

// Volume and pan in hundredths of a decibel: negative pan attenuates the right side by its size,
// positive pan the left side.
inline StereoGain stereoGain(std::int32_t volume, std::int32_t pan) {
    const float gain = gainOfHundredthsDb(volume);
    return {pan > 0 ? gain * gainOfHundredthsDb(-pan) : gain,
            pan < 0 ? gain * gainOfHundredthsDb(pan) : gain};
}

} // namespace calmfield::engine
