#include "player/MasterVolume.h"

#include <algorithm>
#include <cmath>

namespace calmfield::player {

std::uint32_t speakerVolumeForMasterPosition(int position) {
    constexpr double kFullVolume = 65535.0;
    // nearbyint rounds in the default mode: to the nearest, a half to the even neighbour.
    const double rounded = std::nearbyint(position * 1.99);
    return static_cast<std::uint32_t>(std::clamp(rounded, 0.0, kFullVolume));
}

} // namespace calmfield::player
