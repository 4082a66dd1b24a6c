#pragma once

#include <cstdint>

namespace calmfield::player {

// The speakers' volume (0 to 65535) for a master volume slider position (0 to 32750): the
// position times 1.99, rounded to the nearest whole number, a half going to the even one.
std::uint32_t speakerVolumeForMasterPosition(int position);

} // namespace calmfield::player
