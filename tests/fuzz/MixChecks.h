#pragma once

#include "persistence/Mix.h"
#include "tests/fuzz/FuzzSupport.h"

namespace calmfield::fuzzing {

inline bool within(int value, int lowest, int highest) {
    return value >= lowest && value <= highest;
}

// A mix that was read only holds values its controls can show.
inline void requireShownByControls(const persistence::Mix& mix) {
    for (std::size_t colour = 0; colour < mix.toggles.size(); ++colour) {
        require(within(mix.toggles[colour], persistence::kOff, persistence::kGreyed),
                "a toggle read is one its check box shows");
        require(
            within(mix.volumes[colour], persistence::Mix::kQuietest, persistence::Mix::kLoudest),
            "a volume read is one its slider takes");
        require(within(mix.frequencies[colour], persistence::Mix::kLowestFrequency,
                       persistence::Mix::kHighestFrequency),
                "a frequency read is one its slider takes");
    }
}

inline QString qtPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace calmfield::fuzzing
