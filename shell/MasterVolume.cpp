#include "shell/MasterVolume.h"

#include "platform/SystemMixer.h"

#include <algorithm>
#include <cmath>

namespace calmfield::shell {

std::uint32_t speakerVolumeForMasterPosition(int position) {
    const double product = position * 1.99;
    double rounded = std::round(product); // halves away from zero
    if (std::fabs(product - std::trunc(product)) == 0.5)
        rounded = 2.0 * std::round(product / 2.0);
    const double full = platform::SystemMixer::kFullVolume;
    return static_cast<std::uint32_t>(std::clamp(rounded, 0.0, full));
}

} // namespace calmfield::shell
