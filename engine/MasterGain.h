#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// One gain over the whole mix, after the channels: the user-interface thread asks for a ramp
// towards a target, and the audio thread follows it sample by sample, so that its course is fixed
// in rendered frames however the output asks for them.
class MasterGain {
  public:
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
        // Begins from silence rather than from the gain the mix has reached.
        bool fromSilence = false;
    };

    // The gain a ramp begun at `from` reaches `elapsed` into it, as apply() follows it: where a
    // fade stands at a given moment, for one that is to take it up again from there.
    static double levelAt(const Ramp& ramp, double from,
                          std::chrono::milliseconds elapsed) noexcept;

    // From the user-interface thread: replaces whatever ramp runs by one from the gain the mix has
    // reached, or from silence. Never blocks.
    void rampTo(const Ramp& ramp) noexcept;

    // On the audio thread: applies the gain to `frames` interleaved stereo frames at `rate`, in
    // place. Never blocks, allocates or locks.
    void apply(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept;

    // On the audio thread: the last `frames` applied are to be applied again, as the output
    // renders them anew; the ramp steps back by as much, but not before its beginning.
    void rewind(std::size_t frames) noexcept;

    // On the audio thread: true when the gain is silence and no ramp is asked for that would
    // bring the sound back.
    bool silent() const noexcept;

  private:
    // A ramp request packed into one lock-free word: the target's bits, the length in
    // milliseconds, the shape, whether it begins from silence and a serial number, so that a
    // request equal to the last still counts.
    static std::uint64_t pack(const Ramp& ramp, std::uint32_t serial) noexcept;
    static Ramp unpack(std::uint64_t request) noexcept;
    void begin(const Ramp& ramp, std::uint32_t rate) noexcept;
    void step() noexcept;
    double gainAfter(std::uint64_t frames) const noexcept;

    std::atomic<std::uint64_t> request_{0};
    std::uint32_t serial_ = 0; // the user-interface thread's own

    // The audio thread's: the ramp runs a stretch of constant ratios, then one of constant steps.
    // The counts are what is left of each; the totals and the starting gain allow a rewind.
    std::uint64_t taken_ = 0;
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

    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};

} // namespace calmfield::engine
