// Writes the five looping noise sounds, brown to purple, into the program's folder.
// Usage: make_noise_files <folder>

#include "engine/NoiseColours.h"
#include "tools/ColouredNoise.h"
#include "tools/StereoWavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using calmfield::tools::NoiseColourShape;

constexpr int kSampleRate = 22050;
constexpr std::size_t kFrames = std::size_t{1} << 20; // 47.6 s
constexpr double kTargetRmsDbfs = -20.0;
constexpr double kFullScale = 32768.0;

struct NoiseFile {
    const char* name;
    int colour; // whose spectrum it has
    std::uint64_t leftSeed;
    std::uint64_t rightSeed;
};

// Fixed seeds keep the build reproducible; each channel has its own, so left and right are
// independent.
constexpr NoiseFile kNoiseFiles[] = {
    {"Brown_Noise.Wav", 0, 1101, 1102}, {"Pink_Noise.Wav", 1, 2201, 2202},
    {"White_Noise.Wav", 2, 3301, 3302}, {"Blue_Noise.Wav", 3, 4401, 4402},
    {"violet.Wav", 4, 5501, 5502},
};

// The spectrum the program reckons the tone's headroom on.
NoiseColourShape shapeOf(int colour) {
    return {
        calmfield::engine::kNoiseColours[calmfield::engine::index(colour)].spectrumSlopeDbPerOctave,
        calmfield::engine::kSpectrumLevelBelowHz};
}

double peakOf(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double sample : samples)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

// Both channels have an RMS of 1; `gain` brings them to the target level.
std::vector<std::int16_t> interleavePcm16(const std::vector<double>& left,
                                          const std::vector<double>& right, double gain) {
    std::vector<std::int16_t> interleaved(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        interleaved[2 * i] = static_cast<std::int16_t>(std::lround(left[i] * gain));
        interleaved[2 * i + 1] = static_cast<std::int16_t>(std::lround(right[i] * gain));
    }
    return interleaved;
}

bool writeNoiseFile(const NoiseFile& file, const std::filesystem::path& folder) {
    using calmfield::tools::periodicColouredNoise;
    const auto left =
        periodicColouredNoise(kFrames, kSampleRate, shapeOf(file.colour), file.leftSeed);
    const auto right =
        periodicColouredNoise(kFrames, kSampleRate, shapeOf(file.colour), file.rightSeed);

    const double gain = kFullScale * std::pow(10.0, kTargetRmsDbfs / 20.0);
    const double peak = std::max(peakOf(left), peakOf(right)) * gain;
    if (peak > 32767.0) {
        std::fprintf(stderr, "make_noise_files: %s would clip (peak %.0f)\n", file.name, peak);
        return false;
    }
    const auto error = calmfield::tools::writeStereoPcm16Wav(
        folder / file.name, interleavePcm16(left, right, gain), kSampleRate);
    if (!error.empty()) {
        std::fprintf(stderr, "make_noise_files: %s\n", error.c_str());
        return false;
    }
    std::printf("%s: peak %.1f dBFS\n", file.name, 20.0 * std::log10(peak / kFullScale));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_noise_files <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_noise_files: %s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    bool allWritten = true;
    for (const auto& file : kNoiseFiles)
        allWritten = writeNoiseFile(file, folder) && allWritten;
    return allWritten ? 0 : 1;
}
