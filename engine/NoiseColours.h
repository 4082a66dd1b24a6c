#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace calmfield::engine {

inline constexpr int kColourCount = 5;

// Where a colour (0 for brown to 4 for purple) stands in a list of five.
constexpr std::size_t index(int colour) {
    return static_cast<std::size_t>(colour);
}

// The sound files the build makes (tools/make_noise_files) hold their power spectrum level below
// this, at their own rate.
inline constexpr double kSpectrumLevelBelowHz = 20.0;

// One noise colour; every list of five in the program runs brown, pink, white, blue, purple.
struct NoiseColour {
    std::string_view name;
    std::string_view soundFile; // stored name, appended to the program's folder
    // How much the power of the sound file's spectrum rises each octave.
    double spectrumSlopeDbPerOctave;
};

inline constexpr std::array<NoiseColour, kColourCount> kNoiseColours{{
    {"brown", "\\Brown_Noise.Wav", -6.0},
    {"pink", "\\Pink_Noise.Wav", -3.0},
    {"white", "\\White_Noise.Wav", 0.0},
    {"blue", "\\Blue_Noise.Wav", 3.0},
    {"purple", "\\violet.Wav ", 6.0},
}};

} // namespace calmfield::engine
