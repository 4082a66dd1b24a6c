#pragma once

#include "engine/ToneSection.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// The notch takes one octave out of the sound with a flat bottom and steep edges: at least its
// depth from a third of an octave below its centre to a third above, at least half its depth half
// an octave either side, and at most 3 dB three quarters of an octave away and beyond, with no
// ripple outside. It is an inverse Chebyshev band-stop of order 2 kNotchOrder, designed where the
// bilinear transform will put it, as kNotchOrder sections.
inline constexpr std::size_t kNotchOrder = 6;
using NotchSections = std::array<ToneSection, kNotchOrder>;
inline constexpr double kNotchHighestShare = 0.45;

// The notch centred at `centreHz`, `depthDb` deep, at `rate`. Where the upper quarter of its
// octave would lie above kNotchHighestShare of the rate, its lower half is kept as it is and its
// upper half is drawn in. Fixed-size arithmetic only, for the audio thread.
NotchSections notchSections(double centreHz, double depthDb, std::uint32_t rate) noexcept;

} // namespace calmfield::engine
