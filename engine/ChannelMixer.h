#pragma once

#include "engine/ChannelVoice.h"
#include "engine/NoiseColours.h"
#include "platform/AudioRenderer.h"

#include <array>
#include <atomic>

namespace calmfield::engine {

// Mixes the channels' voices into the sound output's buffer on the audio thread.
class ChannelMixer final : public platform::AudioRenderer {
  public:
    // Publishes a voice for mixing in `slot`; the voice must outlive the mixer's use of it.
    void attach(int slot, ChannelVoice* voice);

    void render(float* interleavedStereo, std::size_t frames,
                std::uint32_t sampleRate) noexcept override;

  private:
    std::array<std::atomic<ChannelVoice*>, kColourCount> voices_{};
};

} // namespace calmfield::engine
