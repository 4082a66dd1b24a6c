#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

// Measurements of the generated noise loops, as a listener would judge them.
namespace calmfield::tools::measures {

struct StereoSound {
    int sampleRate = 0;
    int format = 0;           // libsndfile format word
    std::vector<double> left; // samples as fractions of full scale
    std::vector<double> right;
};

std::optional<StereoSound> readStereoSound(const std::filesystem::path& path);

double rmsDbfs(const std::vector<double>& samples);
double peakAbs(const std::vector<double>& samples);
double correlation(const std::vector<double>& a, const std::vector<double>& b);

// Welch-averaged power spectrum of a looping sound: Hann-windowed segments of `segment` samples
// (a power of two), overlapping by half, read round the loop. Bin k is k * rate / segment.
std::vector<double> welchPowerSpectrum(const std::vector<double>& samples, std::size_t segment);

// Least-squares slope, in dB per octave, of the mean power in third-octave bands centred from
// `lowHz` to `highHz`.
double spectralSlopeDbPerOctave(const std::vector<double>& samples, double sampleRate, double lowHz,
                                double highHz);

// How the wrap from the last sample to the first compares with the rest of the sound: the share
// of ordinary steps smaller than the wrap step, and the share of ordinary short windows with less
// high-frequency energy than the window spanning the wrap.
struct SeamRanks {
    double step;
    double window;
};
SeamRanks seamRanks(const std::vector<double>& samples);

// True when neither the wrap step nor the window across it stands out from the rest of the sound
// (neither ranks above the 99.9th percentile).
bool seamLooksSeamless(const std::vector<double>& samples);

} // namespace calmfield::tools::measures
