#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace calmfield::engine {

// Keeps the mix below a ceiling just under full scale without being heard. The output lags the
// input by a short look-ahead: a peak above the ceiling is seen while it is still in the delay
// line, and one gain for both sides glides down to what it needs over the look-ahead, so it
// arrives at that gain as the peak leaves. The gain then recovers exponentially, or at once when
// only silence is left in the delay line. Anything that never comes within the look-ahead of a
// peak above the ceiling, nor within the recovery after one, passes bit for bit.
class PeakLimiter {
  public:
    static constexpr float kCeiling = 0.891251f; // -1 dBFS
    static constexpr std::uint64_t kLookAheadMicroseconds = 1500;
    static constexpr double kReleaseSeconds = 0.05;
    // The highest rate a sound server stream can play at; above it the look-ahead gets shorter.
    static constexpr std::uint32_t kHighestRate = 384000;

    PeakLimiter() noexcept;

    // How many frames the output lags the input at `rate`.
    static constexpr std::uint32_t lookAheadFrames(std::uint32_t rate) noexcept {
        const auto frames = (rate * kLookAheadMicroseconds + 500000) / 1000000;
        return static_cast<std::uint32_t>(frames < kLongest ? frames : kLongest);
    }

    // Limits `frames` interleaved stereo frames in place. Never blocks, allocates or locks. A
    // change of rate keeps what is in the delay line and takes it on at the new look-ahead.
    void process(float* interleavedStereo, std::size_t frames, std::uint32_t rate) noexcept;

    // True while sound is still to come out of the delay line.
    bool holdsSound() const noexcept { return lastSound_ + lookAhead_ > frame_; }

  private:
    static constexpr std::uint64_t kLongest =
        (kHighestRate * kLookAheadMicroseconds + 500000) / 1000000;
    static constexpr std::size_t kHistory = 1024; // a power of two above the longest look-ahead
    static_assert(kLongest + 2 <= kHistory);
    // At most this many frames go through at once, so that the delay line never overwrites a
    // frame still to come out.
    static constexpr std::size_t kBlock = 256;
    static_assert(kLongest + 1 + kBlock <= kHistory);
    static constexpr std::size_t kMask = kHistory - 1;
    static constexpr std::uint32_t kUnity = 1u << 24; // a gain of 1 in the averaging sum

    struct Peak {
        std::uint64_t frame;
        double gain; // what brings the peak down to the ceiling
    };

    void delay(float* interleavedStereo, std::size_t frames, bool sounding) noexcept;
    void limit(float* interleavedStereo, std::size_t frames) noexcept;
    void retune(std::uint32_t rate) noexcept;
    void pushPeak(std::uint64_t frame, float level) noexcept;
    double neededGain() const noexcept;
    void resetToUnity(std::uint64_t frame) noexcept;
    float gainFor(std::uint64_t frame, float level) noexcept;

    std::uint32_t rate_ = 0;
    std::uint32_t lookAhead_ = 0;
    double release_ = 0.0; // how much of the shortfall is left after a frame

    std::uint64_t frame_ = 0;     // frames taken in so far
    std::uint64_t lastSound_ = 0; // one past the last frame that was not silent
    // The released gain, needed_ - shortfall_, before it is averaged over the look-ahead: it
    // recovers towards the gain the look-ahead needs by a constant share of its shortfall.
    double needed_ = 1.0;
    double shortfall_ = 0.0;
    std::uint64_t gainSum_ = kUnity;  // the last lookAhead_ + 1 released gains, in units of kUnity
    std::uint64_t unitySum_ = kUnity; // gainSum_ when each of them is 1
    double perUnitySum_ = 1.0 / kUnity;

    // The frames of the delay line, and the released gains averaged into the output's gain.
    std::array<float, 2 * kHistory> delayed_{};
    std::array<std::uint32_t, kHistory> gains_{};
    // The peaks above the ceiling within the look-ahead, each higher than every later one, so
    // the first is the highest.
    std::array<Peak, kHistory> peaks_{};
    std::size_t firstPeak_ = 0;
    std::size_t endPeak_ = 0;
};

} // namespace calmfield::engine
