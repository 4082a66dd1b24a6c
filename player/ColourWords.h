#pragma once

#include "engine/NoiseColours.h"

#include <array>
#include <string_view>

namespace calmfield::player {

// Each colour as people read it, in the media controls' titles and in messages.
inline constexpr std::array<std::string_view, engine::kColourCount> kColourWords{
    "Brown Noise", "Pink Noise", "White Noise", "Blue Noise", "Purple Noise"};

// The picture shown for each colour: a stored name, appended to the program's folder.
inline constexpr std::array<std::string_view, engine::kColourCount> kColourPictures{
    "\\brown_noise.jpg", "\\pink_noise.jpg", "\\White_noise.jpg", "\\Blue_noise.jpg",
    "\\violet.jpg"};

} // namespace calmfield::player
