#include "engine/PeakLimiter.h"
#include "BankFixture.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace calmfield {
namespace {

using engine::PeakLimiter;

// The ceiling, give or take rounding.
constexpr float kHighest = PeakLimiter::kCeiling * (1.0f + 1e-6f);

// Limits `in` in blocks of `block` frames at `rate`, the way a sound output asks for it.
std::vector<float> limited(PeakLimiter& limiter, std::vector<float> in, std::uint32_t rate,
                           std::size_t block = 441) {
    for (std::size_t at = 0; at < in.size() / 2; at += block)
        limiter.process(in.data() + 2 * at, std::min(block, in.size() / 2 - at), rate);
    return in;
}

float peakOf(const std::vector<float>& samples) {
    return std::abs(std::ranges::max(samples, {}, [](float sample) { return std::abs(sample); }));
}

TEST(PeakLimiter, WhatStaysUnderTheCeilingComesOutUnchangedAfterTheLookAhead) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-0.89f, 0.89f);
    std::vector<float> in(2 * 20000);
    std::generate(in.begin(), in.end(), [&] { return value(random); });
    PeakLimiter limiter;
    const auto out = limited(limiter, in, 44100, 333);
    const std::size_t delay = 2 * PeakLimiter::lookAheadFrames(44100);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + delay), std::vector<float>(delay));
    EXPECT_TRUE(std::equal(in.begin(), in.end() - delay, out.begin() + delay));
}

TEST(PeakLimiter, ABurstGlidesUnderTheCeilingAndTheGainRecoversToExactlyOne) {
    constexpr std::uint32_t rate = 48000;
    const std::size_t frames = 3 * rate / 2;
    std::vector<float> in(2 * frames, 0.5f); // steady, with two tenths of a second 8 times too loud
    for (std::size_t start : {4800, 57600})
        std::fill_n(in.begin() + 2 * start, 2 * 4800, 4.0f);
    PeakLimiter limiter;
    const auto out = limited(limiter, in, rate);
    EXPECT_LE(peakOf(out), kHighest);

    const std::size_t delay = PeakLimiter::lookAheadFrames(rate);
    const float largestStep = 1.0f / static_cast<float>(delay + 1);
    float previous = 1.0f;
    for (std::size_t n = delay; n < frames; ++n) {
        const float gain = out[2 * n] / in[2 * (n - delay)];
        ASSERT_LE(std::abs(gain - previous), largestStep) << "frame " << n;
        previous = gain;
    }
    // Back to exactly the original level from 0.8 s after the first burst until the second.
    const std::size_t recovered = 2 * (rate + delay);
    EXPECT_TRUE(std::equal(out.begin() + recovered, out.begin() + 2 * 57600,
                           in.begin() + recovered - 2 * delay));
}

TEST(PeakLimiter, RateChangesNeitherStepTheGainNorLetAPeakThrough) {
    // Twice too loud at first, then recovering from there at other rates.
    PeakLimiter steady;
    std::vector<float> out = limited(steady, std::vector<float>(2 * 1000, 2.0f), 44100);
    for (std::uint32_t rate : {48000u, 22050u, 384000u, 8000u, 96000u}) {
        const auto more = limited(steady, std::vector<float>(2 * 1000, 1.0f), rate);
        out.insert(out.end(), more.begin(), more.end());
    }
    const std::size_t delay = 2 * PeakLimiter::lookAheadFrames(44100);
    for (std::size_t i = delay; i < 2 * 1000; ++i)
        ASSERT_NEAR(out[i], PeakLimiter::kCeiling, 1e-6) << "sample " << i;
    for (std::size_t i = 2 * 2000; i < out.size(); ++i) {
        ASSERT_LE(out[i], kHighest) << "sample " << i;
        ASSERT_GE(out[i], out[i - 1]) << "sample " << i;
        ASSERT_LE(out[i] - out[i - 1], 0.005f) << "sample " << i;
    }

    std::mt19937 random(5);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    PeakLimiter bursts;
    for (std::uint32_t rate : {22050u, 48000u, 44100u, 384000u, 96000u, 8000u, 48000u}) {
        std::vector<float> in(2 * 3000, 0.0f);
        for (std::size_t i = 0; i < in.size(); i += 97) // scattered peaks up to 3 times full scale
            in[i] = value(random);
        ASSERT_LE(peakOf(limited(bursts, in, rate, 256)), kHighest) << rate;
    }
}

using FullScaleMix = testsupport::BankFixture;

TEST_F(FullScaleMix, FiveInPhaseFullScaleChannelsAtDifferentRatesStayUnderTheCeiling) {
    const int rates[] = {22050, 32000, 11025, 44100, 30000};
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        load(colour, testsupport::sineStereo(2205, 50.0, 32767.0)).setFrequency(rates[colour]);
    for (int colour = 0; colour < engine::kColourCount; ++colour)
        bank.channel(colour)->play();
    EXPECT_LE(peakOf(output.pull(44100)), kHighest);
    output.setSampleRate(48000);
    EXPECT_LE(peakOf(output.pull(48000)), kHighest);
}

} // namespace
} // namespace calmfield
