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
    std::string_view soundFile; // stored name, appended to the program's folder
};

inline constexpr std::array<NoiseColour, kColourCount> kNoiseColours{{
    {"brown", "\\Brown_Noise.Wav"},
    {"pink", "\\Pink_Noise.Wav"},
    {"white", "\\White_Noise.Wav"},
    {"blue", "\\Blue_Noise.Wav"},
    {"purple", "\\violet.Wav "},
}};

} // namespace calmfield::engine
