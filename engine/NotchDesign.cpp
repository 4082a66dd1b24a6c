#include "engine/NotchDesign.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace calmfield::engine {
namespace {

using Complex = std::complex<double>;

// The attenuation asked for where the passband ends, three quarters of an octave from the centre:
// below the 3 dB allowed, so that the warping may move the edges a little.
constexpr double kPassbandEdgeDb = 2.0;
// The stop band lies this far below the depth, so that rounding never leaves it short.
constexpr double kDepthMarginDb = 0.5;

double warped(double hz, std::uint32_t rate) {
    return std::tan(std::numbers::pi * hz / rate);
}

// A section whose poles are `pole` and its conjugate and whose zeros lie on the frequency axis at
// ±j `zero`, all on the warped scale.
ToneSection section(Complex pole, double zero) {
    const double g = std::abs(pole);
    const double k = -2.0 * pole.real() / g;
    return {g, k, -k, (zero / g) * (zero / g)};
}

} // namespace

// An inverse Chebyshev low-pass prototype whose passband ends at 1, turned into a band-stop by
// s -> width s / (s^2 + centre^2) on the warped scale, where the bilinear transform maps it
// exactly. Each prototype pole becomes two band-stop poles, each prototype zero two zeros.
NotchSections notchSections(double centreHz, double depthDb, std::uint32_t rate) noexcept {
    const auto w = [rate](double hz) { return warped(hz, rate); };
    const bool whole = centreHz * std::exp2(0.75) <= kNotchHighestShare * rate;
    const double lowerEdge = w(centreHz * std::exp2(-0.75));
    // Drawn in, the upper half mirrors the lower one about the warped centre.
    const double centre =
        whole ? std::sqrt(lowerEdge * w(centreHz * std::exp2(0.75))) : w(centreHz);
    const double width = centre * centre / lowerEdge - lowerEdge;
    // Where a warped frequency lies on the prototype's scale, and the nearer to the passband of
    // the two frequencies `octaves` either side of the centre.
    const auto onPrototype = [&](double warpedHz) {
        return width * warpedHz / std::abs(centre * centre - warpedHz * warpedHz);
    };
    const auto nearer = [&](double octaves) {
        const double below = onPrototype(w(centreHz * std::exp2(-octaves)));
        return whole ? std::min(below, onPrototype(w(centreHz * std::exp2(octaves)))) : below;
    };

    constexpr auto kOrder = static_cast<double>(kNotchOrder);
    const double epsilon = 1.0 / std::sqrt(std::pow(10.0, (depthDb + kDepthMarginDb) / 10.0) - 1.0);
    // The stop band starts as near the passband as the passband's edge allows; no further out
    // than a third of an octave from the centre, nor than leaves half the depth and a decibel half
    // an octave from it.
    const auto reach = [&](double attenuationDb) {
        const double slope = std::sqrt(std::pow(10.0, attenuationDb / 10.0) - 1.0);
        return std::cosh(std::acosh(std::max(1.0, 1.0 / (epsilon * slope))) / kOrder);
    };
    const double stopEdge = std::min(
        {reach(kPassbandEdgeDb), nearer(1.0 / 3.0), nearer(0.5) * reach(depthDb / 2.0 + 1.0)});

    NotchSections sections{};
    const double spread = std::asinh(1.0 / epsilon) / kOrder;
    for (std::size_t n = 0; n < kNotchOrder / 2; ++n) {
        const double angle = std::numbers::pi * static_cast<double>(2 * n + 1) / (2.0 * kOrder);
        const Complex pole = stopEdge / Complex(-std::sinh(spread) * std::sin(angle),
                                                std::cosh(spread) * std::cos(angle));
        const double zero = stopEdge / std::cos(angle);
        const Complex half = width / pole / 2.0;
        const Complex root = std::sqrt(half * half - centre * centre);
        Complex low = half + root;
        Complex high = half - root;
        if (std::abs(low) > std::abs(high))
            std::swap(low, high);
        const double zeroOffset = width / zero;
        const double highZero =
            (zeroOffset + std::sqrt(zeroOffset * zeroOffset + 4.0 * centre * centre)) / 2.0;
        sections[2 * n] = section(low, centre * centre / highZero);
        sections[2 * n + 1] = section(high, highZero);
    }
    if constexpr (kNotchOrder % 2 == 1) {
        // The prototype's real pole, -stopEdge / sinh(spread), becomes a notch at the centre.
        const double damping = width * std::sinh(spread) / (stopEdge * centre);
        sections[kNotchOrder - 1] = {centre, damping, -damping, 1.0};
    }
    return sections;
}

} // namespace calmfield::engine
