#pragma once

#include "engine/SoundBuffer.h"

#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// The instructions the interpolation and the tone run on: AVX2 with FMA where the processor has
// them, else those every x86-64 processor has.
enum class InstructionSet { Baseline, Avx2Fma };
InstructionSet bestInstructionSet() noexcept;
// The program keeps the best; tests and benchmarks may choose the baseline.
void useInstructionSet(InstructionSet set) noexcept;
InstructionSet usedInstructionSet() noexcept;

// Where a voice reads its sound, in 32.32 fixed-point frames of the sound.
struct SoundCursor {
    std::uint64_t position; // below loopEnd
    std::uint64_t step;     // how far one output frame moves it
    std::uint64_t loopEnd;  // the sound's length
};

// Adds `frames` stereo frames of `sound` read through a sinc kernel from the cursor on, times
// the gains, to the interleaved `out`, and moves the cursor past them, wrapping at the loop.
// `bandwidth`, in (0, 1], is the part of the sound's band that is kept: below 1 when the rate
// moves the band's top above the output's Nyquist frequency, where it would fold back. Nothing
// but the sound is read, so the same cursor always gives the same frames. Never blocks,
// allocates or locks.
void mixBandLimited(const SoundBuffer& sound, SoundCursor& cursor, float bandwidth, float leftGain,
                    float rightGain, float* out, std::size_t frames) noexcept;

// Adds the values halfway between the frames first .. first + count - 1 of a loop and their next
// frames, read through the long kernel, to the interleaved `out`. `padded` holds the loop with
// LongKernel::kFramesBefore of its last frames ahead and LongKernel::kFramesAfter of its first
// behind.
void addHalfwayFrames(const std::int16_t* padded, std::size_t first, std::size_t count,
                      float* out) noexcept;

} // namespace calmfield::engine
