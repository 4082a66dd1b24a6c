#include "tests/support/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace calmfield::testsupport {
namespace {

constexpr double kRate = 44100.0;

std::vector<float> stereoSine(double frequency, double amplitude, std::size_t frames) {
    std::vector<float> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * std::numbers::pi * frequency *
                                                  static_cast<double>(i) / kRate);
        samples[2 * i] = samples[2 * i + 1] = static_cast<float>(value);
    }
    return samples;
}

std::vector<float> whiteNoise(std::size_t samples, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<float> normal(0.0f, 0.1f);
    std::vector<float> noise(samples);
    for (float& value : noise)
        value = normal(generator);
    return noise;
}

TEST(SignalAnalysis, LevelsOfKnownSignals) {
    EXPECT_NEAR(rmsDecibels(stereoSine(1000.0, 1.0, 44100)), -3.01, 0.02);
    EXPECT_NEAR(rmsDecibels(stereoSine(1000.0, 0.1, 44100)), -23.01, 0.02);
    EXPECT_NEAR(rmsDecibels(std::vector<float>(100, -0.5f)), -6.02, 0.01);
    EXPECT_LT(rmsDecibels(std::vector<float>(100, 0.0f)), -150.0);
    EXPECT_LT(rmsDecibels({}), -150.0);
}

TEST(SignalAnalysis, StrongestFrequencyFallsBetweenBins) {
    for (double frequency : {918.75, 1000.0, 4321.0}) {
        const auto spectrum = averagedSpectrum(stereoSine(frequency, 0.25, 44100), 2, kRate);
        EXPECT_NEAR(strongestFrequency(spectrum), frequency, 1.0);
    }
}

// White noise is flat; its first difference rises by 6 dB per octave well below half the rate,
// a little less towards 8 kHz where the difference filter bends over.
TEST(SignalAnalysis, SlopesOfWhiteAndDifferencedNoise) {
    const auto white = whiteNoise(2 * 44100 * 3, 7);
    EXPECT_NEAR(slopeDecibelsPerOctave(averagedSpectrum(white, 2, kRate), 100.0, 8000.0), 0.0, 0.2);

    std::vector<float> rising(white.size(), 0.0f);
    for (std::size_t i = 2; i < white.size(); ++i)
        rising[i] = white[i] - white[i - 2]; // the previous sample of the same channel
    const double slope = slopeDecibelsPerOctave(averagedSpectrum(rising, 2, kRate), 100.0, 8000.0);
    EXPECT_GT(slope, 5.6);
    EXPECT_LT(slope, 6.1);
}

TEST(SignalAnalysis, RefusesUnusableArguments) {
    EXPECT_THROW(averagedSpectrum(whiteNoise(8192, 1), 2, kRate, 1000), std::invalid_argument);
    const auto spectrum = averagedSpectrum(whiteNoise(8192, 1), 2, kRate, 1024);
    EXPECT_THROW(slopeDecibelsPerOctave(spectrum, 5000.0, 5100.0), std::invalid_argument);
}

} // namespace
} // namespace calmfield::testsupport
