#include "tools/ColouredNoise.h"

#include "tools/Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <stdexcept>

namespace calmfield::tools {
namespace {

// Uniform in [0, 1) from the generator's raw bits, so the result does not depend on how a
// standard library implements its distributions.
double unitInterval(std::mt19937_64& generator) {
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

} // namespace

std::vector<double> periodicColouredNoise(std::size_t frames, double sampleRate,
                                          NoiseColourShape shape, std::uint64_t seed) {
    if (frames < 4 || !isPowerOfTwo(frames))
        throw std::invalid_argument("noise length must be a power of two of at least 4");

    // Power rises by slope dB per octave, so amplitude goes as f^(slope / (20 log10 2)).
    const double exponent = shape.slopeDbPerOctave / (20.0 * std::log10(2.0));
    const double binWidth = sampleRate / static_cast<double>(frames);
    const std::size_t half = frames / 2;

    std::mt19937_64 generator(seed);
    std::vector<std::complex<double>> spectrum(frames);
    for (std::size_t k = 1; k < half; ++k) {
        const double frequency = std::max(static_cast<double>(k) * binWidth, shape.flatBelowHz);
        const double magnitude = std::pow(frequency, exponent);
        const double phase = 2.0 * std::numbers::pi * unitInterval(generator);
        spectrum[k] = std::polar(magnitude, phase);
        spectrum[frames - k] = std::conj(spectrum[k]);
    }
    inverseFft(spectrum);

    std::vector<double> samples(frames);
    double power = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i] = spectrum[i].real();
        power += samples[i] * samples[i];
    }
    const double scale = 1.0 / std::sqrt(power / static_cast<double>(frames));
    for (auto& sample : samples)
        sample *= scale;
    return samples;
}

} // namespace calmfield::tools
