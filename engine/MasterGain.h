#pragma once

#include "engine/LatestValue.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace calmfield::engine {

// One gain over the whole mix, after the channels, made of four parts that are each ramped on
// their own: the user-interface thread asks for a ramp of one part towards a target, and the
// audio thread follows it sample by sample, so that its course is fixed in rendered frames however
// the output asks for them. The gain is the pause's part times the lowest of the others: a rise
// from silence and a fade to silence that overlap give at every moment the lower of the two, and
// a pause takes down whatever they give.
class MasterGain {
  public:
    enum class Part : std::uint8_t {
        // A pause and its end.
        Pause,
        // The sound rising from silence when it begins of itself (the startup mix, the sound
        // after the computer wakes, a render's beginning), and falling silent before the computer
        // sleeps.
        Rise,
        // The sleep timer's fade and its calling off, and a render's end.
        Fade,
        // A routine's rise at its start and fall before its end.
        Routine,
    };
    static constexpr std::size_t kPartCount = 4;

    enum class Shape : std::uint8_t {
        // Even steps of amplitude.
        Linear,
        // Even steps of loudness: linear in decibels, with kFloorDb standing for silence. A ramp to
        // silence reaches kFloorDb kTail before its end (half way, when it is shorter than twice
        // that) and falls linearly from there; a ramp from silence starts at kFloorDb.
        Decibels,
    };
    static constexpr double kFloorDb = -60.0;
    static constexpr std::chrono::milliseconds kTail{1000};
    // The longest ramp; a longer one is cut to it.
    static constexpr std::chrono::milliseconds kLongest{(1 << 24) - 1};

    struct Ramp {
        float target; // 0 (silence) to 1 (the mix as the channels make it)
        std::chrono::milliseconds length;
        Shape shape;
        // The gain the part begins from, 0 to 1, rather than the one it has reached.
        std::optional<float> from = std::nullopt;
    };

    // The gain a ramp begun at `from` reaches `elapsed` into it, as apply() follows it: where a
    // fade stands at a given moment, for one that is to take it up again from there.
    static double levelAt(const Ramp& ramp, double from,
                          std::chrono::milliseconds elapsed) noexcept;

    // From the user-interface thread: replaces whatever ramp of `part` runs by one from the gain
    // the part has reached, or from the ramp's own beginning. Never blocks.
    void rampTo(Part part, const Ramp& ramp) noexcept;

    // On the audio thread: applies the gain to `frames` interleaved stereo frames at `rate`, in
    // place. Never blocks, allocates or locks.
    void apply(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept;

    // On the audio thread: the last `frames` applied are to be applied again, as the output
    // renders them anew; every ramp steps back by as much, but not before its beginning.
    void rewind(std::size_t frames) noexcept;

    // On the audio thread: true when the gain is silence and no ramp is asked for that would
    // bring the sound back.
    bool silent() const noexcept;

  private:
    // One part's ramp, as the audio thread follows it: a stretch of constant ratios, then one of
    // constant steps. The counts are what is left of each; the totals and the starting gain allow
    // a rewind.
    class Follower {
      public:
        void begin(const Ramp& ramp, std::uint32_t rate) noexcept;
        // The gain `frames` into the ramp, as step() reaches it.
        double gainAfter(std::uint64_t frames) const noexcept;
        void rewind(std::size_t frames) noexcept;
        void step() noexcept;
        bool moves() const noexcept { return ratioFrames_ > 0 || stepFrames_ > 0; }
        void settle() noexcept { gain_ = target_; }
        void advance(std::size_t frames) noexcept { elapsed_ += frames; }
        double gain() const noexcept { return gain_; }
        bool restsAtSilence() const noexcept { return gain_ == 0.0 && target_ == 0.0; }
        void startAt(double gain) noexcept { gain_ = gain; }

      private:
        std::uint64_t elapsed_ = 0; // frames applied since the ramp began
        double gain_ = 1.0;
        double target_ = 1.0;
        double startGain_ = 1.0;
        std::uint64_t ratioFrames_ = 0;
        std::uint64_t ratioTotal_ = 0;
        double ratio_ = 1.0;
        double ratioEnd_ = 1.0;
        std::uint64_t stepFrames_ = 0;
        std::uint64_t stepTotal_ = 0;
        double step_ = 0.0;
    };

    // The pause's part times the lowest of the others.
    double gain() const noexcept;

    // The user-interface thread's requests, each taken by the audio thread at its next apply().
    std::array<LatestValue<Ramp>, kPartCount> requests_{};
    std::array<Follower, kPartCount> parts_{};
};

} // namespace calmfield::engine
