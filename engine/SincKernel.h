#pragma once

#include <array>
#include <cstddef>

namespace calmfield::engine {

// The kernels are tabulated at kPhases steps per frame and interpolated linearly between them.
inline constexpr unsigned kPhaseBits = 8;
inline constexpr std::size_t kPhases = std::size_t{1} << kPhaseBits;

// A sinc windowed by a Kaiser window over Taps frames, that reads a sound between its frames.
// With two parities, it reads a sound whose odd frames are stored at half their value.
template <std::size_t Taps, std::size_t Parities> struct SincKernel {
    static constexpr std::size_t kTaps = Taps;
    static constexpr std::size_t kParities = Parities;
    static constexpr std::size_t kHalfWidth = Taps / 2;
    // The frames read before and after frame i for a position between frames i and i+1.
    static constexpr std::size_t kFramesBefore = kHalfWidth - 1;
    static constexpr std::size_t kFramesAfter = kHalfWidth;

    // For the parity of frame i-kFramesBefore and each phase p, the weights of the frames
    // i-kFramesBefore .. i+kFramesAfter at the position i + p / kPhases, each twice, for a left
    // and a right sample.
    using Row = std::array<float, 2 * Taps>;
    alignas(32) std::array<std::array<Row, kPhases + 1>, Parities> stereoRows;
    // The kernel at 0, 1/kPhases, 2/kPhases ... frames from its centre, and zero past its end.
    std::array<float, kHalfWidth * kPhases + 2> shape;
};

// The long kernel that doubles a sound's rate when it is loaded: flat within 0.01 dB up to 0.9 of
// the sound's Nyquist frequency and more than 60 dB down from 1.1 of it. Stretched, it also keeps
// a sound below the output's Nyquist frequency when the rate would move it above.
using LongKernel = SincKernel<40, 1>;
// The short kernel that plays the doubled sound at any rate: as flat, and more than 60 dB down
// where the images of the doubled sound's band begin. The doubled sound's halfway frames are
// stored at half their value, so that they have room for peaks above the sound's own.
using ShortKernel = SincKernel<12, 2>;

// Both made once when the program starts.
const LongKernel& longKernel() noexcept;
const ShortKernel& shortKernel() noexcept;

} // namespace calmfield::engine
