#include "tests/support/SignalAnalysis.h"

#include "tools/Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace calmfield::testsupport {
namespace {

constexpr double kSilenceDecibels = -200.0;

double decibels(double power) {
    return power > 0.0 ? 10.0 * std::log10(power) : kSilenceDecibels;
}

} // namespace

double rmsDecibels(const std::vector<float>& samples) {
    if (samples.empty())
        return kSilenceDecibels;
    double sum = 0.0;
    for (float sample : samples)
        sum += static_cast<double>(sample) * sample;
    return decibels(sum / static_cast<double>(samples.size()));
}

Spectrum averagedSpectrum(const std::vector<float>& interleaved, std::size_t channels,
                          double sampleRate, std::size_t segmentLength) {
    if (segmentLength < 2 || (segmentLength & (segmentLength - 1)) != 0)
        throw std::invalid_argument("the segment length must be a power of two");
    Spectrum spectrum;
    spectrum.binWidthHz = sampleRate / static_cast<double>(segmentLength);
    spectrum.power.assign(segmentLength / 2 + 1, 0.0);

    std::vector<double> window(segmentLength);
    for (std::size_t i = 0; i < segmentLength; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                         static_cast<double>(segmentLength));

    const std::size_t frames = channels == 0 ? 0 : interleaved.size() / channels;
    std::vector<std::complex<double>> segment(segmentLength);
    std::size_t segments = 0;
    for (std::size_t channel = 0; channel < channels; ++channel) {
        for (std::size_t start = 0; start + segmentLength <= frames; start += segmentLength / 2) {
            for (std::size_t i = 0; i < segmentLength; ++i)
                segment[i] = interleaved[(start + i) * channels + channel] * window[i];
            tools::forwardFft(segment);
            for (std::size_t bin = 0; bin < spectrum.power.size(); ++bin)
                spectrum.power[bin] += std::norm(segment[bin]);
            ++segments;
        }
    }
    if (segments > 0) {
        for (double& power : spectrum.power)
            power /= static_cast<double>(segments);
    }
    return spectrum;
}

double slopeDecibelsPerOctave(const Spectrum& spectrum, double lowHz, double highHz) {
    const double halfBand = std::pow(2.0, 1.0 / 6.0);
    std::vector<double> octaves;
    std::vector<double> levels;
    for (double centre = lowHz; centre <= highHz * 1.0001; centre *= std::pow(2.0, 1.0 / 3.0)) {
        const auto first =
            static_cast<std::size_t>(std::ceil(centre / halfBand / spectrum.binWidthHz));
        const auto last =
            std::min(spectrum.power.size() - 1,
                     static_cast<std::size_t>(centre * halfBand / spectrum.binWidthHz));
        if (first == 0 || first > last)
            continue;
        double sum = 0.0;
        for (std::size_t bin = first; bin <= last; ++bin)
            sum += spectrum.power[bin];
        octaves.push_back(std::log2(centre));
        levels.push_back(decibels(sum / static_cast<double>(last - first + 1)));
    }
    if (octaves.size() < 2)
        throw std::invalid_argument("too few frequency bands between the limits");

    const auto count = static_cast<double>(octaves.size());
    double meanOctave = 0.0;
    double meanLevel = 0.0;
    for (std::size_t i = 0; i < octaves.size(); ++i) {
        meanOctave += octaves[i] / count;
        meanLevel += levels[i] / count;
    }
    double covariance = 0.0;
    double variance = 0.0;
    for (std::size_t i = 0; i < octaves.size(); ++i) {
        covariance += (octaves[i] - meanOctave) * (levels[i] - meanLevel);
        variance += (octaves[i] - meanOctave) * (octaves[i] - meanOctave);
    }
    return covariance / variance;
}

double strongestFrequency(const Spectrum& spectrum) {
    if (spectrum.power.size() < 3)
        return 0.0;
    const auto peak = static_cast<std::size_t>(
        std::max_element(spectrum.power.begin() + 1, spectrum.power.end() - 1) -
        spectrum.power.begin());
    // A parabola through the logarithms of the peak and its neighbours.
    const double before = std::log(spectrum.power[peak - 1] + 1e-300);
    const double at = std::log(spectrum.power[peak] + 1e-300);
    const double after = std::log(spectrum.power[peak + 1] + 1e-300);
    const double curvature = before - 2.0 * at + after;
    const double offset = curvature < 0.0 ? 0.5 * (before - after) / curvature : 0.0;
    return (static_cast<double>(peak) + offset) * spectrum.binWidthHz;
}

} // namespace calmfield::testsupport
