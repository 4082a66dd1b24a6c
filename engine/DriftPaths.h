#pragma once

#include "engine/DriftSetting.h"
#include "engine/NoiseColours.h"
#include "engine/SplitMix64.h"

#include <array>
#include <cstdint>

namespace calmfield::engine {

// Each colour's drift: how far its level lies below the level the user set, in decibels, moving
// on a path of its own. A path's speed wanders at random and is kept within the speed's fastest
// rate, so that the level glides and turns rather than swinging between fixed points; as the
// random source never repeats, neither does the path. The paths are stepped on a fixed grid of
// kStepSeconds, so that the same seed gives the same paths however the sound is asked for.
//
// With two or more colours in the mix, a colour about to take the mix's power more than half the
// depth below the mix without drift turns back up instead, so that masking never drops further.
// Nothing here blocks or allocates.
class DriftPaths {
  public:
    static constexpr double kStepSeconds = 1.0 / 16.0;
    using PerColour = std::array<double, kColourCount>;

    // Every colour at the level the user set, drift off.
    DriftPaths() noexcept;

    // Takes a new setting. A new seed, or drift turned on, starts new paths from where the levels
    // stand. Levels that must move (drift off, or below a shallower depth) glide there at the
    // fastest rate.
    void setSetting(const DriftSetting& setting) noexcept;

    // Moves every path one step on. `powers` is each colour's power in the mix as set, zero for a
    // colour that does not play.
    void step(const PerColour& powers) noexcept;

    // Each colour's drift now, 0 or below.
    const PerColour& levelsDb() const noexcept { return levels_; }

  private:
    void startPaths() noexcept;
    double speedLimit() const noexcept { return fastestDbPerSecond(setting_.speed); }
    // The mix's power with the levels at `levels`, as a share of its power without drift.
    static double keptShare(const PerColour& powers, const PerColour& levels) noexcept;

    DriftSetting setting_{};
    PerColour levels_{};
    PerColour velocities_{}; // dB a second
    std::array<SplitMix64, kColourCount> random_;
};

} // namespace calmfield::engine
