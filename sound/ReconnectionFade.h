#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace calmfield::sound {

// The short rise of the sound after an output has reconnected to its server, so that the sound
// comes back without a click. It runs on the audio thread: it neither allocates nor waits.
class ReconnectionFade {
  public:
    static constexpr std::chrono::milliseconds kLength{10};

    // The next frames rise from silence, over kLength at `sampleRate`.
    void begin(std::uint32_t sampleRate) {
        frames_ = left_ = static_cast<std::uint32_t>(sampleRate * kLength.count() / 1000);
    }
    void cancel() { left_ = 0; }

    // Shapes the next `frames` stereo frames of the rise, if one is under way.
    void apply(float* interleavedStereo, std::size_t frames) {
        for (std::size_t n = 0; n < frames && left_ > 0; ++n, --left_) {
            const float gain = static_cast<float>(frames_ - left_) / static_cast<float>(frames_);
            interleavedStereo[2 * n] *= gain;
            interleavedStereo[2 * n + 1] *= gain;
        }
    }

  private:
    std::uint32_t frames_ = 0;
    std::uint32_t left_ = 0;
};

} // namespace calmfield::sound
