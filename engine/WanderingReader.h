#pragma once

#include "engine/SoundBuffer.h"
#include "engine/SplitMix64.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace calmfield::engine {

// What a voice's wandering draws its places and lengths from: a seed, or none for a voice that
// loops straight through its sound.
using WanderSeed = std::optional<std::uint64_t>;
// A seed that differs from run to run.
WanderSeed seedFromClock();

// How long, in seconds of the sound's own time, a wandering reader stays in one place and takes
// to cross to the next.
struct WanderLengths {
    double shortestStretch = 8.0;
    double longestStretch = 20.0;
    double crossfade = 1.0;
};

// A sound this long or shorter, in seconds, loops straight; a longer one too short for the
// longest stretch and its crossfade wanders on all three lengths scaled down to fit it.
inline constexpr double kShortestWanderingSound = 6.0;

// Reads a sound for a voice so that it never repeats in the same order: it plays a stretch of
// random length, then crosses with an equal-power crossfade to a random place at least one
// crossfade away, both readings going through the band-limited resampler. No reading runs past
// the sound's end, so a recording that does not loop keeps its seam out of hearing. A sound
// shorter than the longest stretch and its crossfade wanders on lengths scaled down in proportion,
// so that it has no fixed period either; one of kShortestWanderingSound or less loops straight,
// as does every sound without a seed.
class WanderingReader {
  public:
    // How the sound is read at the current rates: the step between output frames in 32.32
    // fixed-point frames, and the part of the sound's band that is kept.
    struct Reading {
        std::uint64_t step;
        float bandwidth;
    };

    WanderingReader(const SoundBuffer& sound, WanderSeed seed, WanderLengths lengths = {});

    // Adds `frames` stereo frames, times the gains, to the interleaved `out`. Never blocks,
    // allocates or locks.
    void mix(float* out, std::size_t frames, const Reading& reading, float leftGain,
             float rightGain) noexcept;

    // Reads on from `position`, in 32.32 fixed-point frames below the sound's end; any crossfade
    // ends and a new stretch begins there.
    void moveTo(std::uint64_t position) noexcept;

    // Where the reading that is heard stands (the one faded in, during a crossfade).
    std::uint64_t position() const noexcept { return position_; }
    bool crossfading() const noexcept { return crossfading_; }

  private:
    // The fewest runs a crossfade is mixed in, each at its own pair of gains.
    static constexpr std::uint64_t kCrossfadeRuns = 256;
    void mixStraight(float* out, std::size_t frames, const Reading& reading, float leftGain,
                     float rightGain) noexcept;
    void mixCrossfade(float* out, std::size_t frames, const Reading& reading, float leftGain,
                      float rightGain) noexcept;
    void beginCrossfade() noexcept;
    std::uint64_t drawStretch() noexcept;

    const SoundBuffer& sound_;
    const std::uint64_t loopEnd_; // the sound's length in 32.32 fixed-point frames
    SplitMix64 random_;
    std::uint64_t shortestStretch_; // whole frames
    std::uint64_t longestStretch_;
    std::uint64_t crossfade_;
    bool wanders_;

    std::uint64_t position_ = 0;    // 32.32 fixed-point frame
    std::uint64_t stretchLeft_ = 0; // 32.32 frames to read before the next crossfade begins
    bool crossfading_ = false;
    std::uint64_t leaving_ = 0;       // the reading faded out
    std::uint64_t crossfadeDone_ = 0; // 32.32 frames into the crossfade
};

} // namespace calmfield::engine
