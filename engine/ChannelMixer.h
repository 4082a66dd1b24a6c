#pragma once

#include "engine/AudioRenderer.h"
#include "engine/ChannelVoice.h"
#include "engine/ColourGainStage.h"
#include "engine/MasterGain.h"
#include "engine/NoiseColours.h"
#include "engine/PeakLimiter.h"
#include "engine/ToneSetting.h"
#include "engine/ToneStage.h"

#include <array>
#include <atomic>

namespace calmfield::engine {

// Mixes the channels' voices, each at its colour's own gain, into the sound output's buffer on the
// audio thread, shapes the mix
// with the listener's tone, passes it through a peak limiter so that no setting of the channels
// can clip, then through the master gain.
class ChannelMixer final : public AudioRenderer {
  public:
    // How many frames the mix reaches the output late by, at `sampleRate`.
    static constexpr std::uint32_t latencyFrames(std::uint32_t sampleRate) noexcept {
        return PeakLimiter::lookAheadFrames(sampleRate);
    }

    // Publishes a voice for mixing in `slot`; the voice must outlive the mixer's use of it.
    void attach(int slot, ChannelVoice* voice);

    // The gain over the whole mix, ramped from the user-interface thread.
    MasterGain& masterGain() { return masterGain_; }
    // From the user-interface thread: the tone the mix is shaped by, between the channels and
    // the limiter. Never blocks.
    void setTone(const ToneSetting& tone) { tone_.setTone(tone); }
    // Each colour's own gain under the mix, its drift and its glide, set from the user-interface
    // thread and read from any.
    ColourGainStage& colourGains() { return colourGains_; }
    const ColourGainStage& colourGains() const { return colourGains_; }

    void render(float* interleavedStereo, std::size_t frames,
                std::uint32_t sampleRate) noexcept override;
    // Steps the master gain's ramp back; the voices go on, as noise has no place to keep.
    void rewind(std::size_t frames) noexcept override { masterGain_.rewind(frames); }
    // True once the master gain has come to rest at silence, or every voice has fallen silent, the
    // tone's filters have rung out and the limiter has let the last sound out.
    bool idle() const noexcept override;

  private:
    static constexpr std::size_t kBlockFrames = 512;
    void renderBlock(float* interleavedStereo, std::size_t frames,
                     std::uint32_t sampleRate) noexcept;

    std::array<std::atomic<ChannelVoice*>, kColourCount> voices_{};
    ColourGainStage colourGains_;
    // Each colour's power in the mix as set, as of the last block.
    ColourGainStage::PerColour powers_{};
    ToneStage tone_;
    PeakLimiter limiter_;
    MasterGain masterGain_;
};

} // namespace calmfield::engine
