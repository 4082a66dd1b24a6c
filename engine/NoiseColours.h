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

// One noise colour; every list of five in the program runs brown, pink, white, blue, purple.
struct NoiseColour {
    std::string_view name;
    std::string_view toggleCaption; // a whole literal, so its data() ends in a null
    std::string_view soundFile;     // stored name, appended to the program's folder
    std::string_view pictureFile;   // stored name, appended to the program's folder
};

inline constexpr std::array<NoiseColour, kColourCount> kNoiseColours{{
    {"brown", "Brown Noise", "\\Brown_Noise.Wav", "\\brown_noise.jpg"},
    {"pink", "Pink Noise", "\\Pink_Noise.Wav", "\\pink_noise.jpg"},
    {"white", "White Noise", "\\White_Noise.Wav", "\\White_noise.jpg"},
    {"blue", "Blue Noise", "\\Blue_Noise.Wav", "\\Blue_noise.jpg"},
    {"purple", "Purple Noise", "\\violet.Wav ", "\\violet.jpg"},
}};

} // namespace calmfield::engine
