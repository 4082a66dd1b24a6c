#pragma once

#include <cstddef>
#include <vector>

namespace calmfield::testsupport {

// Level of the samples in decibels relative to full scale: a full-scale square wave is 0 dB and a
// full-scale sine about -3 dB. Silence gives a very low level rather than minus infinity.
double rmsDecibels(const std::vector<float>& samples);

// The power spectrum of interleaved audio, averaged over its channels and over half-overlapping
// Hann-windowed segments.
struct Spectrum {
    double binWidthHz = 0.0;
    std::vector<double> power; // one value per bin, from 0 Hz up to half the sample rate
};

Spectrum averagedSpectrum(const std::vector<float>& interleaved, std::size_t channels,
                          double sampleRate, std::size_t segmentLength = 4096);

// How the power density falls (negative) or rises with frequency between the two limits, in
// decibels per octave: a straight line fitted to the mean powers of third-octave bands.
double slopeDecibelsPerOctave(const Spectrum& spectrum, double lowHz, double highHz);

// The frequency of the strongest component above 0 Hz, refined between bins.
double strongestFrequency(const Spectrum& spectrum);

} // namespace calmfield::testsupport
