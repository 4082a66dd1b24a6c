#include "tests/tools/NoiseMeasures.h"

#include "tests/support/SignalAnalysis.h"
#include "tools/Fft.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

namespace calmfield::tools::measures {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

constexpr double kFullScale = 32768.0;
constexpr std::size_t kSeamWindow = 32;
constexpr double kSeamRankLimit = 0.999;

double highFrequencyEnergy(const std::vector<double>& samples, std::size_t start,
                           std::size_t length) {
    const std::size_t n = samples.size();
    double energy = 0.0;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        const double step = samples[(start + i + 1) % n] - samples[(start + i) % n];
        energy += step * step;
    }
    return energy;
}

} // namespace

std::optional<StereoSound> readStereoSound(const std::filesystem::path& path) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels != 2 || info.frames <= 0)
        return std::nullopt;
    std::vector<short> interleaved(static_cast<std::size_t>(info.frames) * 2);
    if (sf_readf_short(file.get(), interleaved.data(), info.frames) != info.frames)
        return std::nullopt;
    StereoSound sound;
    sound.sampleRate = info.samplerate;
    sound.format = info.format;
    const auto frames = static_cast<std::size_t>(info.frames);
    sound.left.resize(frames);
    sound.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        sound.left[i] = interleaved[2 * i] / kFullScale;
        sound.right[i] = interleaved[2 * i + 1] / kFullScale;
    }
    return sound;
}

double rmsDbfs(const std::vector<double>& samples) {
    double power = 0.0;
    for (double sample : samples)
        power += sample * sample;
    return 10.0 * std::log10(power / static_cast<double>(samples.size()));
}

double peakAbs(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double sample : samples)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double count = static_cast<double>(a.size());
    double meanA = 0.0, meanB = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        meanA += a[i];
        meanB += b[i];
    }
    meanA /= count;
    meanB /= count;
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - meanA) * (b[i] - meanB);
        aa += (a[i] - meanA) * (a[i] - meanA);
        bb += (b[i] - meanB) * (b[i] - meanB);
    }
    return ab / std::sqrt(aa * bb);
}

std::vector<double> welchPowerSpectrum(const std::vector<double>& samples, std::size_t segment) {
    std::vector<double> window(segment);
    for (std::size_t i = 0; i < segment; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                         static_cast<double>(segment));
    std::vector<double> power(segment / 2 + 1, 0.0);
    std::vector<std::complex<double>> buffer(segment);
    const std::size_t hop = segment / 2;
    std::size_t segments = 0;
    for (std::size_t start = 0; start < samples.size(); start += hop, ++segments) {
        for (std::size_t i = 0; i < segment; ++i)
            buffer[i] = samples[(start + i) % samples.size()] * window[i];
        forwardFft(buffer);
        for (std::size_t k = 0; k < power.size(); ++k)
            power[k] += std::norm(buffer[k]);
    }
    for (auto& value : power)
        value /= static_cast<double>(segments);
    return power;
}

double spectralSlopeDbPerOctave(const std::vector<double>& samples, double sampleRate, double lowHz,
                                double highHz) {
    constexpr std::size_t kSegment = 8192;
    const testsupport::Spectrum spectrum{sampleRate / kSegment,
                                         welchPowerSpectrum(samples, kSegment)};
    return testsupport::slopeDecibelsPerOctave(spectrum, lowHz, highHz);
}

SeamRanks seamRanks(const std::vector<double>& samples) {
    const std::size_t n = samples.size();
    const double wrapStep = std::abs(samples.front() - samples.back());
    std::size_t smallerSteps = 0;
    for (std::size_t i = 0; i + 1 < n; ++i)
        smallerSteps += std::abs(samples[i + 1] - samples[i]) < wrapStep;

    // The window across the wrap starts half a window before the end; the others tile the rest.
    const std::size_t half = kSeamWindow / 2;
    const double wrapEnergy = highFrequencyEnergy(samples, n - half, kSeamWindow);
    std::size_t windows = 0;
    std::size_t quieterWindows = 0;
    for (std::size_t start = half; start + kSeamWindow <= n - half; start += kSeamWindow) {
        ++windows;
        quieterWindows += highFrequencyEnergy(samples, start, kSeamWindow) < wrapEnergy;
    }
    return {static_cast<double>(smallerSteps) / static_cast<double>(n - 1),
            static_cast<double>(quieterWindows) / static_cast<double>(windows)};
}

bool seamLooksSeamless(const std::vector<double>& samples) {
    const SeamRanks ranks = seamRanks(samples);
    return ranks.step <= kSeamRankLimit && ranks.window <= kSeamRankLimit;
}

} // namespace calmfield::tools::measures
