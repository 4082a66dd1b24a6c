#include "tools/ColouredNoise.h"
#include "tools/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <stdexcept>

namespace calmfield::tools {
namespace {

std::vector<std::complex<double>> randomSignal(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::normal_distribution<double> normal;
    std::vector<std::complex<double>> signal(length);
    for (auto& value : signal)
        value = {normal(generator), normal(generator)};
    return signal;
}

TEST(Fft, MatchesTheDirectSumAndInvertsExactly) {
    const auto signal = randomSignal(64, 1);
    auto spectrum = signal;
    forwardFft(spectrum);
    for (std::size_t k = 0; k < signal.size(); ++k) {
        std::complex<double> direct;
        for (std::size_t n = 0; n < signal.size(); ++n)
            direct += signal[n] * std::polar(1.0, -2.0 * std::numbers::pi * double(k * n) / 64.0);
        EXPECT_NEAR(std::abs(spectrum[k] - direct), 0.0, 1e-9) << "bin " << k;
    }

    auto roundTrip = randomSignal(1 << 16, 2);
    const auto original = roundTrip;
    forwardFft(roundTrip);
    inverseFft(roundTrip);
    for (std::size_t n = 0; n < original.size(); ++n)
        ASSERT_NEAR(std::abs(roundTrip[n] - original[n]), 0.0, 1e-12) << "sample " << n;
}

TEST(Fft, RefusesLengthsThatAreNotPowersOfTwo) {
    std::vector<std::complex<double>> data(48);
    EXPECT_THROW(forwardFft(data), std::invalid_argument);
    data.clear();
    EXPECT_THROW(inverseFft(data), std::invalid_argument);
}

constexpr std::size_t kFrames = 1 << 16;
constexpr double kRate = 22050.0;

double magnitudeNear(const std::vector<double>& samples, double hz) {
    std::vector<std::complex<double>> spectrum(samples.begin(), samples.end());
    forwardFft(spectrum);
    return std::abs(spectrum[static_cast<std::size_t>(std::lround(hz * kFrames / kRate))]);
}

TEST(ColouredNoise, HoldsTheMagnitudeBelow20HzAndHasNoDc) {
    const auto brown = periodicColouredNoise(kFrames, kRate, NoiseColourShape{-6.0}, 5);
    EXPECT_NEAR(magnitudeNear(brown, 0.0), 0.0, 1e-6);
    EXPECT_NEAR(magnitudeNear(brown, 5.0) / magnitudeNear(brown, 15.0), 1.0, 1e-9);
    // Above the hold, -6 dB of power per octave halves the magnitude.
    EXPECT_NEAR(magnitudeNear(brown, 800.0) / magnitudeNear(brown, 1600.0), 2.0, 0.01);
}

TEST(ColouredNoise, IsReproducibleFromItsSeedAndScaledToUnitRms) {
    const auto first = periodicColouredNoise(kFrames, kRate, NoiseColourShape{-3.0}, 9);
    const auto again = periodicColouredNoise(kFrames, kRate, NoiseColourShape{-3.0}, 9);
    const auto other = periodicColouredNoise(kFrames, kRate, NoiseColourShape{-3.0}, 10);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    double power = 0.0;
    for (double sample : first)
        power += sample * sample;
    EXPECT_NEAR(power / kFrames, 1.0, 1e-9);
}

} // namespace
} // namespace calmfield::tools
