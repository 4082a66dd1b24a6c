#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace calmfield::tools {

struct NoiseColourShape {
    double slopeDbPerOctave;   // power slope: -6 brown, -3 pink, 0 white, +3 blue, +6 purple
    double flatBelowHz = 20.0; // below this the magnitude is held, so that brown and pink stay tame
};

// One period of noise of the given spectral shape, scaled to an RMS of 1. Every frequency bin has
// the shape's exact magnitude and a random phase drawn from `seed`, and the signal is the inverse
// transform of the whole length, so it repeats seamlessly after `frames` samples. DC and the
// Nyquist bin are zero. `frames` must be a power of two of at least 4.
std::vector<double> periodicColouredNoise(std::size_t frames, double sampleRate,
                                          NoiseColourShape shape, std::uint64_t seed);

} // namespace calmfield::tools
