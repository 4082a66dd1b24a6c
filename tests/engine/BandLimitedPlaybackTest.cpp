#include "BankFixture.h"
#include "engine/BandLimitedInterpolation.h"
#include "tests/support/SignalAnalysis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace calmfield {
namespace {

using engine::InstructionSet;

constexpr double kFileRate = 22050.0;

struct Playback {
    std::uint32_t outputRate;
    std::int32_t rate;
};

constexpr std::int32_t kVolume = -1200; // hundredths of a decibel, to stay clear of the limiter

// Sounds played at a rate into memory on either instruction set.
class BandLimitedPlayback
    : public testsupport::BankFixture,
      public ::testing::WithParamInterface<std::tuple<InstructionSet, Playback>> {
  protected:
    BandLimitedPlayback() : BankFixture(std::get<1>(GetParam()).outputRate) {
        engine::useInstructionSet(std::get<0>(GetParam()));
    }
    ~BandLimitedPlayback() override { engine::useInstructionSet(engine::bestInstructionSet()); }

    std::uint32_t outputRate() const { return std::get<1>(GetParam()).outputRate; }
    std::int32_t rate() const { return std::get<1>(GetParam()).rate; }
    double nyquist() const { return outputRate() / 2.0; }
    // The top of the sound's band as moved by the rate.
    double movedTop() const { return rate() / 2.0; }

    std::vector<float> play(const std::vector<std::int16_t>& sound, std::size_t frames) {
        auto& channel = load(0, sound);
        channel.setFrequency(rate());
        channel.setVolume(kVolume);
        channel.play();
        output.pull(outputRate() / 10);
        return output.pull(frames);
    }

    // The spectrum of white noise as played, and of the noise in its file, taken at the file's
    // own rate with the same resolution of the moved band.
    std::pair<testsupport::Spectrum, testsupport::Spectrum> whiteNoiseSpectra() {
        const auto noise = testsupport::randomStereo(1 << 18, 5);
        const double resolution = std::min(movedTop(), nyquist()) / 1024.0;
        const auto segment = std::bit_ceil(static_cast<std::size_t>(outputRate() / resolution));
        const auto fileSegment =
            std::bit_ceil(static_cast<std::size_t>(kFileRate / (resolution * kFileRate / rate())));
        std::vector<float> file(noise.begin(), noise.end());
        return {testsupport::averagedSpectrum(play(noise, segment * 48), 2, outputRate(), segment),
                testsupport::averagedSpectrum(file, 2, kFileRate, fileSegment)};
    }

    // The mean power between two frequencies, in decibels.
    static double bandDecibels(const testsupport::Spectrum& spectrum, double low, double high) {
        const auto first = static_cast<std::size_t>(std::ceil(low / spectrum.binWidthHz));
        const auto last = std::min(static_cast<std::size_t>(high / spectrum.binWidthHz),
                                   spectrum.power.size() - 1);
        const double sum =
            std::accumulate(spectrum.power.begin() + first, spectrum.power.begin() + last + 1, 0.0);
        return 10.0 * std::log10(sum / static_cast<double>(last + 1 - first));
    }
};

// Levels are taken against the band's low part, 500 to 1000 Hz moved by the rate, and the played
// spectrum against the file's own, moved by the rate.
TEST_P(BandLimitedPlayback, WhiteNoiseStaysFlatToNearTheTopWithoutImagesAbove) {
    const auto [played, file] = whiteNoiseSpectra();
    const double scale = rate() / kFileRate;
    const double reference = bandDecibels(played, 500.0 * scale, 1000.0 * scale);
    const double fileReference = bandDecibels(file, 500.0, 1000.0);
    const double flatTop = 0.9 * std::min(movedTop(), nyquist());
    const double width = flatTop / 18.0;
    for (double low = width; low + width <= flatTop * 1.0001; low += width) {
        const double moved = bandDecibels(played, low, low + width) - reference;
        const double own = bandDecibels(file, low / scale, (low + width) / scale) - fileReference;
        EXPECT_NEAR(moved, own, 0.5) << low << " Hz";
    }
    for (double low = 1.1 * movedTop(); low + width <= nyquist(); low += width)
        EXPECT_LT(bandDecibels(played, low, low + width) - reference, -60.0) << low << " Hz";
}

// A tone that the rate moves past the output's Nyquist frequency is removed, not folded back.
using BandLimitedNarrowing = BandLimitedPlayback;
TEST_P(BandLimitedNarrowing, ATonePastTheOutputsNyquistFrequencyIsRemoved) {
    const double tone = 0.9 * kFileRate / 2.0;
    ASSERT_GT(tone * rate() / kFileRate, 1.1 * nyquist());
    constexpr double kAmplitude = 8000.0;
    constexpr std::size_t kFrames = 1 << 16;
    const auto out = play(testsupport::sineStereo(kFrames, tone / kFileRate * kFrames, kAmplitude),
                          outputRate());
    const double passedLevel =
        20.0 * std::log10(kAmplitude / 32768.0 / std::sqrt(2.0)) + kVolume / 100.0;
    EXPECT_LT(testsupport::rmsDecibels(out), passedLevel - 60.0);
}

const auto kInstructionSets = ::testing::Values(InstructionSet::Baseline, InstructionSet::Avx2Fma);
INSTANTIATE_TEST_SUITE_P(
    , BandLimitedPlayback,
    ::testing::Combine(kInstructionSets,
                       ::testing::Values(Playback{44100, 22050}, Playback{44100, 1000},
                                         Playback{44100, 32767}, Playback{48000, 22050},
                                         Playback{48000, 1000}, Playback{48000, 32767},
                                         Playback{22050, 32767}, Playback{32000, 32767})));
// The narrowed kernel runs on the baseline instructions alone.
INSTANTIATE_TEST_SUITE_P(, BandLimitedNarrowing,
                         ::testing::Combine(::testing::Values(InstructionSet::Baseline),
                                            ::testing::Values(Playback{22050, 32767},
                                                              Playback{11025, 22050})));

} // namespace
} // namespace calmfield
