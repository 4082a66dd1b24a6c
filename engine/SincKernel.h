#pragma once

#include <array>
#include <cstddef>

namespace calmfield::engine {

// The kernel that reads a sound between its frames: a sinc windowed by a Kaiser window over
// kKernelTaps frames. At full band its response is flat within 0.01 dB up to 0.9 of the sound's
// Nyquist frequency and more than 60 dB down from 1.1 of it, so that what is heard at any rate is
// the sound's own band moved by the rate, without images.
inline constexpr std::size_t kKernelTaps = 40;
inline constexpr std::size_t kKernelHalfWidth = kKernelTaps / 2;
// The frames read before and after frame i for a position between frames i and i+1.
inline constexpr std::size_t kFramesBefore = kKernelHalfWidth - 1;
inline constexpr std::size_t kFramesAfter = kKernelHalfWidth;

// The kernel is tabulated at kPhases steps per frame and interpolated linearly between them.
inline constexpr unsigned kPhaseBits = 8;
inline constexpr std::size_t kPhases = std::size_t{1} << kPhaseBits;

struct SincKernel {
    // For each phase p, the weights of the frames i-kFramesBefore .. i+kFramesAfter at the
    // position i + p / kPhases, each twice, for a left and a right sample.
    alignas(32) std::array<std::array<float, 2 * kKernelTaps>, kPhases + 1> stereoRows;
    // The kernel at 0, 1/kPhases, 2/kPhases ... frames from its centre, and zero past its end.
    std::array<float, kKernelHalfWidth * kPhases + 2> shape;
};

// Made once when the program starts.
const SincKernel& sincKernel() noexcept;

} // namespace calmfield::engine
